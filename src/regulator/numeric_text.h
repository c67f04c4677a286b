#pragma once

// Conversions between numbers and the text the regulator keeps in its boxes,
// and the two guarded arithmetic operations. Every read and write of a number
// in the program goes through these, so they all agree on the rules:
//  - reading accepts only "." as the decimal point, whatever the locale;
//  - writing uses the locale's decimal separator (passed in by the caller).
// A fractional threshold written as "13,2" in a comma locale is therefore
// read back as 13 at the next tick; that asymmetry is deliberate.

#include <cstdint>
#include <string>
#include <string_view>

namespace regulator {

// How numbers are written for the user. The window fills it from the system
// locale; the default is a plain point.
struct NumberFormat {
    std::string decimalSeparator = ".";
};

// The value of the longest leading decimal number in the text: leading
// blanks, an optional sign, digits, an optional "." and digits. Anything
// else ends the number; text without a leading number counts as 0.
double ReadNumber(std::string_view text);

// General format: at most 15 significant digits, no trailing zeros, no
// separator for whole numbers, and never an exponent (ReadNumber would stop
// at it).
std::string NumberToText(double value, const NumberFormat& format = {});

std::string IntegerToText(std::int16_t value);

// Exactly `decimals` digits after the separator, with a leading zero.
std::string FormatNumber(double value, int decimals, const NumberFormat& format = {});

// The inverse of FormatNumber in the same format: the number a formatted text
// stands for when it is used in arithmetic again.
double ReadFormattedNumber(std::string_view text, const NumberFormat& format = {});

// Nearest integer, ties to even; outside the 16-bit range is an overflow.
std::int16_t RoundToInteger(double value);

// a - b; a difference outside the 16-bit range is an overflow.
std::int16_t GuardedSubtract(std::int16_t a, std::int16_t b);

// a / b; a zero divisor or a result that is not finite is a division error.
double GuardedDivide(double a, double b);

}  // namespace regulator
