#include "timer.h"

namespace win32_window {

Timer::Timer(HWND window, UINT_PTR id, int periodMs)
    : window_(window), id_(id), schedule_(std::int64_t{periodMs} * 1000) {}

Timer::~Timer() { Stop(); }

void Timer::Start() {
    if (running_) return;
    running_ = true;
    schedule_.Start(NowUs());
    SetTimer(window_, id_, static_cast<UINT>(schedule_.PeriodUs() / 1000), nullptr);
}

void Timer::Stop() {
    if (!running_) return;
    running_ = false;
    KillTimer(window_, id_);
}

bool Timer::OnTimerMessage() {
    if (!running_) return false;  // a message already queued when it stopped
    const regulator::TickSchedule::Step step = schedule_.OnTimer(NowUs());
    SetTimer(window_, id_, step.rearmDelayMs, nullptr);  // replaces the running one
    return step.tick;
}

std::int64_t Timer::NowUs() {
    static const std::int64_t frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<std::int64_t>(f.QuadPart);
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    const std::int64_t c = counter.QuadPart;
    return c / frequency * 1000000 + c % frequency * 1000000 / frequency;
}

}  // namespace win32_window
