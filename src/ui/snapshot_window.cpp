#include "snapshot_window.h"

#include "core/conversions.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace tavimond {
namespace {

QLineEdit *windowEdit(QWidget *parent, const QString &name, const QString &text, bool timeHint)
{
    auto *edit = new QLineEdit(text, parent);
    edit->setObjectName(name);
    if (timeHint)
        edit->setToolTip(QStringLiteral("DD/MON/YYYY HH24:MM:SS"));
    return edit;
}

} // namespace

SnapshotWindowControls addSnapshotWindow(QGridLayout *layout, int row, int column, const SnapshotWindowNames &names)
{
    QWidget *parent = layout->parentWidget();
    SnapshotWindowControls w;
    w.days = new QRadioButton(QStringLiteral("Days"), parent);
    w.days->setObjectName(names.days);
    w.days->setChecked(true);
    w.dayText = windowEdit(parent, names.dayText, QStringLiteral("1"), false);
    w.dayText->setMaximumWidth(60);
    w.fromTo = new QRadioButton(QStringLiteral("From"), parent);
    w.fromTo->setObjectName(names.fromTo);
    w.from = windowEdit(parent, names.from, names.fromText, true);
    w.to = windowEdit(parent, names.to, names.toText, true);
    for (QLineEdit *e : {w.from, w.to})
        e->setMinimumWidth(150);
    layout->addWidget(w.days, row, column);
    layout->addWidget(w.dayText, row, column + 1);
    layout->addWidget(w.fromTo, row + 1, column);
    layout->addWidget(w.from, row + 1, column + 1);
    layout->addWidget(new QLabel(QStringLiteral("To"), parent), row + 1, column + 2);
    layout->addWidget(w.to, row + 1, column + 3);
    return w;
}

QStringList snapshotWindowLines(const SnapshotWindowControls &window, const QString &firstLead,
                                const QString &secondLead)
{
    if (window.fromTo->isChecked())
        return {firstLead + QStringLiteral("begin_interval_time >= to_date(") + sqlQuote(window.from->text()) +
                    QStringLiteral(",'DD/MON/YYYY HH24:MI:SS')"),
                secondLead + QStringLiteral("end_interval_time <=   to_date(") + sqlQuote(window.to->text()) +
                    QStringLiteral(",'DD/MON/YYYY HH24:MI:SS')")};
    return {firstLead + QStringLiteral("begin_interval_time >= sysdate - ") +
            daysField(window.dayText->text(), window.days->text())};
}

} // namespace tavimond
