#pragma once

// Timer1: a window timer that ticks every period on average, without drift.
// It is a SetTimer timer (so it keeps ticking in the system's modal loops,
// such as moving the window) re-armed at every message from the absolute
// due times of a TickSchedule on the high-resolution performance counter.

#include "tick_schedule.h"

#include <windows.h>

#include <cstdint>

namespace win32_window {

class Timer {
public:
    Timer(HWND window, UINT_PTR id, int periodMs);
    ~Timer();

    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    // Starting a running timer changes nothing: it keeps its rhythm.
    void Start();
    void Stop();
    bool IsRunning() const { return running_; }
    UINT_PTR Id() const { return id_; }
    const regulator::TickSchedule& Schedule() const { return schedule_; }

    // To be called for each WM_TIMER with this timer's id: re-arms the timer
    // and says whether a tick is due.
    bool OnTimerMessage();

    // The performance counter in microseconds.
    static std::int64_t NowUs();

private:
    HWND window_;
    UINT_PTR id_;
    regulator::TickSchedule schedule_;
    bool running_ = false;
};

}  // namespace win32_window
