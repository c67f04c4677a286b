#include "gauge.h"

#include "control_factory.h"

#include <algorithm>
#include <cmath>

namespace win32_window {
namespace {

constexpr const wchar_t* kClassName = L"DulmeriGauge";

int ToPixels(double twips, UINT dpi) { return static_cast<int>(std::lround(twips * dpi / design::kTwipsPerInch)); }

}  // namespace

Gauge::~Gauge() {
    if (hwnd_ != nullptr) SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
}

HWND Gauge::Create(HWND parent, int id, design::Rgb background, const std::wstring& name, UINT dpi) {
    RegisterWindowClass(kClassName, &PaintedBoxProcedure<Gauge>);
    dpi_ = dpi;
    background_ = SolidBrush(background);
    return CreateChild(kClassName, name, WS_VISIBLE | WS_TABSTOP, WS_EX_CLIENTEDGE, parent, id, this);
}

void Gauge::SetDpi(UINT dpi) {
    dpi_ = dpi;
    InvalidateRect(hwnd_, nullptr, FALSE);
}

double Gauge::WidthTwips() const {
    RECT rect{};
    GetWindowRect(hwnd_, &rect);
    return design::PixelsToTwips(rect.right - rect.left, static_cast<int>(dpi_));
}

double Gauge::HeightTwips() const {
    RECT rect{};
    GetWindowRect(hwnd_, &rect);
    return design::PixelsToTwips(rect.bottom - rect.top, static_cast<int>(dpi_));
}

void Gauge::Cls() {
    boxes_.clear();
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void Gauge::FillBox(const regulator::GaugeBox& box) {
    boxes_.push_back(box);
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
    const Bitmap bitmap(
        CreateCompatibleBitmap(target, std::max<LONG>(client.right, 1), std::max<LONG>(client.bottom, 1)));
    HGDIOBJ previous = SelectObject(memory, bitmap.Get());
    FillRect(memory, &client, background_.Get());
    for (const regulator::GaugeBox& box : boxes_) {
        const auto [x1, y1] = box.corner1;
        const auto [x2, y2] = box.corner2;
        const RECT pixels{ToPixels(std::min(x1, x2), dpi_), ToPixels(std::min(y1, y2), dpi_),
                          ToPixels(std::max(x1, x2), dpi_), ToPixels(std::max(y1, y2), dpi_)};
        const Brush brush(CreateSolidBrush(ToColorRef(box.colour)));
        FillRect(memory, &pixels, brush.Get());  // clipped to the bitmap: the inside of the border
    }
    if (GetFocus() == hwnd_) {
        RECT focus = client;
        InflateRect(&focus, -1, -1);
        DrawFocusRect(memory, &focus);
    }
    BitBlt(target, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
    EndPaint(hwnd_, &paint);
}

}  // namespace win32_window
