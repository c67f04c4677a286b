#pragma once

// Picture1, the thermometer column: a child window that keeps what was
// drawn on it. Drawing happens in twips in the box's own coordinates (origin
// at the top left of the area inside its sunken border, y growing
// downwards); the drawing is kept as a list of filled rectangles and
// replayed at every WM_PAINT, at the window's DPI, so covering and
// uncovering the window shows the last drawing and it stays sharp at any
// scale. For screen readers it is a progress bar named "Термометър" whose
// value is the temperature (accessibility.h).

#include "accessibility.h"
#include "widget_table.h"

#include <windows.h>

#include <string>
#include <vector>

namespace win32_window {

class Gauge {
public:
    struct Point {
        double x, y;
    };
    struct Box {
        double left, top, right, bottom;  // twips, normalised
        design::Rgb colour;
    };

    Gauge() = default;
    ~Gauge();
    Gauge(const Gauge&) = delete;
    Gauge& operator=(const Gauge&) = delete;

    // A tab stop with a sunken border, named for accessibility.
    HWND Create(HWND parent, int id, const RECT& pixels, design::Rgb background, const std::wstring& name,
                UINT dpi);
    HWND Hwnd() const { return hwnd_; }
    void SetDpi(UINT dpi);

    // The outer size, border included, in twips.
    double WidthTwips() const;
    double HeightTwips() const;

    // Clears the drawing to the background colour.
    void Cls();
    // A solid rectangle between two opposite corners, in twips.
    void FillBox(Point corner1, Point corner2, design::Rgb colour);
    const std::vector<Box>& Boxes() const { return boxes_; }

    // What a screen reader reads besides the name: the temperature as the
    // value and the heater's state as the description. Readers ask for them
    // when they need them; nothing is announced.
    void SetAccessibleValue(std::wstring value) { accessibleValue_ = std::move(value); }
    void SetAccessibleDescription(std::wstring description) { accessibleDescription_ = std::move(description); }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static bool AccessibleFactsOf(HWND window, AccessibleFacts& facts);
    void Paint();

    HWND hwnd_ = nullptr;
    UINT dpi_ = 96;
    HBRUSH background_ = nullptr;
    std::vector<Box> boxes_;
    std::wstring name_;
    std::wstring accessibleValue_;
    std::wstring accessibleDescription_;
};

}  // namespace win32_window
