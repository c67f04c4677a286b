// Threshold validation with arbitrary texts in the two boxes, in a point and
// in a comma number format.
//
// Input: the first byte picks the format (odd: ",", even: "."); the rest is
// the lower box's text up to the first newline and the upper box's text after
// it. So "081\n90" is the start-up pair in the point format.
//
// Properties, with the boxes read back the way the tick reads them:
//  - after one validation, 0 <= lower <= upper <= 114 and upper >= 10 (an
//    exchange can leave the upper value at up to 1.2 x 95 until the next
//    validation);
//  - after a second one with no edit in between, also 10 <= upper <= 95;
//  - from then on a further validation leaves both texts exactly as they are;
//  - the boxes hold only what the number writer produces (digits and the
//    decimal separator, no sign since both values are at least 0, and never
//    an exponent, which the reader would stop at);
//  - validation touches nothing but the two threshold boxes.

#include "fuzz_check.h"
#include "regulator.h"
#include "widget_model.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

using regulator::ReadNumber;
using regulator::fuzzing::Number;
using regulator::fuzzing::Quote;
using regulator::testing::Rig;

std::string Pair(const std::string& lower, const std::string& upper) { return Quote(lower) + " / " + Quote(upper); }

std::string Pair(const Rig& rig) {
    return Pair(rig.widgets.text2[regulator::kLowerBox], rig.widgets.text2[regulator::kUpperBox]);
}

// What the user typed, for the messages.
struct Typed {
    std::string lower;
    std::string upper;
    std::string separator;

    std::string Describe(const char* stage, const Rig& rig) const {
        return std::string(stage) + " of " + Pair(lower, upper) + " with \"" + separator + "\": " + Pair(rig);
    }
};

// The shape of a non-negative number as NumberToText writes it: digits, then
// optionally the separator and digits.
bool IsWrittenNumber(std::string_view text, std::string_view separator) {
    const auto digits = [&text] {
        std::size_t count = 0;
        while (count < text.size() && text[count] >= '0' && text[count] <= '9') ++count;
        text.remove_prefix(count);
        return count;
    };
    if (digits() == 0) return false;
    if (text.starts_with(separator)) {
        text.remove_prefix(separator.size());
        if (digits() == 0) return false;
    }
    return text.empty();
}

void CheckWrittenByTheNumberWriter(const Rig& rig, const Typed& typed, const char* stage) {
    for (const int box : {regulator::kLowerBox, regulator::kUpperBox}) {
        FUZZ_CHECK(IsWrittenNumber(rig.widgets.text2[box], typed.separator),
                   "not a written number after the " + typed.Describe(stage, rig));
    }
}

void CheckRanges(const Rig& rig, const Typed& typed, const char* stage, double upperLimit) {
    const double lower = ReadNumber(rig.widgets.text2[regulator::kLowerBox]);
    const double upper = ReadNumber(rig.widgets.text2[regulator::kUpperBox]);
    FUZZ_CHECK(0 <= lower && lower <= upper && 10 <= upper && upper <= upperLimit,
               "out of range after the " + typed.Describe(stage, rig) + ", reading " + Number(lower) + " / " +
                   Number(upper));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const regulator::NumberFormat format{(data[0] & 1) != 0 ? "," : "."};
    const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::size_t newline = rest.find('\n');
    const std::string lower(rest.substr(0, newline));
    const std::string upper(newline == std::string_view::npos ? std::string_view{} : rest.substr(newline + 1));

    Rig rig(format);
    rig.SetThresholds(lower, upper);
    const Typed typed{lower, upper, format.decimalSeparator};

    rig.regulator.ValidateThresholds();
    CheckWrittenByTheNumberWriter(rig, typed, "first validation");
    CheckRanges(rig, typed, "first validation", 114);

    rig.regulator.ValidateThresholds();
    CheckWrittenByTheNumberWriter(rig, typed, "second validation");
    CheckRanges(rig, typed, "second validation", 95);

    const auto settled = rig.widgets.text2;
    rig.regulator.ValidateThresholds();
    FUZZ_CHECK(rig.widgets.text2 == settled,
               "the settled pair changed in the " + typed.Describe("third validation", rig));

    // Nothing else is touched: the base maximum, the scale, the indicators,
    // the timer, and no change event was raised.
    FUZZ_CHECK(rig.widgets.text2[regulator::kBaseMaximumBox] == "100", "the base maximum box changed");
    FUZZ_CHECK(rig.widgets.value == 100 && rig.widgets.max == 100 && rig.widgets.min == 0, "the scale moved");
    FUZZ_CHECK(rig.widgets.log.empty(), "validation raised a widget event");
    FUZZ_CHECK(!rig.widgets.timerEnabled && !rig.regulator.State().HeaterOn, "validation switched something");
    return 0;
}
