#include "frame.h"

#include "control_factory.h"

namespace win32_window {
namespace {

constexpr const wchar_t* kClassName = L"DulmeriFrame";

}  // namespace

Frame::~Frame() {
    if (hwnd_ != nullptr) SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
}

HWND Frame::Create(HWND parent, int id, const std::wstring& caption, bool disabled) {
    RegisterWindowClass(kClassName, &Frame::Procedure);
    CreateChild(kClassName, caption, WS_VISIBLE | (disabled ? WS_DISABLED : 0), 0, parent, id, this);
    groupBox_ = CreateChild(L"BUTTON", caption, WS_VISIBLE | BS_GROUPBOX, 0, hwnd_, -1);
    return hwnd_;
}

LRESULT CALLBACK Frame::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* frame = static_cast<Frame*>(AttachedObject(window, message, lParam));
    if (frame == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCCREATE) frame->hwnd_ = window;
    return frame->HandleMessage(message, wParam, lParam);
}

LRESULT Frame::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
        case WM_DRAWITEM:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            return SendMessageW(GetParent(hwnd_), message, wParam, lParam);
        case WM_PARENTNOTIFY:
            // The border lies under every option button added.
            if (LOWORD(wParam) == WM_CREATE && groupBox_ != nullptr) {
                SetWindowPos(groupBox_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            }
            return 0;
        case WM_SIZE:
            SetWindowPos(groupBox_, nullptr, 0, 0, LOWORD(lParam), HIWORD(lParam), SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        case WM_SETFONT:
            font_ = reinterpret_cast<HFONT>(wParam);
            SendMessageW(groupBox_, WM_SETFONT, wParam, lParam);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(font_);
        case WM_ERASEBKGND: {
            // The colour the parent gives the frame.
            RECT client;
            GetClientRect(hwnd_, &client);
            const auto brush = reinterpret_cast<HBRUSH>(
                SendMessageW(GetParent(hwnd_), WM_CTLCOLORSTATIC, wParam, reinterpret_cast<LPARAM>(hwnd_)));
            FillRect(reinterpret_cast<HDC>(wParam), &client,
                     brush != nullptr ? brush : GetSysColorBrush(COLOR_BTNFACE));
            return 1;
        }
        case WM_NCDESTROY: {
            HWND window = hwnd_;
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            hwnd_ = groupBox_ = nullptr;
            return DefWindowProcW(window, message, wParam, lParam);
        }
        default:
            break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

}  // namespace win32_window
