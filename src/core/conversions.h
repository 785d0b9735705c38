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

// The text of a field that goes into SQL as a number: digits only, blanks around them
// allowed and dropped. Anything else, the empty text too, raises an error naming the
// field, so that typed text never reaches a statement unchecked.
QString wholeNumberField(const QString &text, const QString &fieldName);

// The text of a days field, for "sysdate - " + it: a number ("1", "0.5", ".5") or
// arithmetic of numbers with + - * / and parentheses ("1/24", "7*2"), blanks between
// allowed. No sign stands before a number, so no "--" (a comment) can form. The text
// comes back as typed, put between parentheses when a + or - stands outside any, so
// that "7-1" means six days and not sysdate - 7 - 1. Anything else, the empty text
// too, raises an error naming the field: the text never reaches a statement.
QString daysField(const QString &text, const QString &fieldName);

// Typed text as an SQL string literal: between single quotes, each inner quote doubled,
// so that O'BRIEN cannot end the literal early.
QString sqlQuote(const QString &text);

// A decimal number with "." and an optional exponent, blanks around it allowed;
// anything else (the empty text too) raises "'<text>' is not a valid floating point value".
double strictToFloat(const QString &text);

// Never fails: 0 for the empty text, otherwise the value of the longest numeric
// prefix (blanks, sign, digits, ".", exponent); 0 when there is none.
double sortValue(const QString &text);

// A chart point from a counter's text: any number, however large; text that is not a
// number raises "'<text>' is not a valid integer value".
double chartValue(const QString &text);

// A counter's text as the tally reads it: a number with a fraction or an exponent is a
// decimal; anything else is read leniently as a whole number.
struct TallyNumber {
    bool decimal = false;
    qint64 whole = 0;
    double real = 0;
    int decimals = 0; // digits after the point, for decimals written without exponent
    bool exponent = false;
    double value() const { return decimal ? real : double(whole); }
};
TallyNumber readTallyNumber(const QString &text);

// now - before, and its text: exact in 64 bits for whole numbers (wrapping, never
// undefined), as decimals otherwise, written without binary noise.
struct TallyDifference {
    TallyNumber number;
    QString text;
};
TallyDifference subtractTally(const TallyNumber &now, const TallyNumber &before);
// Negative when a < b.
int compareTally(const TallyNumber &a, const TallyNumber &b);

// The Delta of a tally row: now minus before. Whole numbers (and any other text, read
// leniently) are subtracted exactly in 64 bits; numbers with a fraction or an exponent
// are subtracted as decimals and written without binary noise (14.1 - 12.9 gives 1.2).
QString tallyDelta(const QString &now, const QString &before);

// Compares two number texts as tallyDelta writes them: negative when a < b.
int compareNumberTexts(const QString &a, const QString &b);

} // namespace tavimond
