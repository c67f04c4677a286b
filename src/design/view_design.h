#pragma once

// The view "Наблюдение" as numbers: how its drawings are drawn, how its
// table is set, and how it sits beside the main window. The core makes the
// drawings from these (observation_view.h) and every front end renders and
// lays out the view with the same ones, so the view looks alike on all of
// them. Lengths are pixels at 96 dots per inch unless the name says twips.
// Plain C++: no toolkit.

#include "widget_table.h"

#include <array>

namespace design::view {

// Space between the main window and the view beside it (or under it).
inline constexpr int kGapPixels = 8;

// The drawings' texts (axis labels) and the table's cells and headers: the
// window's font at this size, on every front end.
inline constexpr int kDrawingTextPointSize = 9;
inline constexpr int kTablePointSize = 9;

enum class Alignment { Left, Centre, Right };
// How the table's cells and headers are aligned.
inline constexpr Alignment kCellAlignment = Alignment::Centre;

// A drawing's plotting area within its picture box: the room left for the
// labels on each side.
struct Margins {
    double left, top, right, bottom;
};
inline constexpr Margins kTraceMargins{34, 10, 12, 24};
inline constexpr Margins kLoopMargins{44, 10, 12, 24};
inline constexpr Margins kRateMargins{40, 10, 16, 24};

// The axes and their ticks.
inline constexpr Rgb kAxisColour{0, 0, 0};
inline constexpr double kAxisWidth = 1;
inline constexpr double kTickLength = 4;
// A label beside a vertical axis ends this far left of its tick; a label
// under the horizontal axis has the middle of its line this far below it.
inline constexpr double kLabelGap = 2;
inline constexpr double kLabelBelow = 8;
// The unit of the horizontal axis, at its right end, this far right of the
// plotting area.
inline constexpr double kUnitRight = 10;

// The thresholds, drawn across the plotting area: thin, dashed.
inline constexpr Rgb kThresholdColour = kChromeDarkShadow;
inline constexpr double kThresholdWidth = 1;
// A dashed line's dashes and gaps, in pixels along a line of width 1 (a
// wider line's are as many times longer).
inline constexpr std::array<double, 2> kDashPattern{4, 3};

// The run's own lines (the temperature, the loop's path, the rule's curve).
inline constexpr double kTraceWidth = 2;
inline constexpr double kCurveWidth = 2;
inline constexpr Rgb kCurveColour{0, 128, 0};

// The loop's two levels, as fractions of the plotting area's height from
// its bottom: the heater on, and off.
inline constexpr double kLoopOnLevel = 0.75;
inline constexpr double kLoopOffLevel = 0.25;

// Points: the current one (the loop's, and the band in force against its
// width) and each band tried.
inline constexpr double kMarkerRadius = 4;
inline constexpr double kPointRadius = 3;
inline constexpr Rgb kPointColour = kGaugeBlue;
inline constexpr Rgb kCurrentPointColour = kGaugeRed;

// The temperature axis is labelled at these temperatures.
inline constexpr std::array<int, 3> kTemperatureLabels{0, 50, 100};
// The time axis is labelled every this many seconds of the span kept.
inline constexpr int kTimeLabelSeconds = 15;
// Round labels: steps of 1, 2 or 5 times a power of ten, at most this many
// intervals along an axis.
inline constexpr int kMostIntervals = 6;

// When the screen cannot hold the whole view, its drawings shrink, each to
// no less than this share of its height; what lies under them moves up.
inline constexpr double kLeastDrawingShare = 0.4;

}  // namespace design::view
