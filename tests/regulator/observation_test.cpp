// The observation fed by the real regulator on the widget model, as the
// window feeds it: after every tick, on the buttons and on the user's moves
// of the scale. The test keeps its own record of the regulator's heater and
// temperature per tick to check the observation against.

#include "observation.h"
#include "regulator.h"
#include "widget_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace regulator::testing {
namespace {

struct ObservedRun {
    explicit ObservedRun(int tickMilliseconds = 100) : observation(tickMilliseconds) {}

    void Start() {
        rig.regulator.Command1_Click(kStartButton);
        observation.OnStart();
    }
    void Stop() {
        rig.regulator.Command1_Click(kStopButton);
        observation.OnStop();
    }
    void Tick() {
        rig.regulator.Timer1_Timer();
        const RegulatorState& state = rig.regulator.State();
        observation.OnTick({rig.widgets.Temperature(), state.HeaterOn, state.LowerThreshold, state.UpperThreshold});
        heater.push_back(state.HeaterOn);
        temperature.push_back(rig.widgets.Temperature());
    }
    void Ticks(int count) {
        for (int i = 0; i < count; ++i) Tick();
    }
    void Drag(int to) {
        rig.widgets.Drag(to);
        observation.OnUserMove(to);
    }

    // Ticks (1-based) at which the regulator's heater changed state, from
    // `from` on; before the first tick it is off.
    std::vector<std::int64_t> SwitchTicks(std::int64_t from = 1) const {
        std::vector<std::int64_t> ticks;
        for (std::size_t i = 0; i < heater.size(); ++i) {
            const bool before = i == 0 ? false : static_cast<bool>(heater[i - 1]);
            if (heater[i] != before && static_cast<std::int64_t>(i) + 1 >= from)
                ticks.push_back(static_cast<std::int64_t>(i) + 1);
        }
        return ticks;
    }

    std::int64_t CyclesInTable() const {
        std::int64_t cycles = 0;
        for (const BandRow& row : observation.Bands()) cycles += row.cycles;
        return cycles;
    }

    Rig rig;
    Observation observation;
    std::vector<bool> heater;      // per tick, as the regulator left it
    std::vector<int> temperature;  // per tick
};

std::vector<std::int64_t> Every(std::int64_t first, std::int64_t step, std::int64_t last) {
    std::vector<std::int64_t> ticks;
    for (std::int64_t tick = first; tick <= last; tick += step) ticks.push_back(tick);
    return ticks;
}

std::vector<std::int64_t> Join(std::vector<std::int64_t> a, const std::vector<std::int64_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The rule's steady cycle against the cycle the regulator actually runs,
// measured here from its heater, for bands of every kind validation leaves:
// fractional thresholds, equal ones (whole and fractional), a lower of 0, the
// widest band, and pairs validation rewrites.
TEST(ObservationSteadyCycle, RuleAgreesWithTheRegulator) {
    const struct {
        const char* lowerText;
        const char* upperText;
        double lower;  // as the last tick read them
        double upper;
        int cycleTicks;  // worked out by hand from the tick
    } cases[] = {
        {"81", "90", 81, 90, 18},
        {"50", "50", 50, 50, 2},
        {"99", "11", 11, 13.2, 6},  // validated into 11 / 13.2
        {"13.2", "20", 13.2, 20, 14},
        {"13.2", "13.2", 13.2, 13.2, 2},
        {"30.7", "60.2", 30.7, 60.2, 62},
        {"0", "10", 0, 10, 20},
        {"0", "95", 0, 95, 190},
        {"99", "95", 95, 95, 2},  // 95 / 99 for one tick, then 95 / 95
        {"9", "5", 9, 10, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.lowerText) + " / " + c.upperText);
        ObservedRun run;
        Observation slow(250);  // the same ticks with another timer period
        run.rig.SetThresholds(c.lowerText, c.upperText);
        run.Start();
        slow.OnStart();
        for (int i = 0; i < 1000; ++i) {
            run.Tick();
            const ObservedTick& fed = run.observation.Ticks().back();
            slow.OnTick({fed.temperature, fed.heaterOn, fed.lower, fed.upper});
        }
        const RegulatorState& state = run.rig.regulator.State();
        ASSERT_DOUBLE_EQ(state.LowerThreshold, c.lower);
        ASSERT_DOUBLE_EQ(state.UpperThreshold, c.upper);

        // The regulator's own cycle, after 300 ticks of settling.
        const std::vector<std::int64_t> switches = run.SwitchTicks(300);
        ASSERT_GE(switches.size(), 3U);
        for (std::size_t i = 2; i < switches.size(); ++i) {
            ASSERT_EQ(switches[i] - switches[i - 2], c.cycleTicks) << "cycle ending at tick " << switches[i];
        }
        EXPECT_EQ(SteadyCycleTicks(state.LowerThreshold, state.UpperThreshold), c.cycleTicks);

        // What the observation measured agrees with the rule: 2 switchings
        // per cycle, per minute.
        const double predicted = 2 * 60000.0 / (c.cycleTicks * 100.0);
        const auto band = run.observation.CurrentBand();
        ASSERT_TRUE(band.has_value());
        EXPECT_EQ(band->predictedCycleTicks, c.cycleTicks);
        EXPECT_DOUBLE_EQ(band->predictedSwitchingsPerMinute, predicted);
        ASSERT_TRUE(band->switchingsPerMinute.has_value());
        EXPECT_DOUBLE_EQ(*band->switchingsPerMinute, predicted);
        ASSERT_TRUE(band->meanSecondsBetweenSwitchings.has_value());
        EXPECT_DOUBLE_EQ(*band->meanSecondsBetweenSwitchings, c.cycleTicks * 0.1 / 2);
        const auto slowBand = slow.CurrentBand();
        ASSERT_TRUE(slowBand.has_value() && slowBand->switchingsPerMinute.has_value());
        EXPECT_DOUBLE_EQ(*slowBand->switchingsPerMinute, predicted * 100 / 250);
        EXPECT_DOUBLE_EQ(*slowBand->meanSecondsBetweenSwitchings, c.cycleTicks * 0.25 / 2);

        // One row: a band in force for a single tick runs no cycle.
        ASSERT_EQ(run.observation.Bands().size(), 1U);
        const BandRow& row = run.observation.Bands()[0];
        EXPECT_DOUBLE_EQ(row.lower, c.lower);
        EXPECT_DOUBLE_EQ(row.upper, c.upper);
        EXPECT_DOUBLE_EQ(row.width, c.upper - c.lower);
        EXPECT_DOUBLE_EQ(row.switchingsPerMinute, predicted);
        EXPECT_DOUBLE_EQ(row.predictedSwitchingsPerMinute, predicted);
    }
}

// From start-up (81 / 90, temperature 0), one event at a given tick; the
// ticks at which a whole cycle is credited show what was discarded. In the
// steady run the heater switches off at 91, 109, 127, ... and on at 100,
// 118, ...; the switching on at tick 1 is the start's first tick and opens
// nothing, so the first cycle ends at 109 and one ends at every switching
// after it.
TEST(ObservationCycles, OnlyUndisturbedCyclesOfTheBandInForceAreCredited) {
    enum class Kind { Start, Stop, Drag, Upper, Both };
    struct Event {
        int afterTick;
        Kind kind;
        int value = 0;
        const char* lower = "";
        const char* upper = "";
    };
    struct Row {
        double lower;
        double upper;
        std::int64_t cycles;
    };
    const struct {
        const char* name;
        std::vector<Event> events;
        std::vector<std::int64_t> credited;
        std::vector<Row> rows;
    } cases[] = {
        {"steady", {}, Every(109, 9, 190), {{81, 90, 10}}},
        {"a start while running changes nothing", {{140, Kind::Start}}, Every(109, 9, 190), {{81, 90, 10}}},
        // Heating at 86, dragged to 88: the cycles in progress are dropped;
        // the switching off at 90 (tick 143) is reached by heating and opens.
        {"hand move inside the band", {{140, Kind::Drag, 88}}, {109, 118, 127, 136, 161, 170, 179, 188}, {{81, 90, 8}}},
        // Dragged to 100: tick 141 switches off at once and opens nothing;
        // cooling switches on at 81 (tick 160), which opens.
        {"hand move above the band", {{140, Kind::Drag, 100}}, {109, 118, 127, 136, 178, 187}, {{81, 90, 6}}},
        // Cooling at 86 when the upper becomes 88: the new band's first
        // switching is at 81 (tick 136); its cycle is 14 ticks.
        {"band changed mid-cycle",
         {{130, Kind::Upper, 0, "", "88"}},
         Join({109, 118, 127}, Every(150, 7, 190)),
         {{81, 90, 3}, {81, 88, 6}}},
        // Heating at 86 when the upper becomes 83: tick 141 switches off at
        // once; the band's first own switching is on at 81 (tick 146).
        {"band moved past the temperature",
         {{140, Kind::Upper, 0, "", "83"}},
         Join({109, 118, 127, 136}, Every(150, 2, 190)),
         {{81, 90, 4}, {81, 83, 21}}},
        // Heating at 86: the stop drops the cycles in progress; after the
        // start the switching off at 90 (tick 145) opens.
        {"stop and start",
         {{140, Kind::Stop}, {140, Kind::Start}},
         {109, 118, 127, 136, 163, 172, 181, 190},
         {{81, 90, 8}}},
        // Dragged to 95 while stopped: the start's first tick switches off.
        {"hand move while stopped",
         {{140, Kind::Stop}, {140, Kind::Drag, 95}, {140, Kind::Start}},
         {109, 118, 127, 136, 173, 182},
         {{81, 90, 6}}},
        // 50 / 50 from 0: off at 51, then a switching every tick.
        {"equal thresholds", {{0, Kind::Both, 0, "50", "50"}}, Every(53, 1, 190), {{50, 50, 138}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ObservedRun run;
        std::vector<std::int64_t> credited;
        std::vector<std::int64_t> movedBefore;
        std::int64_t bandSince = 1;
        for (int tick = 1; tick <= 190; ++tick) {
            for (const Event& event : c.events) {
                if (event.afterTick != tick - 1) continue;
                switch (event.kind) {
                    case Kind::Start:
                        run.Start();
                        break;
                    case Kind::Stop:
                        run.Stop();
                        break;
                    case Kind::Drag:
                        run.Drag(event.value);
                        movedBefore.push_back(tick);
                        // The current point follows the thumb before the next tick.
                        EXPECT_EQ(run.observation.CurrentPoint().temperature, event.value);
                        break;
                    case Kind::Upper:
                        run.rig.widgets.text2[kUpperBox] = event.upper;
                        bandSince = tick;
                        break;
                    case Kind::Both:
                        run.rig.SetThresholds(event.lower, event.upper);
                        break;
                }
            }
            if (tick == 1) run.Start();
            const std::int64_t before = run.CyclesInTable();
            run.Tick();
            for (std::int64_t n = run.CyclesInTable(); n > before; --n) credited.push_back(tick);
        }
        EXPECT_EQ(credited, c.credited);

        const std::vector<BandRow>& bands = run.observation.Bands();
        ASSERT_EQ(bands.size(), c.rows.size());
        for (std::size_t i = 0; i < bands.size(); ++i) {
            EXPECT_DOUBLE_EQ(bands[i].lower, c.rows[i].lower) << i;
            EXPECT_DOUBLE_EQ(bands[i].upper, c.rows[i].upper) << i;
            EXPECT_EQ(bands[i].cycles, c.rows[i].cycles) << i;
            // Only steady cycles were counted: measured and predicted agree.
            EXPECT_DOUBLE_EQ(bands[i].switchingsPerMinute, bands[i].predictedSwitchingsPerMinute) << i;
        }

        // The band in force counts every switching since it came into force,
        // those the disturbances caused included.
        const auto band = run.observation.CurrentBand();
        ASSERT_TRUE(band.has_value());
        EXPECT_EQ(band->sinceTick, bandSince);
        EXPECT_EQ(band->switchings, static_cast<std::int64_t>(run.SwitchTicks(bandSince).size()));

        // The ticks recorded, and which of them followed a move by hand.
        ASSERT_EQ(run.observation.Ticks().size(), 190U);
        std::vector<std::int64_t> flagged;
        for (const ObservedTick& tick : run.observation.Ticks()) {
            ASSERT_EQ(tick.temperature, run.temperature[static_cast<std::size_t>(tick.tick - 1)]);
            ASSERT_EQ(tick.heaterOn, run.heater[static_cast<std::size_t>(tick.tick - 1)]);
            if (tick.afterHandMove) flagged.push_back(tick.tick);
        }
        EXPECT_EQ(flagged, movedBefore);
        EXPECT_TRUE(run.observation.Running());
    }
}

// Nothing before the first start; a stop keeps the table and the band.
TEST(ObservationCycles, NothingBeforeTheFirstStartAndAStopKeepsTheTable) {
    ObservedRun run;
    run.Drag(30);
    run.observation.OnStop();
    EXPECT_FALSE(run.observation.Started());
    EXPECT_FALSE(run.observation.CurrentBand().has_value());
    EXPECT_TRUE(run.observation.Bands().empty());
    EXPECT_TRUE(run.observation.Ticks().empty());
    EXPECT_EQ(run.observation.Summary().ticks, 0U);
    EXPECT_EQ(run.observation.CurrentPoint().temperature, 30);
    EXPECT_EQ(run.observation.BandsTableText(),
              "Долен праг\tГорен праг\tШирина\tПревключвания в минута\tПо правилото\n");

    run.Start();
    run.Ticks(200);
    run.Stop();
    EXPECT_FALSE(run.observation.Running());
    EXPECT_FALSE(run.observation.Summary().running);
    const std::string table = run.observation.BandsTableText();
    const auto band = run.observation.CurrentBand();
    ASSERT_TRUE(band.has_value());
    run.Start();
    EXPECT_EQ(run.observation.BandsTableText(), table);
    EXPECT_EQ(run.observation.CurrentBand()->cycles, band->cycles);
    EXPECT_EQ(run.observation.CurrentBand()->sinceTick, 1);
}

// More than a minute of ticks: the rings keep the latest 600 ticks and
// switchings, oldest first; the summary and the loop path read them.
TEST(ObservationRecord, KeepsTheLastMinuteOfTicksAndSwitchings) {
    ObservedRun run;
    run.rig.SetThresholds("50", "50");
    run.Start();
    run.Ticks(1500);

    const auto& ticks = run.observation.Ticks();
    ASSERT_EQ(ticks.size(), Observation::kTickCapacity);
    EXPECT_EQ(ticks.capacity(), Observation::kTickCapacity);
    std::int64_t expected = 901;
    for (const ObservedTick& tick : ticks) {
        ASSERT_EQ(tick.tick, expected);
        ASSERT_EQ(tick.temperature, run.temperature[static_cast<std::size_t>(expected - 1)]);
        ASSERT_EQ(tick.heaterOn, run.heater[static_cast<std::size_t>(expected - 1)]);
        ASSERT_TRUE(tick.switched);
        ++expected;
    }
    const auto& switchings = run.observation.Switchings();
    ASSERT_EQ(switchings.size(), Observation::kTickCapacity);
    EXPECT_EQ(switchings.front().tick, 901);
    EXPECT_EQ(switchings.back().tick, 1500);
    EXPECT_EQ(switchings.back().heaterOn, run.heater.back());

    RunSummary summary = run.observation.Summary();
    EXPECT_EQ(summary.ticks, 600U);
    EXPECT_DOUBLE_EQ(summary.seconds, 60);
    EXPECT_EQ(summary.minTemperature, 49);
    EXPECT_EQ(summary.maxTemperature, 50);
    EXPECT_EQ(summary.switchings, 600);
    EXPECT_DOUBLE_EQ(summary.switchingsPerMinute, 600);

    // Back to 81 / 90 for more than a minute: the minute holds that band only.
    run.rig.SetThresholds("81", "90");
    run.Ticks(700);
    summary = run.observation.Summary();
    EXPECT_EQ(summary.minTemperature, 81);
    EXPECT_EQ(summary.maxTemperature, 90);
    const std::vector<std::int64_t> lastMinute = run.SwitchTicks(2200 - 600 + 1);
    EXPECT_EQ(summary.switchings, static_cast<std::int64_t>(lastMinute.size()));
    ASSERT_GE(switchings.size(), 4U);
    for (std::size_t i = 1; i <= lastMinute.size(); ++i) {
        EXPECT_EQ(switchings[switchings.size() - i].tick, lastMinute[lastMinute.size() - i]);
    }

    // The path of the last two cycles: from the switching four back, through
    // the whole loop.
    const std::size_t start = run.observation.LoopPathStart(2);
    ASSERT_LT(start, ticks.size());
    EXPECT_EQ(ticks[start].tick, lastMinute[lastMinute.size() - 4]);
    int switched = 0;
    int low = 100;
    int high = 0;
    for (std::size_t i = start; i < ticks.size(); ++i) {
        switched += ticks[i].switched ? 1 : 0;
        low = std::min(low, ticks[i].temperature);
        high = std::max(high, ticks[i].temperature);
    }
    EXPECT_EQ(switched, 4);
    EXPECT_EQ(low, 81);
    EXPECT_EQ(high, 90);
    EXPECT_EQ(run.observation.LoopPathStart(0), ticks.size());
    EXPECT_EQ(run.observation.LoopPathStart(1000), 0U);
    const LoopPoint current = run.observation.CurrentPoint();
    EXPECT_EQ(current.temperature, run.temperature.back());
    EXPECT_EQ(current.heaterOn, run.heater.back());
}

// 25 bands and one of a few ticks: 20 rows, the earliest made go; a band that
// returns adds to its own row.
TEST(ObservationTable, KeepsTwentyRowsInTheOrderOfTheirMaking) {
    ObservedRun run;
    run.Start();
    const auto check = [&run](const std::vector<int>& uppers) {
        const std::vector<BandRow>& bands = run.observation.Bands();
        ASSERT_EQ(bands.size(), uppers.size());
        for (std::size_t i = 0; i < bands.size(); ++i) {
            EXPECT_DOUBLE_EQ(bands[i].lower, 40) << i;
            EXPECT_DOUBLE_EQ(bands[i].upper, uppers[i]) << i;
            EXPECT_DOUBLE_EQ(bands[i].switchingsPerMinute, SteadySwitchingsPerMinute(40, uppers[i])) << i;
            EXPECT_DOUBLE_EQ(bands[i].predictedSwitchingsPerMinute, SteadySwitchingsPerMinute(40, uppers[i])) << i;
        }
    };
    for (int upper = 50; upper < 75; ++upper) {
        run.rig.SetThresholds("40", std::to_string(upper));
        run.Ticks(200);
        if (upper == 60) {
            run.rig.SetThresholds("30", "35");
            run.Ticks(5);
        }
    }
    std::vector<int> uppers;
    for (int upper = 55; upper < 75; ++upper) uppers.push_back(upper);
    check(uppers);
    ASSERT_EQ(run.observation.Bands().size(), Observation::kBandRowLimit);

    const std::int64_t before = run.observation.Bands()[5].cycles;
    run.rig.SetThresholds("40", "60");
    run.Ticks(200);
    check(uppers);
    EXPECT_GT(run.observation.Bands()[5].cycles, before);

    run.rig.SetThresholds("40", "80");
    run.Ticks(300);
    uppers.erase(uppers.begin());
    uppers.push_back(80);
    check(uppers);
}

// The table for the clipboard, in both decimal separators and line ends.
TEST(ObservationTable, TabSeparatedTextForTheClipboard) {
    ObservedRun run;
    run.Start();
    run.Ticks(200);
    run.rig.SetThresholds("99", "11");  // 11 / 13.2
    run.Ticks(150);
    run.rig.SetThresholds("50", "50");
    run.Ticks(100);

    EXPECT_EQ(run.observation.BandsTableText(),
              "Долен праг\tГорен праг\tШирина\tПревключвания в минута\tПо правилото\n"
              "81\t90\t9\t66.7\t66.7\n"
              "11\t13.2\t2.2\t200.0\t200.0\n"
              "50\t50\t0\t600.0\t600.0\n");
    EXPECT_EQ(run.observation.BandsTableText(NumberFormat{","}, "\r\n"),
              "Долен праг\tГорен праг\tШирина\tПревключвания в минута\tПо правилото\r\n"
              "81\t90\t9\t66,7\t66,7\r\n"
              "11\t13,2\t2,2\t200,0\t200,0\r\n"
              "50\t50\t0\t600,0\t600,0\r\n");
}

}  // namespace
}  // namespace regulator::testing
