#pragma once

#include <QString>
#include <QStringList>

class QGridLayout;
class QLineEdit;
class QRadioButton;

namespace tavimond {

// A report's snapshot window: the last N days, or from one time to another, typed as
// 'DD/MON/YYYY HH24:MI:SS'.
struct SnapshotWindowControls {
    QRadioButton *days = nullptr;
    QLineEdit *dayText = nullptr;
    QRadioButton *fromTo = nullptr;
    QLineEdit *from = nullptr;
    QLineEdit *to = nullptr;
};

// The component names of a screen's window controls and the texts they start with.
struct SnapshotWindowNames {
    QString days, dayText, fromTo, from, to;
    QString fromText = QStringLiteral("1/MAY/2013 08:00:00");
    QString toText = QStringLiteral("1/MAY/2013 08:15:59");
};

// Adds the controls to a grid layout from (row, column) on, two rows deep: the days
// radio (selected) with its edit ("1"), then the from/to radio with its two edits.
SnapshotWindowControls addSnapshotWindow(QGridLayout *layout, int row, int column, const SnapshotWindowNames &names);

// The window's lines on begin_interval_time and end_interval_time:
//   firstLead + "begin_interval_time >= sysdate - " + days
// or
//   firstLead + "begin_interval_time >= to_date('" + from + "','DD/MON/YYYY HH24:MI:SS')"
//   secondLead + "end_interval_time <=   to_date('" + to + "','DD/MON/YYYY HH24:MI:SS')"
// The times go in as literals with their quotes doubled; the days as daysField reads
// them, so that days text that is no arithmetic of numbers raises and nothing is sent.
QStringList snapshotWindowLines(const SnapshotWindowControls &window, const QString &firstLead,
                                const QString &secondLead);

} // namespace tavimond
