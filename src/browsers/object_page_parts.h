#pragma once

#include "detail_edits.h"

#include <QCheckBox>
#include <QRadioButton>
#include <QTabWidget>

namespace tavimond::pages {

// Pieces the object browser's detail pages are made of.

inline QRadioButton *radio(const char *name, const char *caption, bool checked, QWidget *parent)
{
    auto *r = new QRadioButton(QString::fromUtf8(caption), parent);
    r->setObjectName(QLatin1String(name));
    r->setChecked(checked);
    return r;
}

inline QWidget *newTab(QTabWidget *page, const char *title)
{
    auto *tab = new QWidget(page);
    page->addTab(tab, QString::fromUtf8(title));
    return tab;
}

// Whether a box of the retrieval options is ticked.
inline bool ticked(const QObject *screen, const char *box)
{
    return screen->findChild<QCheckBox *>(QLatin1String(box))->isChecked();
}

// A kind whose page shows one record of its view, copied by column name, and its DDL.
struct RecordKind {
    const char *word; // the kind word, whose page it is
    DetailEdits edits;
    const char *script; // the script memo and query of the record
    const char *query;
    const char *ddlKind; // the DDL fetch: its kind argument, script memo, query and target memo
    const char *ddlScript;
    const char *ddlQuery;
    const char *ddlTarget;
};

} // namespace tavimond::pages
