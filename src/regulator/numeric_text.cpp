#include "numeric_text.h"

#include "fatal_error.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace regulator {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Parses a plain decimal text ("-12.5", "7", ".5") that is known to be
// well formed. from_chars is locale independent and correctly rounded.
double ParseDecimal(std::string_view digits) {
    bool negative = false;
    if (!digits.empty() && (digits.front() == '-' || digits.front() == '+')) {
        negative = digits.front() == '-';
        digits.remove_prefix(1);
    }
    double value = 0.0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value,
                                              std::chars_format::fixed);
    if (error == std::errc::result_out_of_range) {
        // Without an exponent, a value out of range is either a huge whole
        // number (overflow) or a long run of zeros after the point (underflow).
        const bool wholePart = digits.find_first_not_of('0') < digits.find('.');
        value = wholePart ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (error != std::errc{} || end == digits.data()) {
        value = 0.0;
    }
    return negative ? -value : value;
}

std::string ReplacePoint(std::string text, const NumberFormat& format) {
    if (format.decimalSeparator == ".") return text;
    const auto point = text.find('.');
    if (point != std::string::npos) text.replace(point, 1, format.decimalSeparator);
    return text;
}

}  // namespace

double ReadNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    const std::size_t start = i;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    const std::size_t integerStart = i;
    while (i < text.size() && IsDigit(text[i])) ++i;
    bool anyDigit = i > integerStart;
    if (i < text.size() && text[i] == '.') {
        const std::size_t fractionStart = i + 1;
        std::size_t j = fractionStart;
        while (j < text.size() && IsDigit(text[j])) ++j;
        if (j > fractionStart) {
            anyDigit = true;
            i = j;
        }
    }
    if (!anyDigit) return 0.0;
    return ParseDecimal(text.substr(start, i - start));
}

std::string NumberToText(double value, const NumberFormat& format) {
    if (value == 0.0) return "0";  // also turns -0 into 0
    // Round to 15 significant digits, then write that value in plain decimal
    // notation: its shortest form has those same digits, and no exponent.
    std::array<char, 400> buffer{};
    auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::scientific, 14);
    double rounded = value;
    std::from_chars(buffer.data(), result.ptr, rounded);
    result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), rounded, std::chars_format::fixed);
    return ReplacePoint(std::string(buffer.data(), result.ptr), format);
}

std::string IntegerToText(std::int16_t value) { return std::to_string(value); }

std::string FormatNumber(double value, int decimals, const NumberFormat& format) {
    std::array<char, 400> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed, decimals);
    std::string text(buffer.data(), result.ptr);
    // "-0.00" for a tiny negative value reads as a plain zero.
    if (text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
    return ReplacePoint(std::move(text), format);
}

double ReadFormattedNumber(std::string_view text, const NumberFormat& format) {
    std::string plain(text);
    if (format.decimalSeparator != ".") {
        const auto separator = plain.find(format.decimalSeparator);
        if (separator != std::string::npos) plain.replace(separator, format.decimalSeparator.size(), ".");
    }
    return ReadNumber(plain);
}

std::int16_t RoundToInteger(double value) {
    // nearbyint rounds halves to even in the default rounding mode.
    const double rounded = std::nearbyint(value);
    if (!(rounded >= std::numeric_limits<std::int16_t>::min() &&
          rounded <= std::numeric_limits<std::int16_t>::max())) {
        throw FatalError(FatalError::Kind::Overflow, NumberToText(value) + " does not fit a 16-bit integer");
    }
    return static_cast<std::int16_t>(rounded);
}

std::int16_t GuardedSubtract(std::int16_t a, std::int16_t b) {
    const int difference = int{a} - int{b};
    if (difference < std::numeric_limits<std::int16_t>::min() ||
        difference > std::numeric_limits<std::int16_t>::max()) {
        throw FatalError(FatalError::Kind::Overflow,
                         std::to_string(a) + " - " + std::to_string(b) + " does not fit a 16-bit integer");
    }
    return static_cast<std::int16_t>(difference);
}

double GuardedDivide(double a, double b) {
    if (b == 0.0) throw FatalError(FatalError::Kind::DivisionByZero, "division by zero");
    const double quotient = a / b;
    if (!std::isfinite(quotient)) {
        throw FatalError(FatalError::Kind::DivisionByZero, "the quotient is not a finite number");
    }
    return quotient;
}

}  // namespace regulator
