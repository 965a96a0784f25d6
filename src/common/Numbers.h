#pragma once
// Numbers as the shop sees them: rounding, picture-string formatting and conversion of typed text.
// The thousands separator is always "," and the decimal separator "."; the machine's locale never
// takes part, so a receipt prints the same on every register.
#include <QString>

namespace kv {

// Rounds to the nearest whole number; an exact half goes to the even neighbour (R(2.5) = 2).
double R(double x);

// Formats with a picture string: "#" optional digit, "0" required digit, "," asks for grouping by
// thousands, the first "." is the decimal point (a later "." is ignored), anything else is printed
// as it stands. Up to three sections separated by ";" (positive;negative;zero) are understood.
// An empty picture gives the shortest plain form of the number (FloatToStr).
QString FormatFloat(const QString& picture, double value);

// The shortest plain text of a number: 12500, 2.5, -0.25 (up to 15 significant digits).
QString FloatToStr(double value);

// Text typed by a user to a number. Accepts blanks around, a sign and "." as decimal point;
// grouping commas are allowed. Anything else raises ConversionError with a Spanish message.
double StrToFloat(const QString& text);
int StrToInt(const QString& text);

// True when the text is a number StrToFloat accepts.
bool IsNumber(const QString& text);

}  // namespace kv
