#include "gauge.h"

#include "dpi.h"

#include <oleacc.h>

#include <algorithm>
#include <cmath>

namespace win32_window {
namespace {

constexpr const wchar_t* kClassName = L"DulmeriGauge";

COLORREF ToColorRef(design::Rgb colour) { return RGB(colour.r, colour.g, colour.b); }

int ToPixels(double twips, UINT dpi) {
    return static_cast<int>(std::lround(twips * dpi / design::kTwipsPerInch));
}

}  // namespace

Gauge::~Gauge() {
    if (hwnd_ != nullptr) SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    if (background_ != nullptr) DeleteObject(background_);
}

HWND Gauge::Create(HWND parent, int id, const RECT& pixels, design::Rgb background, const std::wstring& name,
                   UINT dpi) {
    static const bool registered = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = &Gauge::Procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.lpszClassName = kClassName;
        return RegisterClassExW(&windowClass) != 0;
    }();
    (void)registered;
    dpi_ = dpi;
    name_ = name;
    background_ = CreateSolidBrush(ToColorRef(background));
    hwnd_ = CreateWindowExW(WS_EX_CLIENTEDGE, kClassName, name.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                            pixels.left, pixels.top, pixels.right - pixels.left, pixels.bottom - pixels.top,
                            parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                            this);
    return hwnd_;
}

void Gauge::SetDpi(UINT dpi) {
    dpi_ = dpi;
    InvalidateRect(hwnd_, nullptr, FALSE);
}

double Gauge::WidthTwips() const {
    RECT rect{};
    GetWindowRect(hwnd_, &rect);
    return PixelsToTwips(rect.right - rect.left, dpi_);
}

double Gauge::HeightTwips() const {
    RECT rect{};
    GetWindowRect(hwnd_, &rect);
    return PixelsToTwips(rect.bottom - rect.top, dpi_);
}

void Gauge::Cls() {
    boxes_.clear();
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void Gauge::FillBox(Point corner1, Point corner2, design::Rgb colour) {
    boxes_.push_back({std::min(corner1.x, corner2.x), std::min(corner1.y, corner2.y), std::max(corner1.x, corner2.x),
                      std::max(corner1.y, corner2.y), colour});
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void Gauge::Paint() {
    PAINTSTRUCT paint;
    HDC target = BeginPaint(hwnd_, &paint);
    RECT client{};
    GetClientRect(hwnd_, &client);
    // Drawn off screen, then copied: the column never shows the cleared
    // background between two rectangles.
    HDC memory = CreateCompatibleDC(target);
    HBITMAP bitmap = CreateCompatibleBitmap(target, std::max<LONG>(client.right, 1), std::max<LONG>(client.bottom, 1));
    HGDIOBJ previous = SelectObject(memory, bitmap);
    FillRect(memory, &client, background_);
    for (const Box& box : boxes_) {
        const RECT pixels{ToPixels(box.left, dpi_), ToPixels(box.top, dpi_), ToPixels(box.right, dpi_),
                          ToPixels(box.bottom, dpi_)};
        HBRUSH brush = CreateSolidBrush(ToColorRef(box.colour));
        FillRect(memory, &pixels, brush);  // clipped to the bitmap, i.e. the inside of the border
        DeleteObject(brush);
    }
    if (GetFocus() == hwnd_) {
        RECT focus = client;
        InflateRect(&focus, -1, -1);
        DrawFocusRect(memory, &focus);
    }
    BitBlt(target, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    EndPaint(hwnd_, &paint);
}

bool Gauge::AccessibleFactsOf(HWND window, AccessibleFacts& facts) {
    // The window may be gone, and its handle given to another window.
    if (!IsWindow(window) || GetWindowLongPtrW(window, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&Gauge::Procedure)) {
        return false;
    }
    const auto* gauge = reinterpret_cast<const Gauge*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (gauge == nullptr) return false;
    facts = {gauge->name_, ROLE_SYSTEM_PROGRESSBAR, gauge->accessibleValue_, gauge->accessibleDescription_};
    return true;
}

LRESULT CALLBACK Gauge::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        auto* created = static_cast<Gauge*>(create->lpCreateParams);
        created->hwnd_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    }
    auto* gauge = reinterpret_cast<Gauge*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (gauge != nullptr) {
        switch (message) {
            case WM_PAINT:
                gauge->Paint();
                return 0;
            case WM_ERASEBKGND:
                return 1;  // WM_PAINT covers every pixel
            case WM_SETFOCUS:
            case WM_KILLFOCUS:
                InvalidateRect(window, nullptr, FALSE);
                break;
            case WM_LBUTTONDOWN:
                SetFocus(window);
                return 0;
            case WM_GETOBJECT:
                if (const LRESULT object = AnswerGetObject(window, wParam, lParam, &Gauge::AccessibleFactsOf)) {
                    return object;
                }
                break;
            default:
                break;
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace win32_window
