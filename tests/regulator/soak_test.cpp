// A long randomized run: ticks with random user actions in between. The seed
// is printed on failure and can be replayed with DULMERI_TEST_SEED=<seed>.

#include "fatal_error.h"
#include "regulator.h"
#include "test_seed.h"
#include "widget_model.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace regulator::testing {
namespace {

// Texts a user might leave in a box: numbers, fragments, other scripts,
// and the program's own fractional output with a character deleted.
std::string RandomText(std::mt19937_64& random) {
    static const std::vector<std::string> pieces = {"",      "0",    "5",  "7",  "9",  "10",   "13.2", "132",
                                                    "15.84", "1584", "81", "90", "95", "99",   "-",    "+",
                                                    "-5",    ".",    ",",  "e",  " ",  "\t",   "a",    "Ю",
                                                    "абв",   "1e9",  "٫",  "00", "-0", "9999", "0.5",  "12,5"};
    std::uniform_int_distribution<int> count(0, 4);
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
    std::string text;
    for (int n = count(random); n > 0; --n) text += pieces[pick(random)];
    if (random() % 200 == 0) text += std::string(random() % 500, static_cast<char>('0' + random() % 10));
    return text;
}

TEST(Soak, RandomUserActionsNeverBreakTheInvariants) {
    const std::uint64_t seed = dulmeri_testing::TestSeed();
    SCOPED_TRACE(dulmeri_testing::SeedTrace(seed));
    std::mt19937_64 random(seed);
    Rig rig;
    rig.regulator.Command1_Click(kStartButton);

    bool editedSinceValidation = true;
    const auto checkBoxes = [&](const char* when) {
        const double lower = ReadNumber(rig.widgets.text2[kLowerBox]);
        const double upper = ReadNumber(rig.widgets.text2[kUpperBox]);
        ASSERT_LE(0, lower) << when;
        ASSERT_LE(lower, upper) << when;
        ASSERT_LE(upper, 114) << when;
        if (!editedSinceValidation) {
            ASSERT_LE(10, upper) << when;
            ASSERT_LE(upper, 95) << when;
        }
    };

    constexpr int kTicks = 100'000;
    for (int tick = 0; tick < kTicks; ++tick) {
        switch (random() % 16) {
            case 0:
                rig.widgets.text2[kLowerBox] = RandomText(random);
                editedSinceValidation = true;
                break;
            case 1:
                rig.widgets.text2[kUpperBox] = RandomText(random);
                editedSinceValidation = true;
                break;
            case 2:
                rig.widgets.Drag(static_cast<int>(random() % 101));
                break;
            case 3:
                rig.regulator.Command1_Click(static_cast<int>(random() % 3));
                break;
            default:
                break;  // most ticks pass without the user doing anything
        }
        // Ticks happen only while the timer runs; validate directly otherwise
        // so the boxes are still exercised.
        try {
            if (rig.widgets.timerEnabled) {
                rig.regulator.Timer1_Timer();
            } else {
                rig.regulator.ValidateThresholds();
            }
        } catch (const FatalError& error) {
            FAIL() << "tick " << tick << ": " << error.what();
        }
        ASSERT_GE(rig.widgets.value, 0) << "tick " << tick;
        ASSERT_LE(rig.widgets.value, 100) << "tick " << tick;
        ASSERT_NE(rig.widgets.option[kOnOption], rig.widgets.option[kOffOption]);
        checkBoxes("after a validation");
        if (HasFatalFailure()) return;
        editedSinceValidation = false;
    }
}

}  // namespace
}  // namespace regulator::testing
