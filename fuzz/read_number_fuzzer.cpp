// ReadNumber against a second, deliberately plain reading of the same rule:
// find where the leading number ends by walking the characters, then let the
// C library convert exactly that prefix. Both conversions are correctly
// rounded, so the results must be equal, not merely close. Any bytes are
// valid input; none may crash the reader.
//
// Also: whatever a box is given by NumberToText in the range the program uses
// reads back as the same number and writes back as the same text.

#include "fuzz_check.h"
#include "numeric_text.h"

#include <clocale>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using regulator::fuzzing::Number;
using regulator::fuzzing::Quote;

bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }

// Leading blanks (space, tab), an optional sign, digits, and a "." only when
// digits follow it. No digits at all means no number, which reads as 0.
double ReferenceRead(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;

    std::string number;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) number += text[at++];

    bool sawDigit = false;
    while (at < text.size() && IsAsciiDigit(text[at])) {
        number += text[at++];
        sawDigit = true;
    }
    if (at + 1 < text.size() && text[at] == '.' && IsAsciiDigit(text[at + 1])) {
        number += text[at++];
        while (at < text.size() && IsAsciiDigit(text[at])) number += text[at++];
        sawDigit = true;
    }
    if (!sawDigit) return 0.0;
    return std::strtod(number.c_str(), nullptr);
}

void CheckAgreesWithReference(const std::string& text) {
    const double actual = regulator::ReadNumber(text);
    const double expected = ReferenceRead(text);
    FUZZ_CHECK(actual == expected || (std::isnan(actual) && std::isnan(expected)),
               "ReadNumber(" + Quote(text) + ") = " + Number(actual) + ", expected " + Number(expected));
}

// The writer never uses an exponent, so whatever it writes reads back as the
// same number (to its 15 significant digits) at any magnitude short of the
// ends of the double range, where rounding to 15 digits can overflow or the
// value is subnormal.
void CheckWriteReadRoundTrip(double value) {
    if (!(value == 0.0 || (std::fabs(value) > 1e-300 && std::fabs(value) < 1e300))) return;
    const std::string text = regulator::NumberToText(value);
    const double back = regulator::ReadNumber(text);
    FUZZ_CHECK(std::fabs(back - value) <= std::fabs(value) * 1e-14,
               "NumberToText(" + Number(value) + ") = " + Quote(text) + " reads back as " + Number(back));
    FUZZ_CHECK(regulator::NumberToText(back) == text,
               "the text " + Quote(text) + " does not write back as itself: " + Quote(regulator::NumberToText(back)));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The reference relies on strtod using "." as the decimal point.
    std::setlocale(LC_ALL, "C");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    CheckAgreesWithReference(text);
    CheckWriteReadRoundTrip(regulator::ReadNumber(text));
    return 0;
}
