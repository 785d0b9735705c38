#pragma once

#include <QDateTime>
#include <QString>

namespace tavimond {

// How a DATE or TIMESTAMP value reads, whichever driver brought it: 'YYYY-MM-DD HH:MM:SS',
// then '.' and the fraction of a second without trailing zeros where there is one.
QString timestampText(int year, int month, int day, int hour, int minute, int second, quint32 nanoseconds);
QString timestampText(const QDateTime &t);

} // namespace tavimond
