#pragma once

// What a screen reader is told about the controls beyond what the system's
// own providers say. The standard controls (edit boxes, buttons, option
// buttons, labels, the scroll bar) are served by the system; this adds the
// names of the controls whose caption is elsewhere, and the gauge's role
// and value, as dynamic annotations (IAccPropServices of oleacc). Where the
// system offers no annotation service the calls do nothing; the window also
// names those controls in the ways older readers look for (see MainForm).

#include <windows.h>

#include <string>
#include <vector>

struct IAccPropServices;

namespace win32_window {

class Annotations {
public:
    Annotations();
    ~Annotations();
    Annotations(const Annotations&) = delete;
    Annotations& operator=(const Annotations&) = delete;

    void SetName(HWND control, const std::wstring& name);
    void SetValue(HWND control, const std::wstring& value);
    void SetProgressBarRole(HWND control);
    // Removes every annotation made, before the controls go away.
    void Clear();

private:
    void Remember(HWND control);

    IAccPropServices* services_ = nullptr;
    bool comInitialised_ = false;
    std::vector<HWND> annotated_;
};

}  // namespace win32_window
