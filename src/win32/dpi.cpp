#include "dpi.h"

namespace win32_window {
namespace {

template <typename Function>
Function User32Function(const char* name) {
    // Looked up at run time so that the program still starts on Windows 7
    // and 8.1, which lack the per-monitor DPI functions.
    const FARPROC address = GetProcAddress(GetModuleHandleW(L"user32.dll"), name);
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}

}  // namespace

int TwipsToPixels(int twips, UINT dpi) {
    return MulDiv(twips, static_cast<int>(dpi), design::kTwipsPerInch);
}

double PixelsToTwips(int pixels, UINT dpi) {
    return static_cast<double>(pixels) * design::kTwipsPerInch / dpi;
}

RECT TwipsToPixels(int left, int top, int width, int height, UINT dpi) {
    return RECT{TwipsToPixels(left, dpi), TwipsToPixels(top, dpi), TwipsToPixels(left + width, dpi),
                TwipsToPixels(top + height, dpi)};
}

RECT WidgetRect(const design::WidgetSpec& spec, UINT dpi) {
    return TwipsToPixels(spec.left, spec.top, spec.width, spec.height, dpi);
}

int FontHeight(int points, UINT dpi) { return -MulDiv(points, static_cast<int>(dpi), 72); }

UINT DpiOfWindow(HWND window) {
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = User32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    if (getDpiForWindow != nullptr) {
        const UINT dpi = getDpiForWindow(window);
        if (dpi != 0) return dpi;
    }
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : kStandardDpi;
}

RECT OuterRectForClient(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, UINT dpi) {
    using AdjustFunction = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = User32Function<AdjustFunction>("AdjustWindowRectExForDpi");
    RECT rect{0, 0, clientWidth, clientHeight};
    if (adjustForDpi != nullptr) {
        adjustForDpi(&rect, style, FALSE, exStyle, dpi);
    } else {
        AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    }
    return rect;
}

}  // namespace win32_window
