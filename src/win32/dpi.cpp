#include "dpi.h"

#include "win32_text.h"

namespace win32_window {
namespace {

template <typename Function>
Function User32Function(const char* name) {
    // Looked up at run time so that the program still starts on Windows 7
    // and 8.1, which lack the per-monitor DPI functions.
    const FARPROC address = GetProcAddress(GetModuleHandleW(L"user32.dll"), name);
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}

int Pixels(int twips, UINT dpi) { return design::TwipsToWholePixels(twips, static_cast<int>(dpi)); }

constexpr int kPointsPerInch = 72;

}  // namespace

RECT OuterRectForClient(HWND window, int clientWidth, int clientHeight, UINT dpi) {
    using AdjustFunction = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = User32Function<AdjustFunction>("AdjustWindowRectExForDpi");
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
    RECT rect{0, 0, clientWidth, clientHeight};
    if (adjustForDpi != nullptr) {
        adjustForDpi(&rect, style, FALSE, exStyle, dpi);
    } else {
        AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    }
    return rect;
}

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
    return dpi > 0 ? static_cast<UINT>(dpi) : design::kStandardDpi;
}

RECT WidgetRect(const design::WidgetSpec& spec, UINT dpi) {
    return RECT{Pixels(spec.left, dpi), Pixels(spec.top, dpi), Pixels(spec.left + spec.width, dpi),
                Pixels(spec.top + spec.height, dpi)};
}

Font WindowFont(UINT dpi, int pointSize) {
    // Regular, with the Cyrillic character set; FF_ROMAN keeps a serif face
    // where the font itself is missing.
    Font font(CreateFontW(-MulDiv(pointSize, static_cast<int>(dpi), kPointsPerInch), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                          FALSE, RUSSIAN_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                          DEFAULT_PITCH | FF_ROMAN, Wide(design::kFontFamily).c_str()));
    if (font.Get() == nullptr) throw std::runtime_error("the window's font could not be created");
    return font;
}

void PlaceControls(std::span<const design::WidgetSpec> table, std::span<const HWND> controls, UINT dpi) {
    for (std::size_t row = 0; row < table.size() && row < controls.size(); ++row) {
        const RECT r = WidgetRect(table[row], dpi);
        SetWindowPos(controls[row], nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void SizeWindow(HWND window, POINT origin, UINT dpi, ClientTwips client) {
    const int width = Pixels(client.width, dpi);
    const int height = Pixels(client.height, dpi);
    const RECT outer = OuterRectForClient(window, width, height, dpi);
    const LONG outerWidth = outer.right - outer.left, outerHeight = outer.bottom - outer.top;
    SetWindowPos(window, nullptr, origin.x, origin.y, outerWidth, outerHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    // Where the border and caption the system really draws differ from what
    // it computed for this DPI, the window is corrected once, so the client
    // area always has the design's size.
    RECT inside{};
    GetClientRect(window, &inside);
    const LONG dx = width - inside.right, dy = height - inside.bottom;
    if (dx != 0 || dy != 0) {
        SetWindowPos(window, nullptr, 0, 0, outerWidth + dx, outerHeight + dy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void SizeAndCentre(HWND window, UINT dpi) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& work = monitor.rcWork;
    SizeWindow(window, {0, 0}, dpi);
    RECT outer{};
    GetWindowRect(window, &outer);
    const LONG width = outer.right - outer.left, height = outer.bottom - outer.top;
    SetWindowPos(window, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace win32_window
