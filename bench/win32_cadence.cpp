// Timer1's cadence on Windows: the drift-free timer of the Win32 window
// (win32_window::Timer) against a plain SetTimer(100), side by side in one
// hidden window for a fixed time. Prints the mean period, the spread and the
// lateness of the last tick against its ideal time (start + k x 100 ms).
//
//   win32_cadence [SECONDS]     (default 20; under Wine: tools/wine-run)
//
// Under Wine the plain timer is already accurate (Wine has no 15.6 ms clock
// tick), so there the figures show Wine's cadence, not Windows' drift.

#include "timer.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using win32_window::Timer;

constexpr UINT_PTR kDriftFreeId = 1;
constexpr UINT_PTR kPlainId = 2;

struct Run {
    std::vector<std::int64_t> ticks;
};

void Report(const char* name, const Run& run, std::int64_t startUs) {
    const auto& t = run.ticks;
    if (t.size() < 2) {
        std::printf("%-12s fewer than two ticks\n", name);
        return;
    }
    double minPeriod = 1e18, maxPeriod = 0;
    for (std::size_t i = 1; i < t.size(); ++i) {
        const double period = static_cast<double>(t[i] - t[i - 1]) / 1000.0;
        minPeriod = std::min(minPeriod, period);
        maxPeriod = std::max(maxPeriod, period);
    }
    const double mean = static_cast<double>(t.back() - t.front()) / 1000.0 / static_cast<double>(t.size() - 1);
    const double lastLate =
        static_cast<double>(t.back() - (startUs + static_cast<std::int64_t>(t.size()) * 100000)) / 1000.0;
    std::printf("%-12s %5zu ticks  mean %8.3f ms  min %7.3f  max %7.3f  last tick %+8.3f ms from its ideal time\n",
                name, t.size(), mean, minPeriod, maxPeriod, lastLate);
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    HWND window = CreateWindowExW(0, L"STATIC", L"cadence", 0, 0, 0, 1, 1, HWND_MESSAGE, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    if (window == nullptr) return 1;
    Timer driftFree(window, kDriftFreeId, 100);
    Run driftFreeRun, plainRun;
    const std::int64_t start = Timer::NowUs();
    driftFree.Start();
    SetTimer(window, kPlainId, 100, nullptr);
    const std::int64_t end = start + std::int64_t{seconds} * 1000000;
    MSG message;
    while (Timer::NowUs() < end && GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER && message.hwnd == window) {
            const std::int64_t now = Timer::NowUs();
            if (message.wParam == kDriftFreeId) {
                if (driftFree.OnTimerMessage()) driftFreeRun.ticks.push_back(now);
            } else if (message.wParam == kPlainId) {
                plainRun.ticks.push_back(now);
            }
            continue;
        }
        DispatchMessageW(&message);
    }
    std::printf("%d s, both timers started at the same moment\n", seconds);
    Report("drift-free", driftFreeRun, start);
    Report("SetTimer(100)", plainRun, start);
    return 0;
}
