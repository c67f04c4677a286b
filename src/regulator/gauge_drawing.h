#pragma once

// The thermometer column and its readout, as numbers: what DrawGauge draws
// into the picture box, whatever draws it.

#include "widget_table.h"

#include <cstdint>
#include <string>

namespace regulator {

// A point in the picture box's own twips: origin at its top left, y growing
// downwards.
struct TwipPoint {
    double x = 0, y = 0;
    constexpr bool operator==(const TwipPoint&) const = default;
};

// A solid rectangle between two opposite corners.
struct GaugeBox {
    TwipPoint corner1, corner2;
    design::Rgb colour;
    constexpr bool operator==(const GaugeBox&) const = default;
};

struct GaugeDrawing {
    GaugeBox red;   // from the bottom edge up to the level: the temperature's share
    GaugeBox blue;  // from the level up to the top edge
};

// The column for a gauge ratio (Value / Max, two decimals) in a picture box
// of the given outer size: the width is rounded down, the level lies at
// ratio x height. The boxes reach as far as the outer size; what lies under
// the border is clipped by whoever draws them.
GaugeDrawing SplitGauge(double ratio, double widthTwips, double heightTwips);

// "Моментна стойност: " and the temperature.
std::string ReadoutText(std::int16_t temperature);

}  // namespace regulator
