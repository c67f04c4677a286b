#pragma once

// What a screen reader is told about the controls beyond what the system's
// own providers say. The standard controls (edit boxes, buttons, option
// buttons, labels, the scroll bar) are served by the system; this adds the
// names of the controls whose caption is elsewhere, as dynamic annotations
// (IAccPropServices of oleacc). Where the system offers no annotation
// service the calls do nothing; the window also names those controls in the
// ways older readers look for (see MainForm). The gauge, which the program
// draws itself, answers for itself (AnswerGetObject): its name, its role of
// a progress bar, the temperature as its value and the heater's state as
// its description.

#include <windows.h>

#include <string>
#include <vector>

struct IAccPropServices;

namespace win32_window {

// What a screen reader is told about a control the program draws itself.
struct AccessibleFacts {
    std::wstring name;
    LONG role = 0;  // ROLE_SYSTEM_...
    std::wstring value;
    std::wstring description;
};
// The facts of a control as they are now; false once the control is gone.
using AccessibleFactsOf = bool (*)(HWND control, AccessibleFacts& facts);

// Answers WM_GETOBJECT for the control's client area: the system's standard
// object for a window (location, state, focus, navigation), with the name,
// role, value and description asked of `factsOf` each time a reader asks,
// so they are never stale. Other requests go to the system (0 is returned).
LRESULT AnswerGetObject(HWND control, WPARAM wParam, LPARAM lParam, AccessibleFactsOf factsOf);

class Annotations {
public:
    Annotations();
    ~Annotations();
    Annotations(const Annotations&) = delete;
    Annotations& operator=(const Annotations&) = delete;

    void SetName(HWND control, const std::wstring& name);
    // Removes every annotation made, before the controls go away.
    void Clear();

private:
    void Remember(HWND control);

    IAccPropServices* services_ = nullptr;
    bool comInitialised_ = false;
    std::vector<HWND> annotated_;
};

}  // namespace win32_window
