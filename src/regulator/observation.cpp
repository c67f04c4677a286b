#include "observation.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace regulator {

int SteadyCycleTicks(double lower, double upper) {
    if (!std::isfinite(lower) || !std::isfinite(upper)) return 0;
    // Below 0 cooling rests at 0 without ever switching on; above 100
    // heating rests at 100 without ever switching off.
    if (lower < 0 || upper > 100) return 0;
    // The off rule wins a tick where both hold; at the foot of the scale
    // (upper 0, so lower 0 as well) the temperature cannot fall below the
    // threshold to let the on rule act alone, and the heater stays off.
    const auto offAt = static_cast<int>(std::ceil(upper));
    const auto onAt = static_cast<int>(std::floor(lower));
    if (offAt <= 0) return 0;
    // Switched off at the tick that finds offAt, the temperature falls one a
    // tick and is switched on at the tick that finds onAt, then rises back:
    // offAt - onAt ticks each way. Where the two meet (equal whole
    // thresholds, or a lower above the upper) the two rules take turns.
    return 2 * std::max(offAt - onAt, 1);
}

double SteadySwitchingsPerMinute(double lower, double upper, int tickMilliseconds) {
    const int ticks = SteadyCycleTicks(lower, upper);
    if (ticks == 0 || tickMilliseconds <= 0) return 0;
    return 2 * 60000.0 / (static_cast<double>(ticks) * tickMilliseconds);
}

Observation::Observation(int tickMilliseconds) : tickMilliseconds_(tickMilliseconds) {
    if (tickMilliseconds < 1) throw std::invalid_argument("the tick period must be at least 1 ms");
    bands_.reserve(kBandRowLimit);
}

void Observation::OnStart() {
    // Before the first start, as after a stop, the measurement waits for a
    // first tick: there is nothing to drop here.
    started_ = true;
    running_ = true;
}

void Observation::OnStop() {
    if (!running_) return;
    running_ = false;
    Disturb();
}

void Observation::OnUserMove(int temperature) {
    temperature_ = temperature;
    handMoved_ = true;
    if (running_) Disturb();
}

void Observation::Disturb() {
    firstTickAfterDisturbance_ = true;
    measuredSwitchings_ = 0;
}

void Observation::OnTick(const TickSample& sample) {
    if (!running_) OnStart();
    const std::int64_t tick = ++tickCount_;

    if (!tenure_ || tenure_->lower != sample.lower || tenure_->upper != sample.upper) {
        tenure_ = Tenure{sample.lower, sample.upper, tick};
        Disturb();
    }

    // Before the first tick the heater is off, as the regulator starts it.
    const bool switched = sample.heaterOn != heaterOn_;
    if (switched) {
        ++tenure_->switchings;
        switchings_.push_back({tick, sample.heaterOn, sample.temperature});
        Measure(tick);
    }
    firstTickAfterDisturbance_ = false;

    ticks_.push_back({tick, sample.temperature, sample.heaterOn, sample.lower, sample.upper, switched, handMoved_});
    handMoved_ = false;
    temperature_ = sample.temperature;
    heaterOn_ = sample.heaterOn;
}

void Observation::Measure(std::int64_t tick) {
    if (firstTickAfterDisturbance_) return;
    if (measuredSwitchings_ >= 1) {
        ++tenure_->intervals;
        tenure_->intervalTicks += tick - lastSwitchTick_;
    }
    if (measuredSwitchings_ >= 2) CreditCycle(tick - switchTickBefore_);
    switchTickBefore_ = lastSwitchTick_;
    lastSwitchTick_ = tick;
    measuredSwitchings_ = std::min(measuredSwitchings_ + 1, 2);
}

void Observation::CreditCycle(std::int64_t ticks) {
    ++tenure_->cycles;
    tenure_->cycleTicks += ticks;

    auto row = std::find_if(bands_.begin(), bands_.end(), [this](const BandRow& candidate) {
        return candidate.lower == tenure_->lower && candidate.upper == tenure_->upper;
    });
    if (row == bands_.end()) {
        if (bands_.size() == kBandRowLimit) bands_.erase(bands_.begin());
        BandRow made;
        made.lower = tenure_->lower;
        made.upper = tenure_->upper;
        made.width = tenure_->upper - tenure_->lower;
        made.predictedSwitchingsPerMinute = SteadySwitchingsPerMinute(made.lower, made.upper, tickMilliseconds_);
        bands_.push_back(made);
        row = bands_.end() - 1;
    }
    ++row->cycles;
    row->cycleTicks += ticks;
    row->switchingsPerMinute = PerMinute(row->cycles, row->cycleTicks);
}

double Observation::PerMinute(std::int64_t cycles, std::int64_t cycleTicks) const {
    return 2 * 60000.0 * static_cast<double>(cycles) / (static_cast<double>(cycleTicks) * tickMilliseconds_);
}

std::optional<BandStatus> Observation::CurrentBand() const {
    if (!tenure_) return std::nullopt;
    BandStatus status;
    status.lower = tenure_->lower;
    status.upper = tenure_->upper;
    status.sinceTick = tenure_->sinceTick;
    status.switchings = tenure_->switchings;
    status.cycles = tenure_->cycles;
    if (tenure_->cycles > 0) status.switchingsPerMinute = PerMinute(tenure_->cycles, tenure_->cycleTicks);
    if (tenure_->intervals > 0) {
        status.meanSecondsBetweenSwitchings = static_cast<double>(tenure_->intervalTicks) * tickMilliseconds_ / 1000.0 /
                                              static_cast<double>(tenure_->intervals);
    }
    status.predictedCycleTicks = SteadyCycleTicks(status.lower, status.upper);
    status.predictedSwitchingsPerMinute = SteadySwitchingsPerMinute(status.lower, status.upper, tickMilliseconds_);
    return status;
}

RunSummary Observation::Summary() const {
    RunSummary summary;
    summary.running = running_;
    summary.current = CurrentPoint();
    const auto minuteOfTicks = static_cast<std::size_t>(std::max(60000 / tickMilliseconds_, 1));
    summary.ticks = std::min(ticks_.size(), minuteOfTicks);
    if (summary.ticks == 0) return summary;
    summary.seconds = static_cast<double>(summary.ticks) * tickMilliseconds_ / 1000.0;
    summary.minTemperature = summary.maxTemperature = ticks_.back().temperature;
    for (std::size_t i = ticks_.size() - summary.ticks; i < ticks_.size(); ++i) {
        const ObservedTick& tick = ticks_[i];
        summary.minTemperature = std::min(summary.minTemperature, tick.temperature);
        summary.maxTemperature = std::max(summary.maxTemperature, tick.temperature);
        if (tick.switched) ++summary.switchings;
    }
    summary.switchingsPerMinute = static_cast<double>(summary.switchings) * 60.0 / summary.seconds;
    return summary;
}

std::size_t Observation::LoopPathStart(int cycles) const {
    if (cycles <= 0) return ticks_.size();
    if (ticks_.empty()) return 0;
    const auto back = static_cast<std::size_t>(cycles) * 2;
    if (back > switchings_.size()) return 0;
    const std::int64_t from = switchings_[switchings_.size() - back].tick;
    const std::int64_t oldest = ticks_.front().tick;
    if (from < oldest) return 0;
    return static_cast<std::size_t>(from - oldest);
}

std::vector<std::array<std::string, 5>> Observation::BandsTableCells(const NumberFormat& format) const {
    std::vector<std::array<std::string, 5>> cells;
    cells.reserve(bands_.size());
    for (const BandRow& row : bands_) {
        cells.push_back({NumberToText(row.lower, format), NumberToText(row.upper, format),
                         NumberToText(row.width, format), FormatNumber(row.switchingsPerMinute, 1, format),
                         FormatNumber(row.predictedSwitchingsPerMinute, 1, format)});
    }
    return cells;
}

std::string Observation::BandsTableText(const NumberFormat& format, std::string_view lineEnd) const {
    const auto line = [&](const auto& cells) {
        std::string text;
        bool first = true;
        for (const auto& cell : cells) {
            if (!first) text += '\t';
            text += cell;
            first = false;
        }
        return text += lineEnd;
    };
    std::string text = line(design::texts::kBandsTableHeaders);
    for (const auto& cells : BandsTableCells(format)) text += line(cells);
    return text;
}

}  // namespace regulator
