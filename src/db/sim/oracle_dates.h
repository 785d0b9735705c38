#pragma once

#include <QDateTime>
#include <QString>

namespace tavimond::sim {

// to_date(text, mask) for the masks the system sends ('DD/MON/YYYY HH24:MI:SS' and its
// kin: DD, MM, MON, MONTH, YYYY, HH24, HH, MI, SS). As the database reads them: any
// punctuation matches any punctuation, months by English name or abbreviation in any
// case, a text that ends early leaves the rest at its first value (midnight, the 1st).
// Throws DbError with the database's message for a text it cannot read.
QDateTime toDate(const QString &text, const QString &mask);

// to_char(date, mask) for the same masks: "01/MAY/2013 08:00:00".
QString toChar(const QDateTime &t, const QString &mask);

} // namespace tavimond::sim
