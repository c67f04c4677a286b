#include "gauge_drawing.h"

#include "numeric_text.h"
#include "texts.h"

#include <cmath>

namespace regulator {

GaugeDrawing SplitGauge(double ratio, double widthTwips, double heightTwips) {
    const double width = std::floor(widthTwips);
    const double height = heightTwips;
    const double level = ratio * height;
    return {
        {{0, height}, {width, level}, design::kGaugeRed},
        {{0, level}, {width, 0}, design::kGaugeBlue},
    };
}

std::string ReadoutText(std::int16_t temperature) {
    return std::string(design::texts::kReadoutPrefix) + IntegerToText(temperature);
}

}  // namespace regulator
