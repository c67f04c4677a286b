#pragma once

// The design's values as CSS writes them, for the page's generated style.

#include "widget_table.h"

#include <string>

namespace web_page {

// A length in twips as CSS pixels at the standard 96 DPI (15 twips to the
// pixel), to 1/10000 of a pixel (finer than any browser lays out: Chromium
// places boxes on 1/64 px), without trailing zeros: 16 twips -> "1.0667px".
std::string CssPixels(int twips);

// "#rrggbb".
std::string CssColour(design::Rgb colour);

}  // namespace web_page
