#pragma once

// Twips to pixels at a window's DPI. The design is in twips (1440 to the
// inch), so every length is computed afresh from it at the DPI the window
// is on: 15 twips to a pixel at 96 DPI, 10 at 144.

#include "widget_table.h"

#include <windows.h>

namespace win32_window {

inline constexpr UINT kStandardDpi = 96;

// Rounds halves away from zero.
int TwipsToPixels(int twips, UINT dpi);
double PixelsToTwips(int pixels, UINT dpi);

// A rectangle in twips as pixels. Each edge is scaled on its own, so
// widgets that touch in the design still touch at any DPI.
RECT TwipsToPixels(int left, int top, int width, int height, UINT dpi);
RECT WidgetRect(const design::WidgetSpec& spec, UINT dpi);

// The font height (negative: the character height) for a size in points.
int FontHeight(int points, UINT dpi);

// The DPI of the monitor the window is on. Windows before 10 (version 1607)
// have no per-window DPI; there the system DPI is used.
UINT DpiOfWindow(HWND window);

// The outer rectangle of a window with that client size, style and DPI.
RECT OuterRectForClient(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, UINT dpi);

}  // namespace win32_window
