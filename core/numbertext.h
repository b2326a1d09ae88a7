#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Every conversion between numbers and texts of the program. Locale-independent: period as
// decimal point, whatever the process locale.
namespace numbertext {

// General text of a 32-bit real: at most 7 significant digits, no trailing zeros, "0" for
// zero, exponent form ("6.009453E-07") when the decimal exponent is below -4 or at least 7.
std::string generalText(float value);

// The same for a 64-bit real with at most 15 significant digits; exponent form when the
// decimal exponent is below -4 or at least 15.
std::string generalText(double value);

// The general text rules with `digits` significant digits (1 to 17); exponent form when the
// decimal exponent is below -4 or at least `digits`. generalText(float) is digits = 7 of the
// value, generalText(double) digits = 15; a 64-bit viscosity shown like a 32-bit result is 7.
std::string generalTextDigits(double value, int digits);

// Room for any general text: a sign, 17 digits, the point and "E+308" (or "0.000" before the
// digits), with some to spare.
inline constexpr std::size_t MaxGeneralTextLength = 32;

// The same texts written at `out`, which has room for MaxGeneralTextLength characters; each
// returns the end of the text. For bulk output, where a string per value would cost more than
// the conversion.
char* writeGeneralText(char* out, float value);
char* writeGeneralText(char* out, double value);
char* writeGeneralTextDigits(char* out, double value, int digits);

// Fixed format "0.00" (decimals = 2) or "0.000" (decimals = 3) applied to a text. A text that
// reads as a decimal number is rounded in decimal arithmetic, halves away from zero; any other
// text comes back unchanged.
std::string fixedText(std::string_view text, int decimals);

// The number a text starts with (blanks skipped, sign, digits with an optional point, an
// optional exponent; the rest ignored); 0 when it starts with no number.
double leadingNumber(std::string_view text);

enum class ParseError { NotANumber, OutOfRange };

struct ParsedSingle {
    std::optional<float> value;  // set on success
    ParseError error = ParseError::NotANumber;

    bool ok() const { return value.has_value(); }
};

// An input box text as a 32-bit real: the whole text, blanks around allowed, must be a decimal
// number; the result is the nearest 32-bit value. Beyond the 32-bit range: OutOfRange.
ParsedSingle parseSingle(std::string_view text);

}  // namespace numbertext
