// The view "Наблюдение" beyond its first two drawings: the exercise's answer
// (switchings a minute against the band's width) drawn from real runs of the
// regulator, and where the view goes beside the main window on the screens
// schools have.

#include "observation_view.h"
#include "regulator.h"
#include "texts.h"
#include "view_design.h"
#include "view_placement.h"
#include "widget_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace regulator::testing {
namespace {

namespace view = design::view;

// The regulator on the widget model, observed as the window observes it.
struct ObservedRig {
    Rig rig;
    Observation observation{design::kTimerIntervalMs};

    ObservedRig() {
        rig.regulator.Command1_Click(kStartButton);
        observation.OnStart();
    }
    void Run(const char* lower, const char* upper, int ticks) {
        rig.SetThresholds(lower, upper);
        for (int i = 0; i < ticks; ++i) {
            rig.regulator.Timer1_Timer();
            const RegulatorState& state = rig.regulator.State();
            observation.OnTick({rig.widgets.Temperature(), state.HeaterOn, state.LowerThreshold, state.UpperThreshold});
        }
    }
    Plot Rate() const {
        ObservationPicture picture = DrawObservation(observation, {});
        const auto rate = std::find_if(picture.plots.begin(), picture.plots.end(),
                                       [](const Plot& plot) { return std::strcmp(plot.name, "Rate") == 0; });
        if (rate == picture.plots.end()) throw std::logic_error("no rate drawing");
        return *rate;
    }
};

// An axis read back from its labels: where 0 and the last label lie, and
// the labels' values in order.
struct ReadAxis {
    std::vector<double> values;
    double zeroAt = 0, endAt = 0;
    double At(double value) const { return zeroAt + value / values.back() * (endAt - zeroAt); }
};

ReadAxis Labels(const Plot& plot, TextAnchor anchor) {
    ReadAxis axis;
    for (const PlotText& text : plot.texts) {
        if (text.anchor != anchor) continue;
        const double value = std::stod(text.text);
        const double at = anchor == TextAnchor::Middle ? text.x : text.y;
        if (axis.values.empty()) axis.zeroAt = at;
        axis.values.push_back(value);
        axis.endAt = at;
    }
    return axis;
}

// Round: 0, s, 2s, ... with s one of 1, 2, 5 times a power of ten, and no
// more intervals than the design allows.
void ExpectRound(const ReadAxis& axis, const char* which) {
    ASSERT_GE(axis.values.size(), 2u) << which;
    const double step = axis.values[1];
    const double power = std::pow(10.0, std::floor(std::log10(step)));
    const double mantissa = step / power;
    EXPECT_TRUE(std::abs(mantissa - 1) < 1e-9 || std::abs(mantissa - 2) < 1e-9 || std::abs(mantissa - 5) < 1e-9)
        << which << " step " << step;
    EXPECT_LE(axis.values.size() - 1, static_cast<std::size_t>(view::kMostIntervals)) << which;
    for (std::size_t i = 0; i < axis.values.size(); ++i) {
        EXPECT_NEAR(axis.values[i], step * static_cast<double>(i), 1e-9) << which;
    }
}

const PlotMarker* MarkerNear(const Plot& plot, double x, double y, double radius) {
    for (const PlotMarker& marker : plot.markers) {
        if (std::abs(marker.x - x) < 1e-6 && std::abs(marker.y - y) < 1e-6 && marker.radius == radius) return &marker;
    }
    return nullptr;
}

TEST(RateDrawing, ShowsEachBandAtItsWidthTheRulesCurveAndTheBandInForce) {
    struct Band {
        const char* lower;
        const char* upper;
        int ticks;
    };
    struct Case {
        const char* name;
        std::vector<Band> bands;
        std::vector<std::pair<double, double>> points;  // width, measured rate, in the table's order
        std::optional<std::pair<double, double>> inForce;
        const char* trend;  // nullptr: no band measured yet
    };
    const Case cases[] = {
        {"one band", {{"81", "90", 90 + 18 * 4}}, {{9, 600.0 / 9}}, {{9, 600.0 / 9}}, design::texts::kRateOneWidth},
        {"the band widened",
         {{"81", "90", 90 + 18 * 4}, {"70", "90", 11 + 40 * 3}},
         {{9, 600.0 / 9}, {20, 30}},
         {{20, 30}},
         design::texts::kRateFalling},
        {"equal thresholds switch every tick",
         {{"81", "90", 90 + 18 * 4}, {"50", "50", 40 + 2 * 6}},
         {{9, 600.0 / 9}, {0, 600}},
         {{0, 600}},
         design::texts::kRateFalling},
        {"before a whole cycle the band in force sits on the curve", {{"81", "90", 50}}, {}, {{9, 600.0 / 9}}, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ObservedRig run;
        for (const Band& band : c.bands) run.Run(band.lower, band.upper, band.ticks);
        const Plot plot = run.Rate();

        const ReadAxis widths = Labels(plot, TextAnchor::Middle), rates = Labels(plot, TextAnchor::End);
        ExpectRound(widths, "widths");
        ExpectRound(rates, "rates");
        const double left = view::kRateMargins.left, right = plot.width - view::kRateMargins.right;
        const double top = view::kRateMargins.top, bottom = plot.height - view::kRateMargins.bottom;
        EXPECT_DOUBLE_EQ(widths.zeroAt, left);
        EXPECT_DOUBLE_EQ(widths.endAt, right);
        EXPECT_DOUBLE_EQ(rates.zeroAt, bottom);
        EXPECT_DOUBLE_EQ(rates.endAt, top);

        // A point for each band at its width and measured rate.
        std::size_t points = 0;
        for (const auto& [width, rate] : c.points) {
            EXPECT_NE(MarkerNear(plot, widths.At(width), rates.At(rate), view::kPointRadius), nullptr)
                << "width " << width << " rate " << rate;
        }
        for (const PlotMarker& marker : plot.markers) points += marker.radius == view::kPointRadius;
        EXPECT_EQ(points, c.points.size());
        // The band in force marked as the loop marks its point.
        ASSERT_TRUE(c.inForce.has_value());
        const PlotMarker* current =
            MarkerNear(plot, widths.At(c.inForce->first), rates.At(c.inForce->second), view::kMarkerRadius);
        ASSERT_NE(current, nullptr);
        EXPECT_EQ(current->colour, view::kCurrentPointColour);

        // The curve passes through the rule at every width of the table, the
        // same value as the table's "По правилото"; it stays on the drawing.
        std::vector<PlotLine> curve;
        for (const PlotLine& line : plot.lines) {
            if (line.colour == view::kCurveColour) curve.push_back(line);
        }
        ASSERT_FALSE(curve.empty());
        for (const BandRow& row : run.observation.Bands()) {
            const bool through = std::any_of(curve.begin(), curve.end(), [&](const PlotLine& line) {
                return (std::abs(line.x1 - widths.At(row.width)) < 1e-6 &&
                        std::abs(line.y1 - rates.At(row.predictedSwitchingsPerMinute)) < 1e-6) ||
                       (std::abs(line.x2 - widths.At(row.width)) < 1e-6 &&
                        std::abs(line.y2 - rates.At(row.predictedSwitchingsPerMinute)) < 1e-6);
            });
            EXPECT_TRUE(through) << "width " << row.width;
        }
        for (const PlotLine& line : curve) {
            for (const auto& [x, y] : {std::pair{line.x1, line.y1}, std::pair{line.x2, line.y2}}) {
                EXPECT_TRUE(x >= left - 1e-9 && x <= right + 1e-9 && y >= top - 1e-9 && y <= bottom + 1e-9)
                    << x << ", " << y;
            }
        }

        // Screen readers hear each band tried and the trend.
        if (c.trend == nullptr) {
            EXPECT_EQ(plot.description.rfind(design::texts::kRateEmpty, 0), 0u) << plot.description;
        } else {
            EXPECT_NE(plot.description.find(c.trend), std::string::npos) << plot.description;
            for (const BandRow& row : run.observation.Bands()) {
                EXPECT_NE(plot.description.find("при " + NumberToText(row.width, {}) + " – " +
                                                FormatNumber(row.switchingsPerMinute, 1, {})),
                          std::string::npos)
                    << plot.description;
            }
        }
    }
}

// A screen with a task bar at the bottom, and the two windows at its DPI as
// a desktop frames them: a border on three sides and a title bar.
struct Screen {
    int width, height, dpi;
};

int Scaled(double pixels, int dpi) { return static_cast<int>(std::lround(pixels * dpi / design::kStandardDpi)); }

TEST(ViewPlacement, NeverCoversTheMainWindowWhereTheScreenHoldsBothAndNeverLeavesTheWorkArea) {
    enum class Arrangement { Beside, MovedBeside, Overlapping };
    struct Case {
        Screen screen;
        Arrangement expected;
    };
    using A = Arrangement;
    const Case cases[] = {
        {{1024, 768, 96}, A::MovedBeside}, {{1024, 768, 120}, A::Overlapping}, {{1024, 768, 144}, A::Overlapping},
        {{1280, 800, 96}, A::MovedBeside}, {{1280, 800, 120}, A::MovedBeside}, {{1280, 800, 144}, A::Overlapping},
        {{1366, 768, 96}, A::MovedBeside}, {{1366, 768, 120}, A::MovedBeside}, {{1366, 768, 144}, A::Overlapping},
        {{1440, 900, 96}, A::MovedBeside}, {{1440, 900, 120}, A::MovedBeside}, {{1440, 900, 144}, A::Overlapping},
        {{1920, 1080, 96}, A::Beside},     {{1920, 1080, 120}, A::Beside},     {{1920, 1080, 144}, A::MovedBeside},
    };
    for (const Case& c : cases) {
        const int dpi = c.screen.dpi;
        SCOPED_TRACE(std::to_string(c.screen.width) + "x" + std::to_string(c.screen.height) + " at " +
                     std::to_string(dpi) + " DPI");
        const int border = Scaled(3, dpi), title = Scaled(26, dpi);
        const ScreenRect work{0, 0, c.screen.width, c.screen.height - Scaled(40, dpi)};
        const int mainWidth = design::TwipsToWholePixels(design::kClientWidthTwips, dpi) + 2 * border;
        const int mainHeight = design::TwipsToWholePixels(design::kClientHeightTwips, dpi) + title + border;
        // The main window opens centred on the work area.
        const ScreenRect main{(work.width - mainWidth) / 2, (work.height - mainHeight) / 2, mainWidth, mainHeight};
        PlacementRequest request;
        request.work = work;
        request.main = main;
        request.viewWidth = design::TwipsToWholePixels(design::kObservationWidthTwips, dpi) + 2 * border;
        request.viewHeight = design::TwipsToWholePixels(design::kObservationHeightTwips, dpi) + title + border;
        request.viewLeastHeight = design::TwipsToWholePixels(LeastObservationHeightTwips(), dpi) + title + border;
        request.mainControlsBottom = title + design::TwipsToWholePixels(MainControlsBottomTwips(), dpi);
        request.gap = Scaled(view::kGapPixels, dpi);

        const ViewPlacement placed = PlaceView(request);
        // Sizes kept, as high as designed where the screen allows it.
        EXPECT_EQ(placed.main.width, main.width);
        EXPECT_EQ(placed.main.height, main.height);
        EXPECT_EQ(placed.view.width, request.viewWidth);
        if (c.expected != A::Overlapping) EXPECT_EQ(placed.view.height, std::min(request.viewHeight, work.height));
        // Both within the work area.
        for (const ScreenRect& r : {placed.main, placed.view}) {
            EXPECT_GE(r.left, work.left);
            EXPECT_GE(r.top, work.top);
            EXPECT_LE(r.Right(), work.Right());
            EXPECT_LE(r.Bottom(), work.Bottom());
        }
        const ScreenRect controls{placed.main.left, placed.main.top, placed.main.width, request.mainControlsBottom};
        EXPECT_FALSE(placed.view.Intersects(controls));
        switch (c.expected) {
            case A::Beside:
                EXPECT_EQ(placed.main, main);
                EXPECT_EQ(placed.view.left, main.Right() + request.gap);
                EXPECT_FALSE(placed.view.Intersects(placed.main));
                break;
            case A::MovedBeside:
                EXPECT_NE(placed.main, main);
                EXPECT_EQ(placed.main.top, main.top);
                EXPECT_EQ(placed.view.left, placed.main.Right() + request.gap);
                EXPECT_FALSE(placed.view.Intersects(placed.main));
                // As little as needed: the pair touches the work area's edge.
                EXPECT_EQ(placed.view.Right(), work.Right());
                break;
            case A::Overlapping:
                // Only where neither side by side nor one above the other fits.
                EXPECT_GT(main.width + request.gap + request.viewWidth, work.width);
                EXPECT_GT(main.height + request.gap + request.viewLeastHeight, work.height);
                EXPECT_EQ(placed.main.top, work.top);
                EXPECT_EQ(placed.view.top, placed.main.top + request.mainControlsBottom + request.gap);
                EXPECT_EQ(placed.view.Bottom(), work.Bottom());
                break;
        }
    }
}

TEST(ViewPlacement, StacksTheTwoWhereOnlyOneAboveTheOtherFits) {
    // A tall narrow screen (a portrait monitor).
    PlacementRequest request;
    request.work = {0, 0, 800, 1240};
    request.main = {160, 400, 482, 422};
    request.viewWidth = 482;
    request.viewHeight = 713;
    request.viewLeastHeight = 475;
    request.mainControlsBottom = 268;
    request.gap = 8;
    const ViewPlacement placed = PlaceView(request);
    EXPECT_EQ(placed.main.left, 160);
    EXPECT_EQ(placed.view.top, placed.main.Bottom() + 8);
    EXPECT_EQ(placed.view.height, 713);
    EXPECT_LE(placed.view.Bottom(), 1240);
    EXPECT_FALSE(placed.view.Intersects(placed.main));
}

TEST(ViewLayout, ALowerViewShrinksOnlyItsDrawingsAndKeepsEverythingElseInOrder) {
    const auto table = design::ObservationTable();
    const std::vector<TwipsBox> designed = LayOutObservation(design::kObservationHeightTwips);
    ASSERT_EQ(designed.size(), table.size());
    for (std::size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(designed[i], (TwipsBox{table[i].left, table[i].top, table[i].width, table[i].height}));
    }
    const int least = LeastObservationHeightTwips();
    for (const int height : {design::kObservationHeightTwips - 1500, least}) {
        SCOPED_TRACE(height);
        const std::vector<TwipsBox> boxes = LayOutObservation(height);
        const int missing = design::kObservationHeightTwips - height;
        int given = 0;
        for (std::size_t i = 0; i < table.size(); ++i) {
            const bool drawing = table[i].kind == design::WidgetKind::PictureBox;
            EXPECT_EQ(boxes[i].width, table[i].width);
            if (!drawing) EXPECT_EQ(boxes[i].height, table[i].height) << table[i].name;
            if (drawing) EXPECT_GE(boxes[i].height, table[i].height * view::kLeastDrawingShare - 1) << table[i].name;
            if (drawing) given += table[i].height - boxes[i].height;
            if (i > 0) EXPECT_GE(boxes[i].top, boxes[i - 1].top + (table[i].top - table[i - 1].top > 0 ? 1 : 0));
        }
        // The last widget ends as far above the bottom as designed, give or
        // take the rounding of the shares.
        EXPECT_NEAR(given, missing, 3);
        EXPECT_LE(boxes.back().top + boxes.back().height,
                  height - (design::kObservationHeightTwips - table.back().top - table.back().height) + 3);
    }
}

}  // namespace
}  // namespace regulator::testing
