#pragma once

// When the next tick of a periodic timer is due, kept as absolute times.
//
// Windows rounds a SetTimer delay up to its clock tick (about 15.6 ms), so
// a timer simply re-armed with 100 ms fires every 109.4 ms: a run would be
// 9 % slow. The schedule instead keeps the absolute due time of every tick
// (start + k x period) and re-arms the timer each time with what remains
// until the next one. A tick may still come up to one clock tick late, but
// the lateness never adds up: over a run the mean period is the period.
//
// Plain arithmetic on a clock in microseconds, so every front end that runs
// its own timer (the Windows window's DriftFreeTimer, the web page's timer)
// keeps the same rhythm, tested once against model clocks.

#include <cstdint>

namespace regulator {

class TickSchedule {
public:
    // A timer message up to this much before the due time counts as on time:
    // the system's timers count whole milliseconds, this clock microseconds.
    static constexpr std::int64_t kEarlinessToleranceUs = 1000;

    explicit TickSchedule(std::int64_t periodUs) : periodUs_(periodUs) {}

    // The first tick is due one period from now.
    void Start(std::int64_t nowUs) { dueUs_ = nowUs + periodUs_; }

    struct Step {
        bool tick;              // a tick is due now
        unsigned rearmDelayMs;  // re-arm the timer with this delay
    };

    // The timer fired at nowUs. After a tick the next one is due one period
    // after the last due time, not after now. If the program fell more than
    // a whole period behind (the computer slept, or a modal loop held the
    // timer), the missed ticks are dropped and the rhythm starts again from
    // now, rather than catching up in a burst.
    Step OnTimer(std::int64_t nowUs) {
        const bool tick = nowUs + kEarlinessToleranceUs >= dueUs_;
        if (tick) {
            dueUs_ += periodUs_;
            if (dueUs_ <= nowUs) dueUs_ = nowUs + periodUs_;
        }
        const std::int64_t remainingUs = dueUs_ - nowUs;
        const std::int64_t delayMs = (remainingUs + 999) / 1000;  // never early
        return {tick, static_cast<unsigned>(delayMs < 1 ? 1 : delayMs)};
    }

    std::int64_t NextDueUs() const { return dueUs_; }
    std::int64_t PeriodUs() const { return periodUs_; }

private:
    std::int64_t periodUs_;
    std::int64_t dueUs_ = 0;
};

}  // namespace regulator
