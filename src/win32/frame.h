#pragma once

// Frame1: a plain child window that holds the option buttons, with a group
// box under them that draws the frame's etched border and caption. When the
// design disables the frame it is this window that is disabled, so the
// option buttons inside ignore the mouse but are drawn normally. It passes
// its children's notifications and colour requests on to its parent, and
// its font to the group box.

#include <windows.h>

#include <string>

namespace win32_window {

class Frame {
public:
    Frame() = default;
    ~Frame();
    Frame(const Frame&) = delete;
    Frame& operator=(const Frame&) = delete;

    HWND Create(HWND parent, int id, const std::wstring& caption, bool disabled);
    HWND Hwnd() const { return hwnd_; }
    HWND GroupBox() const { return groupBox_; }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
    HWND groupBox_ = nullptr;
    HFONT font_ = nullptr;  // the parent's, which owns it
};

}  // namespace win32_window
