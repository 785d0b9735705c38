#pragma once

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

} // namespace tavimond::pages
