// The rhythm of the real window's control timer. Creates the window (offscreen
// unless QT_QPA_PLATFORM says otherwise), presses the start button and lets
// the window's own 100 ms timer run for a fixed time (20 s unless a number of
// seconds is given), noting the moment each timer event is delivered. Prints
// the period statistics and the drift: the ticks that happened against the
// ticks the clock says should have happened; and the CPU time and context
// switches of the whole process per tick while it ran.
//
//   build/default/bench/cadence [seconds]

#include "main_form.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <sys/resource.h>
#include <time.h>

namespace {

constexpr double kPeriodMs = 100.0;
constexpr int kStartButton = 0;

// Notes the monotonic time of every timer event the window's timer receives,
// before the timer turns it into its timeout signal.
class TickRecorder final : public QObject {
public:
    explicit TickRecorder(const QElapsedTimer& clock) : clock_(clock) {}
    std::vector<qint64> times;  // nanoseconds since the start button

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Timer) times.push_back(clock_.nsecsElapsed());
        return false;
    }

private:
    const QElapsedTimer& clock_;
};

// CPU time of all the process's threads, and its context switches.
struct Usage {
    double cpuMs = 0;
    long switches = 0;

    static Usage Now() {
        Usage usage;
        timespec cpu{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
        usage.cpuMs = static_cast<double>(cpu.tv_sec) * 1e3 + static_cast<double>(cpu.tv_nsec) / 1e6;
        rusage counts{};
        getrusage(RUSAGE_SELF, &counts);
        usage.switches = counts.ru_nvcsw + counts.ru_nivcsw;
        return usage;
    }
};

}  // namespace

int main(int argc, char* argv[]) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 20.0;
    if (!(seconds > 0.5)) {
        std::fputs("usage: cadence [seconds > 0.5]\n", stderr);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));

    qt_window::MainForm form;
    bool failed = false;
    form.SetFatalHandler([&failed](const QString& message) {
        failed = true;
        std::fprintf(stderr, "run-time error in the window: %s\n", qPrintable(message));
        QCoreApplication::exit(1);
    });
    form.show();

    QElapsedTimer clock;
    TickRecorder recorder(clock);
    form.Timer1()->installEventFilter(&recorder);
    long long timeouts = 0;
    QObject::connect(form.Timer1(), &QTimer::timeout, [&timeouts] { ++timeouts; });

    // Start once the window is up, as a user would.
    qint64 endNs = 0;
    Usage usageStart;
    Usage usageEnd;
    auto wallStart = std::chrono::system_clock::now();
    auto wallEnd = wallStart;
    QTimer::singleShot(500, Qt::PreciseTimer, &form, [&] {
        wallStart = std::chrono::system_clock::now();
        usageStart = Usage::Now();
        clock.start();
        form.Logic().Command1_Click(kStartButton);
        // End half a period after a due tick, so no tick is in doubt.
        const int runMs =
            static_cast<int>(static_cast<double>(std::lround(seconds * 1000 / kPeriodMs)) * kPeriodMs + kPeriodMs / 2);
        QTimer::singleShot(runMs, Qt::PreciseTimer, &form, [&] {
            endNs = clock.nsecsElapsed();
            wallEnd = std::chrono::system_clock::now();
            usageEnd = Usage::Now();
            form.Logic().Command1_Click(1);
            QCoreApplication::quit();
        });
    });
    const int status = application.exec();
    if (failed || status != 0) return 1;

    const std::vector<qint64>& t = recorder.times;
    if (t.size() < 3) {
        std::fputs("too few ticks\n", stderr);
        return 1;
    }
    std::vector<double> periods;
    for (std::size_t i = 1; i < t.size(); ++i) periods.push_back(static_cast<double>(t[i] - t[i - 1]) / 1e6);
    double sum = 0;
    for (double p : periods) sum += p;
    const double mean = sum / static_cast<double>(periods.size());
    double squares = 0;
    for (double p : periods) squares += (p - mean) * (p - mean);
    const double deviation = std::sqrt(squares / static_cast<double>(periods.size() - 1));
    const auto [minIt, maxIt] = std::minmax_element(periods.begin(), periods.end());
    std::vector<double> sorted = periods;
    std::sort(sorted.begin(), sorted.end());
    const auto percentile = [&sorted](double q) {
        return sorted[static_cast<std::size_t>(q * static_cast<double>(sorted.size() - 1))];
    };

    // Tick n is due n periods after the start button.
    const double elapsedMs = static_cast<double>(endNs) / 1e6;
    const double expectedTicks = std::floor(elapsedMs / kPeriodMs);
    const double actualTicks = static_cast<double>(t.size());
    const double driftTicks = actualTicks - expectedTicks;
    const double driftPerMinute = driftTicks / (elapsedMs / 60000.0);
    // How late the last tick is against its due time, and how that lateness
    // grew over the run (a steady lateness is latency, a growing one is drift).
    const double lastLateMs = static_cast<double>(t.back()) / 1e6 - actualTicks * kPeriodMs;
    const double firstLateMs = static_cast<double>(t.front()) / 1e6 - kPeriodMs;
    double maxLateMs = 0;
    double sumLateMs = 0;
    for (std::size_t i = 0; i < t.size(); ++i) {
        const double late = static_cast<double>(t[i]) / 1e6 - static_cast<double>(i + 1) * kPeriodMs;
        maxLateMs = std::max(maxLateMs, late);
        sumLateMs += late;
    }
    const double wallElapsedMs = std::chrono::duration<double, std::milli>(wallEnd - wallStart).count();

    std::printf("platform            %s\n", qPrintable(QGuiApplication::platformName()));
    std::printf("run                 %.3f s (monotonic), %.3f s (system clock)\n", elapsedMs / 1000,
                wallElapsedMs / 1000);
    std::printf("ticks               %.0f (timeouts %lld), expected %.0f\n", actualTicks, timeouts, expectedTicks);
    std::printf("period mean         %.4f ms (%+.3f %% of %.0f ms)\n", mean, (mean / kPeriodMs - 1) * 100, kPeriodMs);
    std::printf("period std dev      %.4f ms\n", deviation);
    std::printf("period min / max    %.4f / %.4f ms\n", *minIt, *maxIt);
    std::printf("period p1/p50/p99   %.4f / %.4f / %.4f ms\n", percentile(0.01), percentile(0.5), percentile(0.99));
    std::printf("first tick late by  %.4f ms\n", firstLateMs);
    std::printf("last tick late by   %.4f ms\n", lastLateMs);
    std::printf("lateness mean / max %.4f / %.4f ms (against the due time of each tick)\n", sumLateMs / actualTicks,
                maxLateMs);
    std::printf("drift               %+.0f ticks over the run, %+.2f ticks per minute\n", driftTicks, driftPerMinute);
    const double cpuMs = usageEnd.cpuMs - usageStart.cpuMs;
    std::printf("process CPU         %.3f ms per tick, %.3f %% of one core\n", cpuMs / actualTicks,
                100 * cpuMs / elapsedMs);
    std::printf("context switches    %.1f per tick (all threads)\n",
                static_cast<double>(usageEnd.switches - usageStart.switches) / actualTicks);
    return 0;
}
