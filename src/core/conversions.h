#pragma once

#include <QString>

namespace tavimond {


// Never fails: leading blanks, an optional sign, then hexadecimal digits after "$",
// "x", "X", "0x" or "0X", or decimal digits; reading stops at the first character
// that does not belong (or a digit that would overflow) and returns what was read.
// "" gives 0, "12.7" gives 12, "abc" gives 0.
qint64 lenientToInt64(const QString &text);

// A whole decimal number, optionally signed, leading blanks allowed, in the 32-bit
// range; anything else raises "'<text>' is not a valid integer value".
int strictToInt(const QString &text);

// A decimal number with "." and an optional exponent, blanks around it allowed;
// anything else (the empty text too) raises "'<text>' is not a valid floating point value".
double strictToFloat(const QString &text);

// Never fails: 0 for the empty text, otherwise the value of the longest numeric
// prefix (blanks, sign, digits, ".", exponent); 0 when there is none.
double sortValue(const QString &text);

// A chart point from a counter's text: any number, however large; text that is not a
// number raises "'<text>' is not a valid integer value".
double chartValue(const QString &text);

// The Delta of a tally row: now minus before. Whole numbers (and any other text, read
// leniently) are subtracted exactly in 64 bits; numbers with a fraction or an exponent
// are subtracted as decimals and written without binary noise (14.1 - 12.9 gives 1.2).
QString tallyDelta(const QString &now, const QString &before);

// Compares two number texts as tallyDelta writes them: negative when a < b.
int compareNumberTexts(const QString &a, const QString &b);

} // namespace tavimond
