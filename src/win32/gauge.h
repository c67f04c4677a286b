#pragma once

// Picture1, the thermometer column: a child window that keeps what was
// drawn on it. It draws the boxes it is given, in twips in the box's own
// coordinates (origin at the top left, y growing downwards), clipped to the
// area inside its sunken border; the drawing is kept and replayed at every
// WM_PAINT at the window's DPI, so covering and uncovering the window shows
// the last drawing and it stays sharp at any scale. What screen readers are
// told about it is annotated by the window (accessibility.h).

#include "gauge_drawing.h"
#include "gdi_object.h"

#include <windows.h>

#include <string>
#include <vector>

namespace win32_window {

class Gauge {
public:
    Gauge() = default;
    ~Gauge();
    Gauge(const Gauge&) = delete;
    Gauge& operator=(const Gauge&) = delete;

    // A tab stop with a sunken border; `name` is its window text.
    HWND Create(HWND parent, int id, design::Rgb background, const std::wstring& name, UINT dpi);
    HWND Hwnd() const { return hwnd_; }
    void SetDpi(UINT dpi);

    // The outer size, border included, in twips.
    double WidthTwips() const;
    double HeightTwips() const;

    // Clears the drawing to the background colour.
    void Cls();
    void FillBox(const regulator::GaugeBox& box);

private:
    template <typename Box>
    friend LRESULT CALLBACK PaintedBoxProcedure(HWND, UINT, WPARAM, LPARAM);
    void Paint();

    HWND hwnd_ = nullptr;
    UINT dpi_ = 0;
    Brush background_;
    std::vector<regulator::GaugeBox> boxes_;
};

}  // namespace win32_window
