#include "keyboard_navigation.h"

#include <algorithm>

namespace win32_window {

void KeyboardNavigation::Attach(HWND window, std::span<const HWND> buttons, HWND first) {
    window_ = window;
    buttons_.assign(buttons.begin(), buttons.end());
    lastFocus_ = first;
}

bool KeyboardNavigation::PreTranslateMessage(MSG& message) {
    return window_ != nullptr && IsWindow(window_) && IsDialogMessageW(window_, &message);
}

std::optional<LRESULT> KeyboardNavigation::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case DM_GETDEFID: {
            HWND focus = GetFocus();
            if (std::find(buttons_.begin(), buttons_.end(), focus) == buttons_.end()) return 0;
            return MAKELRESULT(GetDlgCtrlID(focus), DC_HASDEFID);
        }
        case WM_NEXTDLGCTL: {
            HWND next = LOWORD(lParam) != 0 ? reinterpret_cast<HWND>(wParam)
                                            : GetNextDlgTabItem(window_, GetFocus(), wParam != 0);
            if (next != nullptr) {
                SetFocus(next);
                if (SendMessageW(next, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageW(next, EM_SETSEL, 0, -1);
            }
            return 0;
        }
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus != nullptr && IsChild(window_, focus)) lastFocus_ = focus;
            }
            return std::nullopt;
        case WM_SETFOCUS:
            if (lastFocus_ != nullptr && IsWindow(lastFocus_)) SetFocus(lastFocus_);
            return 0;
        default:
            return std::nullopt;
    }
}

}  // namespace win32_window
