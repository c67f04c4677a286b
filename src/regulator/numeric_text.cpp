#include "numeric_text.h"

#include "fatal_error.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace regulator {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The conversions below go through the C library, but never let it see or
// write a decimal point: the C library's point follows the process locale,
// which the toolkit may have set from the user's (a comma in Bulgarian). So
// numbers cross that boundary as a digit string and a power of ten, and the
// program places its own separator. The same code then serves every platform,
// including those whose C++ library has no floating-point to_chars/from_chars.

// Parses a plain decimal text ("-12.5", "7", ".5", "5.") that is known to be
// well formed: written without a point as "125e-1", strtod rounds correctly
// whatever the locale. A huge whole part gives infinity, a run of zeros after
// the point too long for a double gives 0.
double ParseDecimal(std::string_view text) {
    std::string scientific;
    scientific.reserve(text.size() + 24);
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        scientific += text.front();
        text.remove_prefix(1);
    }
    const std::size_t point = text.find('.');
    std::string_view whole = text.substr(0, point);
    const std::string_view fraction = point == std::string_view::npos ? std::string_view{} : text.substr(point + 1);
    while (whole.size() > 1 && whole.front() == '0') whole.remove_prefix(1);
    scientific += whole;
    scientific += fraction;
    scientific += 'e';
    scientific += std::to_string(-static_cast<long long>(fraction.size()));
    return std::strtod(scientific.c_str(), nullptr);
}

// The decimal digits and the power of ten of a value rounded to `digits`
// significant digits: 13.2 with 15 digits gives "132000000000000" and 1
// (meaning 1.32000000000000 x 10^1). The value must be finite and not 0.
struct Scientific {
    bool negative = false;
    std::string digits;
    int exponent = 0;
};

Scientific ToScientific(double value, int digits) {
    std::array<char, 64> buffer{};
    const int length = std::snprintf(buffer.data(), buffer.size(), "%.*e", digits - 1, value);
    const std::string_view text(buffer.data(), static_cast<std::size_t>(std::max(length, 0)));
    Scientific result;
    const std::size_t e = text.find_first_of("eE");
    // Before the "e": the sign, the digits, and the C library's separator
    // (whatever it is), which is skipped.
    for (char c : text.substr(0, e)) {
        if (c == '-') result.negative = true;
        if (IsDigit(c)) result.digits += c;
    }
    result.exponent = e == std::string_view::npos ? 0 : std::atoi(std::string(text.substr(e + 1)).c_str());
    return result;
}

// Plain decimal notation of a digit string whose first digit stands for
// 10^exponent, without trailing zeros after the separator.
std::string PlainDecimal(const Scientific& number, const NumberFormat& format) {
    std::string digits = number.digits;
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    std::string whole;
    std::string fraction;
    const int wholeDigits = number.exponent + 1;
    if (wholeDigits <= 0) {
        whole = "0";
        fraction = std::string(static_cast<std::size_t>(-wholeDigits), '0') + digits;
    } else if (static_cast<std::size_t>(wholeDigits) >= digits.size()) {
        whole = digits + std::string(static_cast<std::size_t>(wholeDigits) - digits.size(), '0');
    } else {
        whole = digits.substr(0, static_cast<std::size_t>(wholeDigits));
        fraction = digits.substr(static_cast<std::size_t>(wholeDigits));
    }
    std::string text = number.negative ? "-" : "";
    text += whole;
    if (!fraction.empty()) text += format.decimalSeparator + fraction;
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
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
    // At most 15 significant digits, in plain decimal notation: never an
    // exponent, which ReadNumber would stop at.
    return PlainDecimal(ToScientific(value, 15), format);
}

std::string IntegerToText(std::int16_t value) { return std::to_string(value); }

std::string FormatNumber(double value, int decimals, const NumberFormat& format) {
    decimals = std::clamp(decimals, 0, 30);
    if (!std::isfinite(value)) return NumberToText(value, format);
    // %f writes the C library's separator, whatever the locale makes it:
    // keep the sign and the digits on either side of it, and put ours there.
    std::string written(static_cast<std::size_t>(std::max(std::snprintf(nullptr, 0, "%.*f", decimals, value), 0)),
                        '\0');
    std::snprintf(written.data(), written.size() + 1, "%.*f", decimals, value);
    std::string whole;
    std::string fraction;
    bool negative = false;
    bool inFraction = false;
    for (char c : written) {
        if (c == '-') {
            negative = true;
        } else if (IsDigit(c)) {
            (inFraction ? fraction : whole) += c;
        } else if (!whole.empty()) {
            inFraction = true;
        }
    }
    // "-0.00" for a tiny negative value reads as a plain zero.
    if (negative && (whole + fraction).find_first_not_of('0') == std::string::npos) negative = false;
    std::string text = negative ? "-" : "";
    text += whole;
    if (decimals > 0) text += format.decimalSeparator + fraction;
    return text;
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
    if (!(rounded >= std::numeric_limits<std::int16_t>::min() && rounded <= std::numeric_limits<std::int16_t>::max())) {
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
