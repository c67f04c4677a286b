#pragma once

// A picture box of the view "Наблюдение" (observation_window.h): a child
// window that paints the drawing it was last given (regulator::Plot: lines,
// markers and texts in the box's own pixels at 96 DPI, origin at its top
// left) at the window's DPI, so it stays sharp at any scale: the drawing's
// width and height are the inside of the box's border, pens are as wide as
// the line scaled to the DPI, dashed lines follow the design's dash pattern
// (design::view::kDashPattern), markers are filled circles, texts are in the
// window's font at the design's drawing text size, anchored at their start, middle or end with y the middle of the
// line. Painted off screen and copied, so that ten drawings
// a second do not flicker. Like the gauge, it is a tab stop with a sunken
// border and its name as its window text.

#include "gdi_object.h"
#include "observation_view.h"

#include <windows.h>

#include <string>
#include <vector>

namespace win32_window {

class PlotBox {
public:
    PlotBox() = default;
    ~PlotBox();
    PlotBox(const PlotBox&) = delete;
    PlotBox& operator=(const PlotBox&) = delete;

    HWND Create(HWND parent, int id, design::Rgb background, const std::wstring& name, UINT dpi);
    HWND Hwnd() const { return hwnd_; }
    void SetDpi(UINT dpi);

    // Keeps the drawing and repaints the box where it looks other than the
    // last one; true when its description for screen readers differs from
    // the last one.
    bool Show(const regulator::Plot& plot);
    const std::string& Description() const { return plot_.description; }

private:
    // From the drawing's pixels to the inside of the box.
    struct Mapping {
        double scaleX, scaleY;
        POINT At(double x, double y) const;
    };

    template <typename Box>
    friend LRESULT CALLBACK PaintedBoxProcedure(HWND, UINT, WPARAM, LPARAM);
    void Paint();
    void DrawLines(HDC dc, const Mapping& map);
    void DrawMarkers(HDC dc, const Mapping& map) const;
    void DrawTexts(HDC dc, const Mapping& map) const;
    // A length of the drawing in pixels of the screen.
    int Scaled(double pixels96) const;

    HWND hwnd_ = nullptr;
    UINT dpi_ = design::kStandardDpi;
    Brush background_;
    Font font_;
    Bitmap buffer_;  // the off-screen picture, as large as the box's inside
    SIZE bufferSize_{};
    HDC memory_ = nullptr;        // with buffer_ selected into it
    HGDIOBJ original_ = nullptr;  // the bitmap memory_ was made with
    std::vector<POINT> path_;     // the joined lines being drawn, kept for its storage
    regulator::Plot plot_;
    std::vector<std::wstring> texts_;  // plot_.texts, in UTF-16
};

}  // namespace win32_window
