#pragma once

// Layout at a window's DPI. The design is in twips (1440 to the inch), so
// every length is computed afresh from it at the DPI the window is on (15
// twips to a pixel at 96 DPI, 10 at 144), and again when the window moves
// to a screen of another DPI.

#include "gdi_object.h"
#include "widget_table.h"

#include <windows.h>

#include <span>

namespace win32_window {

// The DPI of the monitor the window is on. Windows before 10 (version 1607)
// have no per-window DPI; there the system DPI is used.
UINT DpiOfWindow(HWND window);

// A row's rectangle in pixels, within its parent. Each edge is scaled on
// its own, so widgets that touch in the design still touch at any DPI.
RECT WidgetRect(const design::WidgetSpec& spec, UINT dpi);

// The design's font (Times New Roman, Cyrillic) at the DPI, 12 point
// unless another size is given.
Font WindowFont(UINT dpi, int pointSize = design::kFontPointSize);

// Places each row's control (controls[i] for table[i]).
void PlaceControls(std::span<const design::WidgetSpec> table, std::span<const HWND> controls, UINT dpi);

// A window's client size in the design, in twips: the main window's unless
// told.
struct ClientTwips {
    int width = design::kClientWidthTwips;
    int height = design::kClientHeightTwips;
};

// The outer rectangle of the window (its style, at the DPI) around a
// client area of this size in pixels, relative to the client's top left.
RECT OuterRectForClient(HWND window, int clientWidth, int clientHeight, UINT dpi);

// Sizes the window so that its client area has the design's size at the
// DPI, with its top left corner at `origin`.
void SizeWindow(HWND window, POINT origin, UINT dpi, ClientTwips client = {});
// Sizes the window and centres it on the work area of its screen.
void SizeAndCentre(HWND window, UINT dpi);

}  // namespace win32_window
