#pragma once

// The dialog manager's keyboard handling for the main window, which is a
// plain window, not a dialog: IsDialogMessage takes Tab (in the order the
// controls were made, which is the design's), Shift+Tab, Space and Enter;
// this answers what the dialog manager asks of a dialog and what a dialog
// does on its own:
//   - Enter presses the focused button, as Space does (DM_GETDEFID);
//   - an edit box asks for the next control with WM_NEXTDLGCTL;
//   - the window gives the focus back to the control that had it when it
//     was last active.

#include <windows.h>

#include <optional>
#include <span>
#include <vector>

namespace win32_window {

class KeyboardNavigation {
public:
    // `buttons` are those Enter presses; `first` has the focus at the start.
    void Attach(HWND window, std::span<const HWND> buttons, HWND first);

    // True when the dialog manager took the message.
    bool PreTranslateMessage(MSG& message);
    // The window's answer to a message of the dialog manager; none for the
    // others, and for those the window handles as usual too.
    std::optional<LRESULT> HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    HWND window_ = nullptr;
    std::vector<HWND> buttons_;
    HWND lastFocus_ = nullptr;
};

}  // namespace win32_window
