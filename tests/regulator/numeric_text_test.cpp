#include "fatal_error.h"
#include "numeric_text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <string_view>

namespace regulator {
namespace {

const NumberFormat kPoint{"."};
const NumberFormat kComma{","};

TEST(ReadNumber, ReadsTheLongestLeadingDecimalNumber) {
    const struct {
        const char* text;
        double expected;
    } cases[] = {
        {"81", 81},  {"", 0},        {"abc", 0},   {"-", 0},     {"+", 0},    {"8a", 8},   {" 7", 7},
        {"\t 7", 7}, {"13.2", 13.2}, {"13,2", 13}, {"-5", -5},   {"+12", 12}, {".5", 0.5}, {"5.", 5},
        {"-.", 0},   {"1.2.3", 1.2}, {"0099", 99}, {"7 5", 7},   {"1e5", 1},  {"- 5", 0},  {"Ю9", 0},
        {"9Ю", 9},   {"  ", 0},      {"-0", 0},    {"12-3", 12},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(ReadNumber(c.text), c.expected) << "text: \"" << c.text << '"';
    }
}

TEST(ReadNumber, VeryLongDigitRunsDoNotFail) {
    EXPECT_TRUE(std::isinf(ReadNumber(std::string(400, '9'))));
    EXPECT_DOUBLE_EQ(ReadNumber("0." + std::string(400, '0') + "1"), 0.0);
    EXPECT_DOUBLE_EQ(ReadNumber(std::string(30, '0') + "42"), 42);
}

TEST(NumberToText, WritesTheShortestGeneralForm) {
    const struct {
        double value;
        const char* point;
        const char* comma;
    } cases[] = {
        {90, "90", "90"},
        {90 * 0.9, "81", "81"},  // 81.00000000000001 before the 15-digit cut
        {10 * 1.2, "12", "12"},
        {11 * 1.2, "13.2", "13,2"},
        {13.2 * 1.2, "15.84", "15,84"},
        {95 * 1.2, "114", "114"},
        {0, "0", "0"},
        {-0.0, "0", "0"},  // never "-0" in a box
        {-5, "-5", "-5"},
        {0.5, "0.5", "0,5"},
        {1.0 / 3, "0.333333333333333", "0,333333333333333"},
        // Values a general format would write with an exponent.
        {0.00000111450983, "0.00000111450983", "0,00000111450983"},
        {-2.5e-7, "-0.00000025", "-0,00000025"},
        {1e-4, "0.0001", "0,0001"},
        {1.5e20, "150000000000000000000", "150000000000000000000"},
        {1e15, "1000000000000000", "1000000000000000"},
        {123456789012345678.0, "123456789012346000", "123456789012346000"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NumberToText(c.value, kPoint), c.point) << c.value;
        EXPECT_EQ(NumberToText(c.value, kComma), c.comma) << c.value;
    }
}

TEST(NumberToText, WhatItWritesReadsBackAsTheSameNumber) {
    for (double value : {0.00000111450983, 13.2, 15.84, 114.0, 1e-9, 98765.4321, 3e17}) {
        EXPECT_DOUBLE_EQ(ReadNumber(NumberToText(value)), value) << value;
    }
}

TEST(IntegerToText, WritesDigitsWithoutLeadingBlank) {
    EXPECT_EQ(IntegerToText(100), "100");
    EXPECT_EQ(IntegerToText(0), "0");
    EXPECT_EQ(IntegerToText(-32768), "-32768");
}

TEST(FormatNumber, WritesExactlyTwoDecimalsWithALeadingZero) {
    const struct {
        double value;
        const char* point;
        const char* comma;
    } cases[] = {
        {0.19, "0.19", "0,19"}, {1, "1.00", "1,00"},     {0, "0.00", "0,00"},
        {0.5, "0.50", "0,50"},  {-1e-9, "0.00", "0,00"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatNumber(c.value, 2, kPoint), c.point) << c.value;
        EXPECT_EQ(FormatNumber(c.value, 2, kComma), c.comma) << c.value;
    }
}

TEST(FormatNumber, EveryScaleRatioRoundTripsToTwoDecimals) {
    for (const NumberFormat& format : {kPoint, kComma, NumberFormat{"٫"}}) {
        for (int v = 0; v <= 100; ++v) {
            const std::string text = FormatNumber(v / 100.0, 2, format);
            EXPECT_DOUBLE_EQ(ReadFormattedNumber(text, format), v / 100.0) << text;
        }
    }
}

TEST(RoundToInteger, RoundsHalvesToEven) {
    const struct {
        double value;
        int expected;
    } cases[] = {
        {19.0, 19}, {2.5, 2},    {3.5, 4},         {-2.5, -2},         {0.49, 0},
        {-0.5, 0},  {99.6, 100}, {32767.4, 32767}, {-32768.4, -32768}, {-1, -1},
    };
    for (const auto& c : cases) EXPECT_EQ(RoundToInteger(c.value), c.expected) << c.value;
}

TEST(RoundToInteger, OutOfRangeOrNotANumberIsAnOverflow) {
    for (double value : {32767.5, 32768.0, -32768.6, 1e300, std::numeric_limits<double>::infinity(),
                         std::numeric_limits<double>::quiet_NaN()}) {
        EXPECT_THROW(RoundToInteger(value), FatalError) << value;
    }
}

TEST(GuardedArithmetic, SubtractionOverflowIsFatal) {
    EXPECT_EQ(GuardedSubtract(100, 19), 81);
    EXPECT_EQ(GuardedSubtract(-32768, -32768), 0);
    EXPECT_EQ(GuardedSubtract(-1, 32767), -32768);
    EXPECT_THROW(GuardedSubtract(-32768, 1), FatalError);
    EXPECT_THROW(GuardedSubtract(32767, -1), FatalError);
}

TEST(GuardedArithmetic, DivisionByZeroOrToInfinityIsFatal) {
    EXPECT_DOUBLE_EQ(GuardedDivide(19, 100), 0.19);
    EXPECT_DOUBLE_EQ(GuardedDivide(-100, 100), -1);
    EXPECT_THROW(GuardedDivide(1, 0), FatalError);
    EXPECT_THROW(GuardedDivide(0, 0), FatalError);
    EXPECT_THROW(GuardedDivide(1e308, 1e-308), FatalError);
}

// The toolkit sets the C library's locale from the user's, and in Bulgarian
// that makes the C library's decimal point a comma. The rules must not change.
// glibc finds the Bulgarian locale that the build compiles for the tests
// (LOCPATH, see tests/CMakeLists.txt); the Windows C runtime has its own.
// WebAssembly's C library has no locale data (it accepts the name and keeps
// the point), so there this test could never run: it is not built there.
#if !defined(__EMSCRIPTEN__)
TEST(NumericTextUnderACommaCLocale, FollowsTheProgramsRulesNotTheCLibrarys) {
    // glibc's name, then the Windows runtime's.
    bool comma = false;
    for (const char* name : {"bg_BG.UTF-8", "Bulgarian_Bulgaria.1251"}) {
        if (!comma && std::setlocale(LC_ALL, name) != nullptr) {
            comma = std::string_view(std::localeconv()->decimal_point) == ",";
        }
    }
    if (!comma) {
        std::setlocale(LC_ALL, "C");
        const char* path = std::getenv("LOCPATH");
        FAIL() << "no Bulgarian C locale with a decimal comma: bg_BG.UTF-8 is not in LOCPATH="
               << (path != nullptr ? path : "(unset)") << " (run the test through ctest, which sets it)";
    }
    EXPECT_DOUBLE_EQ(ReadNumber("13.2"), 13.2);
    EXPECT_DOUBLE_EQ(ReadNumber("13,2"), 13);
    EXPECT_TRUE(std::isinf(ReadNumber(std::string(400, '9'))));
    EXPECT_EQ(NumberToText(11 * 1.2, kPoint), "13.2");
    EXPECT_EQ(NumberToText(11 * 1.2, kComma), "13,2");
    EXPECT_EQ(NumberToText(-2.5e-7, kPoint), "-0.00000025");
    EXPECT_EQ(NumberToText(1.5e20, kPoint), "150000000000000000000");
    EXPECT_EQ(FormatNumber(0.19, 2, kPoint), "0.19");
    EXPECT_EQ(FormatNumber(0.19, 2, kComma), "0,19");
    EXPECT_DOUBLE_EQ(ReadFormattedNumber("0,19", kComma), 0.19);
    std::setlocale(LC_ALL, "C");
}
#endif

}  // namespace
}  // namespace regulator
