// The cost of one control tick in the real window, offscreen, set against
// floors of the same shape:
//
//   BM_WindowTick             the timer's handler, then the posted events the
//                             event loop would deliver next, which include
//                             the repaint of what the tick changed (gauge,
//                             scroll bar, readout, indicator) and its flush
//   BM_WindowTickAfterRest    the same, each after 100 ms of rest, as the
//                             timer gives it
//   BM_WindowTickFullRepaint  the handler, then a repaint of the whole window
//   BM_WindowTickNoPaint      the handler alone: the window's logic and the
//                             widgets' state
//   BM_EmptySlot              the floor: an empty slot called the same way
//   BM_PlainWidgetRepaint     the floor of a full repaint: a bare QWidget of
//                             the window's size
//   BM_PoolHandOff            what Qt pays per large fill it spreads over its
//                             thread pool: three empty tasks handed to a
//                             pool and waited for (also after 100 ms of rest)
//
// The simulation runs in its steady cycle between the default thresholds
// 81 and 90. The window's own timer is stopped right after the start button,
// so only the calls made here tick. The counter gauge_paints says how many
// times the gauge was painted per iteration: 1 shows the paint really
// happened in the timed loop.
//
// Qt spreads large fills (the scroll bar's gradient groove is one) over its
// thread pool, so the benchmarks that paint count the CPU time of the whole
// process, not only of this thread, and their Time column is wall time.

#include "main_form.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QObject>
#include <QSemaphore>
#include <QThread>
#include <QThreadPool>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <memory>

namespace {

constexpr int kStartButton = 0;
constexpr int kWarmUpTicks = 100;  // from 0 up into the band 81..90

// Counts the paint events a widget receives.
class PaintCounter final : public QObject {
public:
    using QObject::QObject;
    long long paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

bool WaitUntilExposed(QWidget& widget) {
    QElapsedTimer clock;
    clock.start();
    while (!(widget.windowHandle() && widget.windowHandle()->isExposed())) {
        if (clock.elapsed() > 5000) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    QCoreApplication::sendPostedEvents();
    return true;
}

// The window, shown, started and warmed up, with its own timer stopped.
struct RunningWindow {
    qt_window::MainForm form;
    PaintCounter gaugePaints;
    bool failed = false;

    RunningWindow() {
        form.SetFatalHandler([this](const QString& message) {
            failed = true;
            std::fprintf(stderr, "run-time error in the window: %s\n", qPrintable(message));
        });
        form.show();
        if (!WaitUntilExposed(form)) failed = true;
        form.Logic().Command1_Click(kStartButton);
        form.Timer1()->stop();
        for (int i = 0; i < kWarmUpTicks; ++i) form.Logic().Timer1_Timer();
        QCoreApplication::sendPostedEvents();
        form.findChild<QWidget*>(QStringLiteral("Picture1"))->installEventFilter(&gaugePaints);
    }

    void Report(benchmark::State& state) const {
        if (failed || form.Timer1()->isActive()) state.SkipWithError("the window failed or its timer ran");
        state.counters["gauge_paints"] =
            benchmark::Counter(static_cast<double>(gaugePaints.paints), benchmark::Counter::kAvgIterations);
    }
};

// Every handler here is reached the same way: through a member pointer the
// compiler cannot see through, as the timer's signal reaches it.
template <typename Object>
void Call(Object& object, void (Object::*slot)()) {
    benchmark::DoNotOptimize(slot);
    (object.*slot)();
}

void BM_WindowTick(benchmark::State& state) {
    RunningWindow window;
    for (auto _ : state) {
        Call(window.form.Logic(), &regulator::WindowLogic::Timer1_Timer);
        QCoreApplication::sendPostedEvents();
    }
    window.Report(state);
}
BENCHMARK(BM_WindowTick)->MeasureProcessCPUTime()->UseRealTime();

// The same with the view "Наблюдение" open beside the window: the tick, the
// view's drawing from the observation and its repaint.
void BM_WindowTickWithObservation(benchmark::State& state) {
    RunningWindow window;
    window.form.Logic().Observation_Toggle();
    QCoreApplication::sendPostedEvents();
    for (auto _ : state) {
        Call(window.form.Logic(), &regulator::WindowLogic::Timer1_Timer);
        QCoreApplication::sendPostedEvents();
    }
    window.Report(state);
}
BENCHMARK(BM_WindowTickWithObservation)->MeasureProcessCPUTime()->UseRealTime();

// The process's resident memory in KiB.
double ResidentKiB() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return static_cast<double>(resident) * 4;
}

// Ten minutes of ticks (6000) with the view open at equal thresholds, the
// worst case (a switching every tick): the memory after the first minute and
// after the tenth must be the same, since the view keeps only the last 600
// ticks and 20 bands.
void BM_ObservationTenMinutesAtEqualThresholds(benchmark::State& state) {
    RunningWindow window;
    window.form.SetText2(regulator::kLowerBox, "50");
    window.form.SetText2(regulator::kUpperBox, "50");
    window.form.Logic().Observation_Toggle();
    double afterOneMinute = 0, afterTen = 0;
    for (auto _ : state) {
        for (int tick = 1; tick <= 6000; ++tick) {
            window.form.Logic().Timer1_Timer();
            QCoreApplication::sendPostedEvents();
            if (tick == 600) afterOneMinute = ResidentKiB();
        }
        afterTen = ResidentKiB();
    }
    state.counters["rss_after_1_min_kib"] = afterOneMinute;
    state.counters["rss_growth_kib"] = afterTen - afterOneMinute;
    window.Report(state);
}
BENCHMARK(BM_ObservationTenMinutesAtEqualThresholds)->Iterations(1)->Unit(benchmark::kMillisecond);

// The same tick as the timer gives it: after 100 ms of rest, when the caches
// are cold and the other threads asleep. The rest is not timed.
void BM_WindowTickAfterRest(benchmark::State& state) {
    RunningWindow window;
    for (auto _ : state) {
        state.PauseTiming();
        QThread::msleep(100);
        state.ResumeTiming();
        Call(window.form.Logic(), &regulator::WindowLogic::Timer1_Timer);
        QCoreApplication::sendPostedEvents();
    }
    window.Report(state);
}
BENCHMARK(BM_WindowTickAfterRest)->Iterations(100)->MeasureProcessCPUTime()->UseRealTime();

void BM_WindowTickFullRepaint(benchmark::State& state) {
    RunningWindow window;
    for (auto _ : state) {
        Call(window.form.Logic(), &regulator::WindowLogic::Timer1_Timer);
        window.form.repaint();
    }
    window.Report(state);
}
BENCHMARK(BM_WindowTickFullRepaint)->MeasureProcessCPUTime()->UseRealTime();

void BM_WindowTickNoPaint(benchmark::State& state) {
    RunningWindow window;
    long long ticks = 0;
    for (auto _ : state) {
        Call(window.form.Logic(), &regulator::WindowLogic::Timer1_Timer);
        // The pending repaint only grows its region; deliver it now and then,
        // outside the measured time, so nothing else piles up.
        if (++ticks % 1024 == 0) {
            state.PauseTiming();
            QCoreApplication::sendPostedEvents();
            state.ResumeTiming();
        }
    }
    window.Report(state);
}
BENCHMARK(BM_WindowTickNoPaint)->MeasureProcessCPUTime()->UseRealTime();

// An object whose slot, of the same shape as the tick's, does nothing.
class EmptyForm final : public QObject {
    Q_OBJECT

public slots:
    void Timer1_Timer() {}
};

void BM_EmptySlot(benchmark::State& state) {
    EmptyForm form;
    for (auto _ : state) Call(form, &EmptyForm::Timer1_Timer);
}
BENCHMARK(BM_EmptySlot)->MeasureProcessCPUTime()->UseRealTime();

void BM_PlainWidgetRepaint(benchmark::State& state) {
    QWidget plain;
    plain.setFixedSize(476, 396);
    plain.show();
    if (!WaitUntilExposed(plain)) state.SkipWithError("the plain widget was not exposed");
    for (auto _ : state) plain.repaint();
}
BENCHMARK(BM_PlainWidgetRepaint)->MeasureProcessCPUTime()->UseRealTime();

// Three segments, as for a fill some 150 to 220 lines high (the scroll bar).
void PoolHandOff(QThreadPool& pool) {
    constexpr int kSegments = 3;
    QSemaphore done;
    for (int i = 0; i < kSegments; ++i) pool.start([&done] { done.release(1); });
    done.acquire(kSegments);
}

void BM_PoolHandOff(benchmark::State& state) {
    QThreadPool pool;
    const bool rest = state.range(0) != 0;
    for (auto _ : state) {
        if (rest) {
            state.PauseTiming();
            QThread::msleep(100);
            state.ResumeTiming();
        }
        PoolHandOff(pool);
    }
}
BENCHMARK(BM_PoolHandOff)->Arg(0)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_PoolHandOff)->Arg(1)->Iterations(100)->MeasureProcessCPUTime()->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    // Offscreen unless told otherwise; set before the application reads it.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    QApplication application(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));  // as the program does
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

#include "window_bench.moc"
