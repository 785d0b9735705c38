#pragma once

#include <QString>

namespace tavimond {

// A figure the program computed, as it is shown: up to 15 significant digits and at
// most 15 decimals, no trailing zeros, never an exponent, "." as the decimal point
// whatever the locale (95.5, 100, 0.000084 rather than 8.4e-05).
QString formatFloat(double value);

// The value rounded to `decimals` places: divided by 10^-decimals, rounded to the
// nearest whole number (an exact half to the even neighbour), multiplied back.
double roundHalfEven(double value, int decimals);

// dividend / divisor. A zero divisor raises the floating-point error that the
// arithmetic would give ("Floating point division by zero", or "Invalid floating
// point operation" for 0 / 0) rather than an infinity or a NaN.
double divideFloat(double dividend, double divisor);

} // namespace tavimond
