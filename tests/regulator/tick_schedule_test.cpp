// Timer1's schedule against model clocks. Windows' SetTimer fires at the
// first tick of the system clock (every 15.625 ms) at or after the delay
// has passed; re-arming it with a fixed 100 ms therefore gives a period of
// 109.375 ms. The schedule keeps absolute due times and must give a mean of
// 100 ms whatever the lateness, without ever ticking early.

#include "test_seed.h"
#include "tick_schedule.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>

namespace regulator::testing {
namespace {

constexpr std::int64_t kPeriodUs = 100000;
constexpr std::int64_t kClockTickUs = 15625;  // Windows' default timer resolution

// When a timer armed at `armedUs` with `delayMs` fires on a clock that
// advances in steps of `tickUs` (1 for an exact clock), plus some extra
// lateness of the message loop.
std::int64_t FireTime(std::int64_t armedUs, unsigned delayMs, std::int64_t tickUs, std::int64_t extraUs) {
    const std::int64_t wanted = armedUs + std::int64_t{delayMs} * 1000;
    return (wanted + tickUs - 1) / tickUs * tickUs + extraUs;
}

struct ClockCase {
    const char* name;
    std::int64_t tickUs;
    std::int64_t maxExtraUs;  // random lateness of the message loop
};
void PrintTo(const ClockCase& clock, std::ostream* out) { *out << clock.name; }

class TickScheduleClocks : public ::testing::TestWithParam<ClockCase> {};

TEST_P(TickScheduleClocks, MeanPeriodIsTheIntervalAndNoTickComesEarly) {
    const ClockCase clock = GetParam();
    const std::uint64_t seed = dulmeri_testing::TestSeed();
    SCOPED_TRACE(dulmeri_testing::SeedTrace(seed));
    std::mt19937_64 random(seed);
    std::uniform_int_distribution<std::int64_t> extra(0, clock.maxExtraUs);
    TickSchedule schedule(kPeriodUs);
    const std::int64_t start = 5000;  // not on a clock tick
    schedule.Start(start);
    std::int64_t now = FireTime(start, 100, clock.tickUs, extra(random));
    std::int64_t firstTick = -1, lastTick = 0;
    int ticks = 0, messages = 0;
    while (ticks < 6000 && messages < 20000) {
        ++messages;
        const std::int64_t due = schedule.NextDueUs();
        const TickSchedule::Step step = schedule.OnTimer(now);
        if (step.tick) {
            ASSERT_GE(now, due - TickSchedule::kEarlinessToleranceUs) << "tick " << ticks << " came early";
            ASSERT_LT(now - due, clock.tickUs + clock.maxExtraUs + 1000) << "tick " << ticks << " came too late";
            if (firstTick < 0) firstTick = now;
            lastTick = now;
            ++ticks;
        }
        now = FireTime(now, step.rearmDelayMs, clock.tickUs, extra(random));
    }
    ASSERT_EQ(ticks, 6000);
    EXPECT_LT(messages, 6000 * 2) << "too many timer messages per tick";
    const double mean = static_cast<double>(lastTick - firstTick) / (ticks - 1) / 1000.0;
    EXPECT_NEAR(mean, 100.0, 0.01) << clock.name;
}

INSTANTIATE_TEST_SUITE_P(Clocks, TickScheduleClocks,
                         ::testing::Values(ClockCase{"exact", 1, 0}, ClockCase{"windows_15_6ms", kClockTickUs, 0},
                                           ClockCase{"windows_15_6ms_busy_loop", kClockTickUs, 8000},
                                           ClockCase{"coarse_jitter", 1, 15600}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TickSchedule, ThePlainTimerTheScheduleReplacesIsNinePercentSlow) {
    // The model clock reproduces the fault: 100 ms re-armed each time.
    std::int64_t now = 5000;
    const std::int64_t first = FireTime(now, 100, kClockTickUs, 0);
    now = first;
    for (int i = 0; i < 600; ++i) now = FireTime(now, 100, kClockTickUs, 0);
    EXPECT_DOUBLE_EQ(static_cast<double>(now - first) / 600 / 1000.0, 109.375);
}

TEST(TickSchedule, AfterAStallTheMissedTicksAreDroppedNotBurst) {
    TickSchedule schedule(kPeriodUs);
    schedule.Start(0);
    EXPECT_TRUE(schedule.OnTimer(100000).tick);
    // The next message arrives 1.5 s late (the computer slept).
    const TickSchedule::Step late = schedule.OnTimer(1700000);
    EXPECT_TRUE(late.tick);
    EXPECT_EQ(schedule.NextDueUs(), 1800000);
    EXPECT_EQ(late.rearmDelayMs, 100u);
    // A message before the due time is not a tick; the timer is re-armed for the rest.
    const TickSchedule::Step early = schedule.OnTimer(1750000);
    EXPECT_FALSE(early.tick);
    EXPECT_EQ(early.rearmDelayMs, 50u);
}

}  // namespace
}  // namespace regulator::testing
