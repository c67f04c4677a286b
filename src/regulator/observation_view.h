#pragma once

// The view "Наблюдение" as numbers and texts: what each front end draws
// and shows, made from an Observation in one place. Each picture box of the
// view's design table (design::ObservationTable()) is one drawing, made here
// as a list of lines, texts and markers in the box's own pixels (96 to the
// inch, origin at its top left) with the numbers of view_design.h; a front
// end renders any drawing with one piece of code, scaling it to its screen
// and to the box's size, and knows no drawing by name. The figures, the
// table and the descriptions for screen readers are texts, with the user's
// decimal separator.
//
//  - "Trace", "Температура във времето": the temperature over the span the
//    observation keeps (60 s of running), red while the heater is on and
//    blue while it is off (the gauge's colours), the two thresholds as
//    dashed lines, axes 0-100 and seconds (0 is now).
//  - "Loop", "Хистерезисна примка": the heater's state (on above, off
//    below) against the temperature: the path of the last two cycles,
//    rising on the "on" level and falling on the "off" level, with a
//    vertical step at each switching, and the current point.
//  - "Rate", "Превключвания според ширината": the exercise's answer, the
//    switchings a minute against the band's width: a point for each band of
//    the table at its measured rate, the band in force marked as the loop
//    marks its current point (at its row's point, or on the curve before it
//    has one), and the rule's curve (the steady rate the control rules give
//    a band of each width between whole thresholds, as the table's
//    "По правилото") over the widths shown. Both axes start at 0 with round
//    labels that reach every point and the curve.

#include "numeric_text.h"
#include "observation.h"
#include "widget_table.h"

#include <array>
#include <string>
#include <vector>

namespace regulator {

struct PlotLine {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    design::Rgb colour{};
    double width = 1;
    bool dashed = false;  // in design::view::kDashPattern
    bool operator==(const PlotLine&) const = default;
};

enum class TextAnchor { Start, Middle, End };

// A text whose anchor point lies at (x, y); y is the middle of its line. In
// the window's font at design::view::kDrawingTextPointSize.
struct PlotText {
    double x = 0, y = 0;
    std::string text;
    TextAnchor anchor = TextAnchor::Start;
    bool operator==(const PlotText&) const = default;
};

// A filled circle.
struct PlotMarker {
    double x = 0, y = 0, radius = 0;
    design::Rgb colour{};
    bool operator==(const PlotMarker&) const = default;
};

// One drawing. Drawn in this order: the lines, the markers, the texts.
struct Plot {
    const char* name = "";         // its picture box's name in the view's table
    double width = 0, height = 0;  // pixels: the picture box's design size
    std::vector<PlotLine> lines;   // in drawing order
    std::vector<PlotText> texts;
    std::vector<PlotMarker> markers;
    std::string description;  // for screen readers, kept current
};

// Whether two drawings show the same shapes: their size, lines and markers.
// Most drawings change less often than the run ticks; a front end paints a
// drawing again only where it does not look as the one it shows.
bool SameShapes(const Plot& a, const Plot& b);
// The same shapes and the same texts.
bool SameDrawing(const Plot& a, const Plot& b);

struct ObservationPicture {
    // One for each picture box of the view's table, in the table's order.
    std::vector<Plot> plots;
    // One for each label of the view's table without a text of its own, in
    // the table's order: the switchings, those a minute, the mean time.
    std::vector<std::string> figures;
    std::vector<std::array<std::string, 5>> rows;  // under kBandsTableHeaders
};

// How many cycles the loop shows.
inline constexpr int kLoopCycles = 2;

// The view laid out in a client area clientHeightTwips high
// (LayOutObservation): each drawing is made at its picture box's size there.
ObservationPicture DrawObservation(const Observation& observation, const NumberFormat& format,
                                   int clientHeightTwips = design::kObservationHeightTwips);

}  // namespace regulator
