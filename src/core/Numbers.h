#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>
#include <string_view>

// Value rules shared by every part of the program: how text becomes a number, how
// doubles become fixed-width integers and how numbers are written.

// Booleans are 16-bit values: True is -1 and False is 0.
using VBool = std::int16_t;
constexpr VBool True = -1;
constexpr VBool False = 0;
constexpr VBool ToVBool(bool b) { return b ? True : False; }

// The leading number of a text: blanks and tabs anywhere are ignored, an optional sign,
// digits, a full stop as decimal point, an optional exponent (E or D); "&H" and "&O"
// introduce hexadecimal and octal integers. Reading stops at the first character that
// cannot continue the number; text without a number gives 0. The locale plays no part.
// *isNumber, when given, tells whether the text began with a number at all.
double Val(QStringView text, bool* isNumber = nullptr);

// Val over bytes (Latin-1), for data files: the plain decimal forms are read in place
// with std::from_chars; the rarer forms (blanks inside the number, "D" exponents, "&H",
// values out of range) go through Val itself, so both always agree.
double LeadingNumber(std::string_view text, bool* isNumber);

// A whole text read as a number (surrounding blanks allowed); anything else raises the
// type-mismatch error 13. Used where an empty or malformed entry must be refused.
double StrictDouble(QStringView text);

// Round half to even, as every double-to-integer conversion of the program does.
double RoundHalfEven(double value);

// Conversion to 16-bit and 32-bit signed integers with rounding half to even; a value
// that does not fit raises the overflow error 6.
std::int16_t ToInt16(double value);
std::int32_t ToInt32(double value);

// Fixed formats: "0.000000" is FormatFixed(v, 6), "0.00" FormatFixed(v, 2), "0.0000" and
// "#0.0000" FormatFixed(v, 4). Always a full stop as decimal symbol, so files read back
// value for value in every locale.
QString FormatFixed(double value, int decimals);

// A number in its shortest plain decimal form (1024, 2.5, -0.125), no exponent for
// ordinary magnitudes.
QString PlainNumber(double value);

// Upper-case hexadecimal without leading zeros; negative values show their
// two's-complement bits in the width of their type.
QString Hex16(std::int16_t value);
QString Hex32(std::int32_t value);
