#pragma once

// The view "Наблюдение" as numbers and texts: what each front end draws
// and shows, made from an Observation in one place. The two drawings are
// lists of lines, texts and markers in the picture box's own pixels (96 to
// the inch, origin at its top left); a front end scales them to its screen
// and draws them as given. The figures, the table and the descriptions for
// screen readers are texts, with the user's decimal separator.
//
//  - "Температура във времето": the temperature over the last 60 s of
//    running, red while the heater is on and blue while it is off (the
//    gauge's colours), the two thresholds as dashed lines, axes 0-100 and
//    seconds (0 is now).
//  - "Хистерезисна примка": the heater's state (on above, off below)
//    against the temperature: the path of the last two cycles, rising on
//    the "on" level and falling on the "off" level, with a vertical step at
//    each switching, and the current point.

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
    bool dashed = false;
    bool operator==(const PlotLine&) const = default;
};

enum class TextAnchor { Start, Middle, End };

// A text whose anchor point lies at (x, y); y is the middle of its line.
struct PlotText {
    double x = 0, y = 0;
    std::string text;
    TextAnchor anchor = TextAnchor::Start;
};

struct PlotMarker {
    double x = 0, y = 0, radius = 0;
    design::Rgb colour{};
};

struct Plot {
    double width = 0, height = 0;  // pixels
    std::vector<PlotLine> lines;   // in drawing order
    std::vector<PlotText> texts;
    std::vector<PlotMarker> markers;
    std::string description;  // for screen readers, kept current
};

struct ObservationPicture {
    Plot trace;
    Plot loop;
    std::array<std::string, 3> figures;            // switchings, a minute, mean time
    std::vector<std::array<std::string, 5>> rows;  // under kBandsTableHeaders
};

// How many cycles the loop shows.
inline constexpr int kLoopCycles = 2;

ObservationPicture DrawObservation(const Observation& observation, const NumberFormat& format);

}  // namespace regulator
