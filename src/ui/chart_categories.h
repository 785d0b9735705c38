#pragma once

#include <QString>
#include <optional>

namespace tavimond {

// Reads a point label as a date and time: "01-MAY-2013 08:00", "1/MAY/2013 08:00:00"
// (month names in any case) or "2013-05-01 08:00:00". The result only orders labels.
std::optional<qint64> labelTime(const QString &label);

} // namespace tavimond
