#pragma once

#include <QString>

namespace tavimond
{

// The strict text-to-integer conversion: optional leading blanks, an optional sign and
// decimal digits, nothing else, within the 32-bit range. Anything else throws
// Error("'<text>' is not a valid integer value").
int strictToInt(const QString &text);

} // namespace tavimond
