#include "plot_box.h"

#include "control_factory.h"
#include "dpi.h"
#include "view_design.h"
#include "win32_text.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace win32_window {
namespace {

constexpr const wchar_t* kClassName = L"DulmeriPlot";

// A pen for a line `width` pixels wide on the screen: solid, or dashed in
// the design's pattern, its dashes and gaps as many times longer as the line
// is wider than a pixel (a geometric pen with flat ends, so that a dash is
// as long as the pattern says).
Pen LinePen(const regulator::PlotLine& line, int width) {
    const COLORREF colour = ToColorRef(line.colour);
    if (!line.dashed) return Pen(CreatePen(PS_SOLID, width, colour));
    constexpr auto& pattern = design::view::kDashPattern;
    std::array<DWORD, pattern.size()> style{};
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        style[i] = static_cast<DWORD>(std::max(1L, std::lround(pattern[i] * width)));
    }
    const LOGBRUSH brush{BS_SOLID, colour, 0};
    return Pen(ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE | PS_ENDCAP_FLAT, static_cast<DWORD>(width), &brush,
                            static_cast<DWORD>(style.size()), style.data()));
}

UINT Alignment(regulator::TextAnchor anchor) {
    switch (anchor) {
        case regulator::TextAnchor::Start:
            return TA_LEFT;
        case regulator::TextAnchor::Middle:
            return TA_CENTER;
        case regulator::TextAnchor::End:
            return TA_RIGHT;
    }
    return TA_LEFT;
}

}  // namespace

PlotBox::~PlotBox() {
    if (hwnd_ != nullptr) SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    if (memory_ != nullptr) {
        SelectObject(memory_, original_);  // so that the buffer can go
        DeleteDC(memory_);
    }
}

HWND PlotBox::Create(HWND parent, int id, design::Rgb background, const std::wstring& name, UINT dpi) {
    RegisterWindowClass(kClassName, &PaintedBoxProcedure<PlotBox>);
    background_ = SolidBrush(background);
    font_ = WindowFont(dpi, design::view::kDrawingTextPointSize);
    dpi_ = dpi;
    return CreateChild(kClassName, name, WS_VISIBLE | WS_TABSTOP, WS_EX_CLIENTEDGE, parent, id, this);
}

void PlotBox::SetDpi(UINT dpi) {
    font_ = WindowFont(dpi, design::view::kDrawingTextPointSize);
    dpi_ = dpi;
    InvalidateRect(hwnd_, nullptr, FALSE);
}

bool PlotBox::Show(const regulator::Plot& plot) {
    // Only the texts that changed are converted again; assigning the plot
    // reuses the storage of the last one.
    texts_.resize(plot.texts.size());
    for (std::size_t i = 0; i < plot.texts.size(); ++i) {
        if (i >= plot_.texts.size() || plot_.texts[i].text != plot.texts[i].text) texts_[i] = Wide(plot.texts[i].text);
    }
    const bool described = plot.description != plot_.description;
    const bool same = regulator::SameDrawing(plot, plot_);  // then not painted again
    plot_ = plot;
    if (!same) InvalidateRect(hwnd_, nullptr, FALSE);
    return described;
}

int PlotBox::Scaled(double pixels96) const {
    return static_cast<int>(std::lround(pixels96 * dpi_ / design::kStandardDpi));
}

POINT PlotBox::Mapping::At(double x, double y) const {
    return {static_cast<LONG>(std::lround(x * scaleX)), static_cast<LONG>(std::lround(y * scaleY))};
}

void PlotBox::DrawLines(HDC dc, const Mapping& map) {
    Pen pen;
    const regulator::PlotLine* style = nullptr;  // the line the pen was made for
    // A path of joined lines in one pen is drawn in one stroke.
    path_.clear();
    const auto stroke = [&] {
        if (path_.size() >= 2) Polyline(dc, path_.data(), static_cast<int>(path_.size()));
        path_.clear();
    };
    for (const regulator::PlotLine& line : plot_.lines) {
        const int width = std::max(1, Scaled(line.width));
        if (style == nullptr || line.colour != style->colour || line.dashed != style->dashed ||
            width != std::max(1, Scaled(style->width))) {
            stroke();
            Pen next = LinePen(line, width);
            SelectObject(dc, next.Get() != nullptr ? next.Get() : GetStockObject(BLACK_PEN));
            pen = std::move(next);  // the old pen is no longer selected
            style = &line;
        }
        const POINT from = map.At(line.x1, line.y1);
        const POINT to = map.At(line.x2, line.y2);
        if (path_.empty() || from.x != path_.back().x || from.y != path_.back().y) {
            stroke();
            path_.push_back(from);
        }
        path_.push_back(to);
    }
    stroke();
    SelectObject(dc, GetStockObject(BLACK_PEN));
}

void PlotBox::DrawMarkers(HDC dc, const Mapping& map) const {
    for (const regulator::PlotMarker& marker : plot_.markers) {
        const Pen pen(CreatePen(PS_SOLID, 1, ToColorRef(marker.colour)));
        const Brush brush(CreateSolidBrush(ToColorRef(marker.colour)));
        HGDIOBJ previousPen = SelectObject(dc, pen.Get());
        HGDIOBJ previousBrush = SelectObject(dc, brush.Get());
        // A circle as wide as the DPI makes it; Ellipse leaves out the right
        // and bottom edges of its rectangle.
        const POINT centre = map.At(marker.x, marker.y);
        const int radius = Scaled(marker.radius);
        Ellipse(dc, centre.x - radius, centre.y - radius, centre.x + radius + 1, centre.y + radius + 1);
        SelectObject(dc, previousBrush);
        SelectObject(dc, previousPen);
    }
}

void PlotBox::DrawTexts(HDC dc, const Mapping& map) const {
    HGDIOBJ previous = SelectObject(dc, font_.Get());
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    for (std::size_t i = 0; i < plot_.texts.size() && i < texts_.size(); ++i) {
        const regulator::PlotText& text = plot_.texts[i];
        SetTextAlign(dc, TA_TOP | TA_NOUPDATECP | Alignment(text.anchor));
        const POINT at = map.At(text.x, text.y);
        TextOutW(dc, at.x, at.y - metrics.tmHeight / 2, texts_[i].c_str(), static_cast<int>(texts_[i].size()));
    }
    SelectObject(dc, previous);
}

void PlotBox::Paint() {
    PAINTSTRUCT paint;
    HDC target = BeginPaint(hwnd_, &paint);
    RECT client{};
    GetClientRect(hwnd_, &client);
    const SIZE size{std::max<LONG>(client.right, 1), std::max<LONG>(client.bottom, 1)};
    // The off-screen picture and its device context are kept from one
    // paint to the next, made again only when the box changes its size.
    if (memory_ == nullptr) memory_ = CreateCompatibleDC(target);
    if (memory_ != nullptr && (buffer_.Get() == nullptr || size.cx != bufferSize_.cx || size.cy != bufferSize_.cy)) {
        Bitmap next(CreateCompatibleBitmap(target, size.cx, size.cy));
        if (next.Get() != nullptr) {
            HGDIOBJ previous = SelectObject(memory_, next.Get());
            if (original_ == nullptr) original_ = previous;
            buffer_ = std::move(next);  // the old one is no longer selected
            bufferSize_ = size;
        }
    }
    // The drawing, made for the whole box, fills the inside of its border:
    // nothing it draws near its edges is lost under the border.
    const Mapping map{plot_.width > 0 ? client.right / plot_.width : 1.0,
                      plot_.height > 0 ? client.bottom / plot_.height : 1.0};

    HDC memory = memory_;
    if (memory != nullptr && buffer_.Get() != nullptr) {
        FillRect(memory, &client, background_.Get());
        DrawLines(memory, map);
        DrawMarkers(memory, map);
        DrawTexts(memory, map);
        if (GetFocus() == hwnd_) DrawFocusRect(memory, &client);  // along the edge, clear of the texts
        BitBlt(target, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
    }
    EndPaint(hwnd_, &paint);
}

}  // namespace win32_window
