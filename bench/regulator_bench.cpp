// The cost of the regulator's work per timer event, on the widget model the
// tests use, set against a floor: an empty handler reached through the same
// virtual widget interface. tick / floor says how many empty virtual calls
// one tick is worth; the tick itself makes 17 calls through the interface
// (four for validation, two reads of the boxes, six reads of the scale for
// the temperature and the step, four to move it and redraw, one for the
// indicator).

#include "observation.h"
#include "regulator.h"
#include "widget_model.h"
#include "widget_operations.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

namespace regulator {
namespace {

using testing::Rig;

// The model logs every event it sees; clearing the log now and then keeps it
// from growing without end. Its capacity is kept, so after the first round
// no allocation is left in the loop, and one clear per thousand ticks is
// noise against the ticks.
void TrimLog(Rig& rig) {
    if (rig.widgets.log.size() >= 3000) rig.widgets.log.clear();
}

// A running simulation in its steady cycle between 81 and 90: every tick
// validates and rewrites both boxes, reads them, moves the scale (which
// redraws the gauge) and selects an indicator.
void BM_ControlTick(benchmark::State& state) {
    Rig rig;
    rig.regulator.Command1_Click(kStartButton);
    rig.Ticks(100);  // heat up to the band first
    for (auto _ : state) {
        rig.regulator.Timer1_Timer();
        TrimLog(rig);
    }
    benchmark::DoNotOptimize(rig.widgets.value);
}
BENCHMARK(BM_ControlTick);

// Validation alone, on texts that need every rule: 99 / 11 is capped,
// exchanged and written back as 11 / 13.2.
void BM_ValidateThresholds(benchmark::State& state) {
    Rig rig;
    for (auto _ : state) {
        rig.SetThresholds("99", "11");
        rig.regulator.ValidateThresholds();
    }
    benchmark::DoNotOptimize(rig.widgets.text2);
}
BENCHMARK(BM_ValidateThresholds);

// What the observation adds to every tick: recording a steady cycle between
// 81 and 90 (a switching every 9 ticks, a whole cycle credited at each), fed
// from the samples one regulator cycle gives, with the ring long since full.
void BM_ObservationTick(benchmark::State& state) {
    Rig rig;
    rig.regulator.Command1_Click(kStartButton);
    rig.Ticks(100);
    std::vector<TickSample> cycle;
    for (int i = 0; i < 18; ++i) {
        rig.regulator.Timer1_Timer();
        const RegulatorState& regulator = rig.regulator.State();
        cycle.push_back(
            {rig.widgets.Temperature(), regulator.HeaterOn, regulator.LowerThreshold, regulator.UpperThreshold});
    }
    Observation observation;
    observation.OnStart();
    for (int i = 0; i < 1000; ++i) observation.OnTick(cycle[static_cast<std::size_t>(i) % cycle.size()]);
    std::size_t next = 0;
    for (auto _ : state) {
        observation.OnTick(cycle[next]);
        next = next + 1 == cycle.size() ? 0 : next + 1;
    }
    benchmark::DoNotOptimize(observation.Bands());
}
BENCHMARK(BM_ObservationTick);

// The description of the last minute, which reads all 600 ticks kept: what a
// view pays when it redraws after a tick.
void BM_ObservationSummary(benchmark::State& state) {
    Rig rig;
    Observation observation;
    rig.regulator.Command1_Click(kStartButton);
    observation.OnStart();
    for (int i = 0; i < 1000; ++i) {
        rig.regulator.Timer1_Timer();
        const RegulatorState& regulator = rig.regulator.State();
        observation.OnTick(
            {rig.widgets.Temperature(), regulator.HeaterOn, regulator.LowerThreshold, regulator.UpperThreshold});
        TrimLog(rig);
    }
    for (auto _ : state) {
        RunSummary summary = observation.Summary();
        benchmark::DoNotOptimize(summary);
    }
}
BENCHMARK(BM_ObservationSummary);

// Widget operations that do nothing at all.
class EmptyWidgets final : public WidgetOperations {
public:
    std::string Text2(int) const override { return {}; }
    void SetText2(int, const std::string&) override {}
    ScaleState VScroll1() const override { return {}; }
    void SetVScroll1(const ScaleState&) override {}
    void SelectOption1(int) override {}
    void SetTimer1Enabled(bool) override {}
    void DrawGauge() override {}
};

// The floor: one call of an empty handler through the interface. The pointer
// is passed through DoNotOptimize so the compiler cannot see its dynamic type
// and must make a real virtual call every time.
void BM_EmptyVirtualHandler(benchmark::State& state) {
    EmptyWidgets empty;
    WidgetOperations* widgets = &empty;
    for (auto _ : state) {
        benchmark::DoNotOptimize(widgets);
        widgets->DrawGauge();
    }
}
BENCHMARK(BM_EmptyVirtualHandler);

}  // namespace
}  // namespace regulator
