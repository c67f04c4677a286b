#include "fatal_error.h"
#include "regulator.h"
#include "widget_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace regulator::testing {
namespace {

TEST(StartUp, LeavesDefaultsIdleAndTemperatureZero) {
    WidgetModel widgets;
    Regulator regulator(widgets);
    regulator.Form_Load();

    EXPECT_EQ(widgets.text2[kLowerBox], "81");
    EXPECT_EQ(widgets.text2[kBaseMaximumBox], "100");
    EXPECT_EQ(widgets.text2[kUpperBox], "90");
    EXPECT_EQ(widgets.max, 100);
    EXPECT_EQ(widgets.min, 0);
    EXPECT_EQ(widgets.value, 100);
    EXPECT_DOUBLE_EQ(regulator.GaugeRatio(), 1.0);
    EXPECT_FALSE(widgets.option[kOnOption]);
    EXPECT_TRUE(widgets.option[kOffOption]);
    EXPECT_FALSE(regulator.State().HeaterOn);
    EXPECT_FALSE(widgets.timerEnabled);
    // The gauge is drawn once, after the indicator is set; the position did not move.
    EXPECT_EQ(widgets.log, (std::vector<std::string>{"option1", "draw"}));
}

TEST(StartUp, LowerDefaultIsDerivedFromTheUpperBoxInEitherLocale) {
    Rig comma(NumberFormat{","});
    EXPECT_EQ(comma.widgets.text2[kLowerBox], "81");
    EXPECT_EQ(comma.widgets.text2[kUpperBox], "90");
}

TEST(ScaleChange, GaugeRatioFollowsEveryPosition) {
    Rig rig;
    for (const auto& [value, ratio] : std::vector<std::pair<int, double>>{{19, 0.19}, {0, 0}, {100, 1}, {33, 0.33}}) {
        rig.widgets.SetVScroll1Value(static_cast<std::int16_t>(value));
        EXPECT_DOUBLE_EQ(rig.regulator.GaugeRatio(), ratio) << value;
    }
    Rig comma(NumberFormat{","});
    comma.widgets.SetVScroll1Value(19);
    EXPECT_DOUBLE_EQ(comma.regulator.GaugeRatio(), 0.19);
}

TEST(ControlTick, FromStartUpHeatsToUpperThenCyclesEveryEighteenTicks) {
    Rig rig;
    rig.regulator.Command1_Click(kStartButton);
    ASSERT_TRUE(rig.widgets.timerEnabled);

    for (int tick = 1; tick <= 90; ++tick) {
        rig.widgets.log.clear();
        rig.regulator.Timer1_Timer();
        ASSERT_EQ(rig.widgets.Temperature(), tick);
        ASSERT_TRUE(rig.widgets.option[kOnOption]) << tick;
        // The change event runs once, inside the tick, before the indicator.
        ASSERT_EQ(rig.widgets.log, (std::vector<std::string>{"change", "draw", "option0"})) << tick;
        ASSERT_DOUBLE_EQ(rig.regulator.GaugeRatio(), (100 - tick) / 100.0);
    }

    // From 90: down to 81 in 9 ticks, up to 90 in 9 ticks, and so on.
    std::vector<int> temperatures;
    std::vector<bool> on;
    for (int tick = 0; tick < 54; ++tick) {
        rig.regulator.Timer1_Timer();
        temperatures.push_back(rig.widgets.Temperature());
        on.push_back(rig.widgets.option[kOnOption]);
        ASSERT_NE(rig.widgets.option[kOnOption], rig.widgets.option[kOffOption]);
    }
    for (int tick = 0; tick < 54; ++tick) {
        const int phase = tick % 18;
        const int expected = phase < 9 ? 89 - phase : 82 + (phase - 9);
        EXPECT_EQ(temperatures[tick], expected) << tick;
        EXPECT_EQ(on[tick], phase >= 9) << tick;
    }
    EXPECT_EQ(*std::min_element(temperatures.begin(), temperatures.end()), 81);
    EXPECT_EQ(*std::max_element(temperatures.begin(), temperatures.end()), 90);
    EXPECT_DOUBLE_EQ(rig.regulator.State().LowerThreshold, 81);
    EXPECT_DOUBLE_EQ(rig.regulator.State().UpperThreshold, 90);
}

TEST(ControlTick, SwitchesAtTheThresholdsAndKeepsItsStateBetweenThem) {
    const struct {
        const char* name;
        const char* lower;
        const char* upper;
        int temperature;
        bool heaterBefore;
        bool heaterAfter;
        int temperatureAfter;
    } cases[] = {
        {"at or below lower switches on", "81", "90", 80, false, true, 81},
        {"equal to lower switches on", "81", "90", 81, false, true, 82},
        {"between keeps heating", "81", "90", 85, true, true, 86},
        {"between keeps cooling", "81", "90", 85, false, false, 84},
        {"equal to upper switches off", "81", "90", 90, true, false, 89},
        {"above upper switches off", "81", "90", 100, true, false, 99},
        {"equal thresholds: both tests hold, off wins", "50", "50", 50, true, false, 49},
        {"equal thresholds: below switches on", "50", "50", 49, false, true, 50},
        {"lower zero: cooling stops at zero", "0", "10", 1, false, false, 0},
        {"lower zero at zero switches on", "0", "10", 0, false, true, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        rig.SetThresholds(c.lower, c.upper);
        rig.widgets.Drag(c.temperature);
        if (c.heaterBefore) {
            // Bring the heater on with a tick from below the lower threshold.
            rig.widgets.Drag(0);
            rig.regulator.Timer1_Timer();
            rig.widgets.Drag(c.temperature);
        }
        ASSERT_EQ(rig.regulator.State().HeaterOn, c.heaterBefore);
        rig.regulator.Timer1_Timer();
        EXPECT_EQ(rig.regulator.State().HeaterOn, c.heaterAfter);
        EXPECT_EQ(rig.widgets.Temperature(), c.temperatureAfter);
        EXPECT_EQ(rig.widgets.option[kOnOption], c.heaterAfter);
        EXPECT_EQ(rig.widgets.option[kOffOption], !c.heaterAfter);
    }
}

TEST(ControlTick, EqualThresholdsAlternateBetweenTwoTemperatures) {
    Rig rig;
    rig.SetThresholds("50", "50");
    rig.widgets.Drag(50);
    std::vector<int> seen;
    for (int i = 0; i < 6; ++i) {
        rig.regulator.Timer1_Timer();
        seen.push_back(rig.widgets.Temperature());
    }
    EXPECT_EQ(seen, (std::vector<int>{49, 50, 49, 50, 49, 50}));
}

TEST(ControlTick, ADragWhileRunningIsHonouredByTheNextTick) {
    Rig rig;
    rig.regulator.Command1_Click(kStartButton);
    rig.Ticks(30);  // heating, temperature 30
    rig.widgets.Drag(100);
    rig.regulator.Timer1_Timer();
    EXPECT_FALSE(rig.regulator.State().HeaterOn);
    EXPECT_EQ(rig.widgets.Temperature(), 99);
    EXPECT_TRUE(rig.widgets.option[kOffOption]);
}

TEST(ControlTick, TypingSevenIntoTheUpperBoxIsValidatedBeforeTheComparison) {
    Rig rig;
    rig.regulator.Command1_Click(kStartButton);
    rig.Ticks(11);  // heating, temperature 11
    rig.widgets.text2[kUpperBox] = "7";
    rig.regulator.Timer1_Timer();
    EXPECT_EQ(rig.widgets.text2[kLowerBox], "10");
    EXPECT_EQ(rig.widgets.text2[kUpperBox], "12");
    EXPECT_DOUBLE_EQ(rig.regulator.State().LowerThreshold, 10);
    EXPECT_DOUBLE_EQ(rig.regulator.State().UpperThreshold, 12);
    // 11 lies between 10 and 12: the heater keeps heating.
    EXPECT_EQ(rig.widgets.Temperature(), 12);
    rig.regulator.Timer1_Timer();
    EXPECT_EQ(rig.widgets.Temperature(), 11);
}

TEST(StartStop, StopShowsOffButKeepsTheHeaterStateForTheNextStart) {
    Rig rig;
    rig.regulator.Command1_Click(kStartButton);
    rig.Ticks(40);  // heating
    rig.regulator.Command1_Click(kStopButton);
    EXPECT_FALSE(rig.widgets.timerEnabled);
    EXPECT_TRUE(rig.widgets.option[kOffOption]);
    EXPECT_TRUE(rig.regulator.State().HeaterOn);
    EXPECT_EQ(rig.widgets.Temperature(), 40);

    rig.regulator.Command1_Click(kStartButton);
    EXPECT_TRUE(rig.widgets.option[kOffOption]);  // until the first tick
    rig.regulator.Timer1_Timer();
    EXPECT_EQ(rig.widgets.Temperature(), 41);
    EXPECT_TRUE(rig.widgets.option[kOnOption]);
}

TEST(StartStop, RepeatedClicksAreHarmlessAndOtherIndicesDoNothing) {
    Rig rig;
    rig.regulator.Command1_Click(kStartButton);
    rig.regulator.Command1_Click(kStartButton);
    EXPECT_TRUE(rig.widgets.timerEnabled);
    EXPECT_EQ(rig.widgets.timerStarts, 1);

    rig.regulator.Command1_Click(kStopButton);
    rig.regulator.Command1_Click(kStopButton);
    EXPECT_FALSE(rig.widgets.timerEnabled);
    EXPECT_TRUE(rig.widgets.option[kOffOption]);

    rig.widgets.log.clear();
    for (int index : {-1, 2, 100}) rig.regulator.Command1_Click(index);
    EXPECT_FALSE(rig.widgets.timerEnabled);
    EXPECT_TRUE(rig.widgets.log.empty());
}

TEST(Validation, ClampsOrdersAndRewritesTheBoxes) {
    const struct {
        const char* lowerIn;
        const char* upperIn;
        const char* lowerOut;
        const char* upperOut;
    } cases[] = {
        {"81", "90", "81", "90"}, {"", "90", "0", "90"},    {"аб", "90", "0", "90"},    {"abc", "90", "0", "90"},
        {"-5", "90", "0", "90"},  {"81", "7", "10", "12"},  {"81", "", "10", "12"},     {"5", "7", "5", "10"},
        {"81", "99", "81", "95"}, {"99", "50", "50", "60"}, {"99", "11", "11", "13.2"}, {"99", "95", "95", "99"},
        {"9", "5", "9", "10"},    {"-0", "-0", "0", "10"},  {"8a", " 20", "8", "20"},   {"13.2", "95", "13.2", "95"},
    };
    for (const auto& c : cases) {
        Rig rig;
        rig.SetThresholds(c.lowerIn, c.upperIn);
        rig.regulator.ValidateThresholds();
        EXPECT_EQ(rig.widgets.text2[kLowerBox], c.lowerOut) << c.lowerIn << " / " << c.upperIn;
        EXPECT_EQ(rig.widgets.text2[kUpperBox], c.upperOut) << c.lowerIn << " / " << c.upperIn;
    }
}

TEST(Validation, TheTransientUpperValueIsClampedByTheNextValidation) {
    Rig rig;
    rig.SetThresholds("99", "95");
    rig.regulator.ValidateThresholds();
    EXPECT_EQ(rig.widgets.text2[kUpperBox], "99");
    rig.regulator.ValidateThresholds();
    EXPECT_EQ(rig.widgets.text2[kLowerBox], "95");
    EXPECT_EQ(rig.widgets.text2[kUpperBox], "95");
}

TEST(Validation, ACommaLocaleWritesACommaThatTheNextReadCutsOff) {
    Rig rig(NumberFormat{","});
    rig.SetThresholds("99", "11");
    rig.regulator.ValidateThresholds();
    EXPECT_EQ(rig.widgets.text2[kLowerBox], "11");
    EXPECT_EQ(rig.widgets.text2[kUpperBox], "13,2");
    EXPECT_DOUBLE_EQ(ReadNumber(rig.widgets.text2[kUpperBox]), 13);
    rig.regulator.ValidateThresholds();
    EXPECT_EQ(rig.widgets.text2[kUpperBox], "13");
}

// A lower box edited from the program's "13.2" to "132" makes the next
// validation cap it at 114 and exchange it into the upper threshold. A tick
// at temperature 100 with the heater on must not step past the scale.
TEST(ScaleEnds, AnEditedBoxCannotPushTheTemperatureOffTheScale) {
    Rig rig;
    rig.SetThresholds("99", "11");
    rig.regulator.ValidateThresholds();
    ASSERT_EQ(rig.widgets.text2[kUpperBox], "13.2");
    rig.SetThresholds("11", "95");
    rig.regulator.Command1_Click(kStartButton);
    rig.Ticks(5);  // heating from 0
    ASSERT_TRUE(rig.regulator.State().HeaterOn);
    rig.regulator.Command1_Click(kStopButton);
    rig.widgets.Drag(100);
    rig.widgets.text2[kLowerBox] = "132";  // the user deleted the point of 13.2
    rig.regulator.Command1_Click(kStartButton);

    rig.widgets.log.clear();
    ASSERT_NO_THROW(rig.regulator.Timer1_Timer());
    EXPECT_EQ(rig.widgets.text2[kLowerBox], "95");
    EXPECT_EQ(rig.widgets.text2[kUpperBox], "114");
    EXPECT_TRUE(rig.regulator.State().HeaterOn);
    EXPECT_EQ(rig.widgets.value, 0);
    EXPECT_EQ(rig.widgets.Temperature(), 100);
    EXPECT_TRUE(rig.widgets.option[kOnOption]);
    EXPECT_EQ(std::count(rig.widgets.log.begin(), rig.widgets.log.end(), "change"), 0);

    // The next validation clamps 114 to 95 and the run cools as usual.
    rig.regulator.Timer1_Timer();
    EXPECT_EQ(rig.widgets.text2[kUpperBox], "95");
    EXPECT_FALSE(rig.regulator.State().HeaterOn);
    EXPECT_EQ(rig.widgets.Temperature(), 99);
}

TEST(ScaleEnds, SettingAPositionOutsideTheScaleIsFatal) {
    Rig rig;
    EXPECT_THROW(rig.widgets.SetVScroll1Value(-1), FatalError);
    EXPECT_THROW(rig.widgets.SetVScroll1Value(101), FatalError);
    EXPECT_EQ(rig.widgets.value, 100);
}

TEST(ScaleEnds, AZeroMaximumIsADivisionErrorNotACrash) {
    Rig rig;
    rig.widgets.max = 0;
    rig.widgets.value = 0;
    EXPECT_THROW(rig.regulator.VScroll1_Change(), FatalError);
}

}  // namespace
}  // namespace regulator::testing
