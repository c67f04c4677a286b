#pragma once

// VScroll1, the system's vertical scroll bar control, with its Bulgarian
// context menu (context_menus.h).
//
// What it tells screen readers: its name, and as its value the temperature
// (the scale read from the bottom, not the position), annotated
// (accessibility.h). The value changes only when the window reports it,
// with EVENT_OBJECT_VALUECHANGE: at most once a second while a run moves the
// bar, at once on the user's own move. Wine's scroll bar raises no event of
// its own when the program moves it. Where the system's bar raises a value
// change at every move, a reader that follows it reads the annotated value,
// unchanged since the last report, so a run's steps are still not read out
// one by one.

#include "accessibility.h"
#include "widget_operations.h"

#include <windows.h>

#include <cstdint>
#include <optional>

namespace win32_window {

class ScrollBar {
public:
    HWND Create(HWND parent, int id, Annotations& annotations);
    HWND Hwnd() const { return hwnd_; }

    // Shows the range and position; nothing when they are shown already.
    void Show(const regulator::ScaleState& scale);

    // The value screen readers read, quietly (the value at start).
    void SetValueForReaders(std::int16_t temperature);
    // The same, and readers are told that it changed.
    void ReportValue(std::int16_t temperature);

    // The value a WM_VSCROLL from the bar moves the scale to: arrows, track
    // and keys by the design's steps (regulator::ScrollTarget); a released
    // thumb to the position it reports, as it is, so a position outside the
    // scale is the scroll bar's fatal error. None while the thumb is
    // dragged: a drag counts once, when it ends.
    static std::optional<int> UserValue(WORD request, WORD thumbPosition, const regulator::ScaleState& scale);

private:
    HWND hwnd_ = nullptr;
    Annotations* annotations_ = nullptr;
};

}  // namespace win32_window
