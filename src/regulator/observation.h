#pragma once

// What a run of the simulation has shown so far, kept for the view
// "Наблюдение" (a temperature-over-time graph, the hysteresis loop, the
// switching figures and a table of the bands tried). The window's logic feeds
// it after every tick, on the start and stop buttons and on every move of the
// scale by the user; it knows nothing of widgets. Everything is in numbers:
// the view writes the texts.
//
// Terms:
//  - A switching is a change of the heater's state from one tick to the next.
//  - The band in force is the pair (lower, upper) as read by the latest tick.
//    It comes into force at the first tick that reads it and stays in force
//    until a tick reads another pair; a stop and a start do not end it.
//  - A cycle runs from one switching to the next switching in the same
//    direction (on to on, or off to off); both kinds are counted, so in a
//    steady run one cycle ends at every switching.
//  - A measurement runs from its opening switching while nothing disturbs
//    the controller. A start, a band coming into force and a move of the scale
//    by the user during a run are disturbances: the cycles in progress belong
//    to nothing and are dropped, and the next measurement opens at the first
//    switching the controller makes by reaching a threshold. A switching made
//    by the very first tick after a disturbance does not open it: that tick
//    only reacts to a temperature the controller did not reach by itself (a
//    dragged thumb, a band moved past the temperature), and a cycle from it
//    would not be a cycle of the band. The second switching after a
//    disturbance is always made at a threshold, so every cycle measured is a
//    steady cycle of its band. Switchings caused by a disturbance still count
//    among the band's switchings.
//  - A stop drops the cycles in progress too (stopped time never lies inside
//    a cycle); the table and the band in force stay.
//  - Before the first start nothing is recorded; the first start after
//    loading begins the record.
//
// The table of bands has one row for each pair of thresholds that has run at
// least one whole measured cycle, in the order in which the rows were made.
// A pair that comes back later adds its further cycles to its own row, which
// keeps its place. At most kBandRowLimit rows: when another one is needed, the
// row made first goes.
//
// Memory is bounded: the ticks and the switchings are kept in rings of fixed
// capacity, allocated once, and the table never holds more than its limit.

#include "numeric_text.h"
#include "texts.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace regulator {

// What one control tick left behind, read by the window right after it.
struct TickSample {
    int temperature = 0;    // after the tick's step, 0..100
    bool heaterOn = false;  // after the tick's switching rule
    double lower = 0;       // the thresholds as the tick read them
    double upper = 0;
};

// One tick as recorded.
struct ObservedTick {
    std::int64_t tick = 0;  // 1 for the first tick after loading; consecutive
    int temperature = 0;
    bool heaterOn = false;
    double lower = 0;
    double upper = 0;
    bool switched = false;       // the heater changed state at this tick
    bool afterHandMove = false;  // the user moved the scale since the tick before
};

struct Switching {
    std::int64_t tick = 0;
    bool heaterOn = false;  // the state switched to
    int temperature = 0;    // after the tick
};

// A point of the hysteresis loop.
struct LoopPoint {
    int temperature = 0;
    bool heaterOn = false;
};

// The band in force and what it has done since it came into force.
struct BandStatus {
    double lower = 0;
    double upper = 0;
    std::int64_t sinceTick = 0;   // the first tick that read it
    std::int64_t switchings = 0;  // since then, those a disturbance caused included
    std::int64_t cycles = 0;      // whole cycles measured since then
    // Two switchings per cycle over the cycles' total duration; none before
    // the first whole cycle.
    std::optional<double> switchingsPerMinute;
    // The mean of the measured intervals between consecutive switchings.
    std::optional<double> meanSecondsBetweenSwitchings;
    int predictedCycleTicks = 0;
    double predictedSwitchingsPerMinute = 0;
};

// A row of the table of bands.
struct BandRow {
    double lower = 0;
    double upper = 0;
    double width = 0;  // upper - lower
    std::int64_t cycles = 0;
    std::int64_t cycleTicks = 0;     // the cycles' total length
    double switchingsPerMinute = 0;  // measured over all its cycles
    double predictedSwitchingsPerMinute = 0;
};

// The run lately, for a one-line description: the ticks of the last 60 s of
// running (as many as the ring holds).
struct RunSummary {
    bool running = false;
    std::size_t ticks = 0;  // 0 before the first tick
    double seconds = 0;     // the running time they cover
    int minTemperature = 0;
    int maxTemperature = 0;
    std::int64_t switchings = 0;  // among those ticks
    double switchingsPerMinute = 0;
    LoopPoint current;
};

// A ring of fixed capacity, allocated once; the newest item replaces the
// oldest when it is full. Indexed oldest first.
template <typename T>
class FixedRing {
public:
    explicit FixedRing(std::size_t capacity) : items_(capacity) {}

    std::size_t size() const { return size_; }
    std::size_t capacity() const { return items_.size(); }
    bool empty() const { return size_ == 0; }
    const T& operator[](std::size_t index) const { return items_[(start_ + index) % items_.size()]; }
    const T& front() const { return (*this)[0]; }
    const T& back() const { return (*this)[size_ - 1]; }

    void push_back(const T& item) {
        if (size_ < items_.size()) {
            items_[(start_ + size_) % items_.size()] = item;
            ++size_;
        } else {
            items_[start_] = item;
            start_ = (start_ + 1) % items_.size();
        }
    }

    class const_iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = T;
        using difference_type = std::ptrdiff_t;
        using pointer = const T*;
        using reference = const T&;

        const_iterator() = default;
        const_iterator(const FixedRing* ring, std::size_t index) : ring_(ring), index_(index) {}
        reference operator*() const { return (*ring_)[index_]; }
        pointer operator->() const { return &(*ring_)[index_]; }
        const_iterator& operator++() {
            ++index_;
            return *this;
        }
        const_iterator operator++(int) {
            const_iterator before = *this;
            ++index_;
            return before;
        }
        bool operator==(const const_iterator& other) const { return index_ == other.index_; }

    private:
        const FixedRing* ring_ = nullptr;
        std::size_t index_ = 0;
    };

    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size_}; }

private:
    std::vector<T> items_;
    std::size_t start_ = 0;
    std::size_t size_ = 0;
};

// The steady cycle the control rules give a band, in ticks: the heater
// switches off at the tick that finds T >= upper and on at the tick that
// finds T <= lower, and the same tick moves T one unit. Heating switches off
// at ceil(upper) and cooling switches on at floor(lower), each leg taking
// ceil(upper) - floor(lower) ticks; when that is 0 (equal whole thresholds)
// the two rules alternate every tick: 2 ticks. 0 when the band allows no
// steady switching on the scale 0..100.
int SteadyCycleTicks(double lower, double upper);
// Two switchings per steady cycle, per minute; 0 without a cycle.
double SteadySwitchingsPerMinute(double lower, double upper, int tickMilliseconds = 100);

class Observation {
public:
    static constexpr std::size_t kTickCapacity = 600;  // one minute of ticks
    static constexpr std::size_t kBandRowLimit = 20;

    // tickMilliseconds: the timer's period, at least 1.
    explicit Observation(int tickMilliseconds = 100);

    // The start button; a start while running changes nothing.
    void OnStart();
    // The stop button; a stop while stopped changes nothing.
    void OnStop();
    // After each control tick. A tick while stopped counts as a start first.
    // A switching is a heater state unlike the previous tick's; before the
    // first tick the heater is off, as the regulator starts it.
    void OnTick(const TickSample& sample);
    // Every move of the scale by the user (not by a tick), with the
    // temperature it shows now.
    void OnUserMove(int temperature);

    bool Running() const { return running_; }
    bool Started() const { return started_; }
    int TickMilliseconds() const { return tickMilliseconds_; }

    // The latest ticks, oldest first, at most kTickCapacity.
    const FixedRing<ObservedTick>& Ticks() const { return ticks_; }
    // The latest switchings, oldest first, at most kTickCapacity (which
    // covers every switching among the ticks kept).
    const FixedRing<Switching>& Switchings() const { return switchings_; }

    // None before the first tick.
    std::optional<BandStatus> CurrentBand() const;
    // In the order of their making.
    const std::vector<BandRow>& Bands() const { return bands_; }

    RunSummary Summary() const;
    // The temperature now (also after a move by the user) and the heater's
    // state as the latest tick left it (a stop does not change it).
    LoopPoint CurrentPoint() const { return {temperature_, heaterOn_}; }
    // Where in Ticks() the path of the last `cycles` cycles begins: at the
    // switching 2 * cycles switchings back, or at the oldest tick kept when
    // the ring does not reach back so far. The path runs from there to the
    // newest tick, then to CurrentPoint().
    std::size_t LoopPathStart(int cycles) const;

    // The table's cells as the view shows them: the thresholds and the
    // width as NumberToText writes them, the two rates with one decimal.
    std::vector<std::array<std::string, 5>> BandsTableCells(const NumberFormat& format = {}) const;
    // The table as tab-separated text for the clipboard: the header row
    // (design::texts::kBandsTableHeaders), then one line per row; every line
    // ends with lineEnd.
    std::string BandsTableText(const NumberFormat& format = {}, std::string_view lineEnd = "\n") const;

private:
    struct Tenure {
        double lower = 0;
        double upper = 0;
        std::int64_t sinceTick = 0;
        std::int64_t switchings = 0;
        std::int64_t cycles = 0;
        std::int64_t cycleTicks = 0;
        std::int64_t intervals = 0;
        std::int64_t intervalTicks = 0;
    };

    void Disturb();
    void Measure(std::int64_t tick);
    void CreditCycle(std::int64_t ticks);
    double PerMinute(std::int64_t cycles, std::int64_t cycleTicks) const;

    int tickMilliseconds_;
    bool started_ = false;
    bool running_ = false;
    std::int64_t tickCount_ = 0;
    int temperature_ = 0;
    bool heaterOn_ = false;
    bool handMoved_ = false;  // since the latest tick

    FixedRing<ObservedTick> ticks_{kTickCapacity};
    FixedRing<Switching> switchings_{kTickCapacity};

    std::optional<Tenure> tenure_;
    // The measurement: whether the next tick is the first after a
    // disturbance, and its latest switchings (how many, up to 2).
    bool firstTickAfterDisturbance_ = true;
    int measuredSwitchings_ = 0;
    std::int64_t lastSwitchTick_ = 0;
    std::int64_t switchTickBefore_ = 0;

    std::vector<BandRow> bands_;
};

}  // namespace regulator
