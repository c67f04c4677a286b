#include "observation_view.h"

#include "texts.h"
#include "view_design.h"
#include "view_placement.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <utility>

namespace regulator {
namespace {

namespace texts = design::texts;
namespace view = design::view;

constexpr design::Rgb kAxis = view::kAxisColour;
constexpr double kTickLength = view::kTickLength;

// A template's {name}s replaced by the values given.
std::string Fill(std::string_view pattern, std::initializer_list<std::pair<std::string_view, std::string>> values) {
    std::string text(pattern);
    for (const auto& [name, value] : values) {
        const std::string key = "{" + std::string(name) + "}";
        for (auto at = text.find(key); at != std::string::npos; at = text.find(key, at + value.size())) {
            text.replace(at, key.size(), value);
        }
    }
    return text;
}

// The plotting area of a drawing and its scales.
struct Frame {
    Frame(const Plot& plot, const view::Margins& margins)
        : left(margins.left),
          top(margins.top),
          right(plot.width - margins.right),
          bottom(plot.height - margins.bottom) {}
    double left, top, right, bottom;
    double X(double fraction) const { return left + fraction * (right - left); }
    double Y(double fraction) const { return bottom - fraction * (bottom - top); }  // 0 at the bottom
};

void Axes(Plot& plot, const Frame& frame) {
    plot.lines.push_back({frame.left, frame.top, frame.left, frame.bottom, kAxis, view::kAxisWidth});
    plot.lines.push_back({frame.left, frame.bottom, frame.right, frame.bottom, kAxis, view::kAxisWidth});
}

// A tick and its label at `fraction` along the vertical or the horizontal
// axis.
void VerticalTick(Plot& plot, const Frame& frame, double fraction, std::string label) {
    const double y = frame.Y(fraction);
    plot.lines.push_back({frame.left - kTickLength, y, frame.left, y, kAxis, view::kAxisWidth});
    plot.texts.push_back({frame.left - kTickLength - view::kLabelGap, y, std::move(label), TextAnchor::End});
}
void HorizontalTick(Plot& plot, const Frame& frame, double fraction, std::string label) {
    const double x = frame.X(fraction);
    plot.lines.push_back({x, frame.bottom, x, frame.bottom + kTickLength, kAxis, view::kAxisWidth});
    plot.texts.push_back({x, frame.bottom + kTickLength + view::kLabelBelow, std::move(label), TextAnchor::Middle});
}
// The unit of the horizontal axis, at its right end.
void HorizontalUnit(Plot& plot, const Frame& frame, const char* unit) {
    plot.texts.push_back(
        {frame.right + view::kUnitRight, frame.bottom + kTickLength + view::kLabelBelow, unit, TextAnchor::End});
}
// A threshold across the plotting area.
void Threshold(Plot& plot, double x1, double y1, double x2, double y2) {
    plot.lines.push_back({x1, y1, x2, y2, view::kThresholdColour, view::kThresholdWidth, true});
}

// Ticks and labels along the temperature's axis.
void TemperatureScale(Plot& plot, const Frame& frame, bool vertical) {
    for (int t : view::kTemperatureLabels) {
        std::string label = IntegerToText(static_cast<std::int16_t>(t));
        if (vertical) {
            VerticalTick(plot, frame, t / 100.0, std::move(label));
        } else {
            HorizontalTick(plot, frame, t / 100.0, std::move(label));
        }
    }
}

design::Rgb StateColour(bool heaterOn) { return heaterOn ? design::kGaugeRed : design::kGaugeBlue; }

std::string Decimal(double value, const NumberFormat& format) { return FormatNumber(value, 1, format); }

void DrawTrace(Plot& plot, const Observation& observation, const NumberFormat& format) {
    const Frame frame(plot, view::kTraceMargins);
    // The span the ring of ticks keeps, labelled back from now.
    const double seconds = static_cast<double>(Observation::kTickCapacity) * observation.TickMilliseconds() / 1000.0;
    Axes(plot, frame);
    TemperatureScale(plot, frame, true);
    for (int s = 0; s <= seconds; s += view::kTimeLabelSeconds) {
        HorizontalTick(plot, frame, 1 - s / seconds, s == 0 ? "0" : "-" + IntegerToText(static_cast<std::int16_t>(s)));
    }
    HorizontalUnit(plot, frame, texts::kAxisSeconds);

    const auto& ticks = observation.Ticks();
    const auto band = observation.CurrentBand();
    if (ticks.empty() || !band) {
        plot.description = texts::kTraceEmpty;
        return;
    }
    for (double threshold : {band->lower, band->upper}) {
        const double y = frame.Y(std::clamp(threshold, 0.0, 100.0) / 100.0);
        Threshold(plot, frame.left, y, frame.right, y);
    }
    const std::int64_t newest = ticks.back().tick;
    const auto x = [&](std::int64_t tick) {
        const double age = static_cast<double>(newest - tick) * observation.TickMilliseconds() / 1000.0;
        return frame.X(1 - age / seconds);
    };
    const auto y = [&](int temperature) { return frame.Y(temperature / 100.0); };
    for (std::size_t i = 1; i < ticks.size(); ++i) {
        plot.lines.push_back({x(ticks[i - 1].tick), y(ticks[i - 1].temperature), x(ticks[i].tick),
                              y(ticks[i].temperature), StateColour(ticks[i].heaterOn), view::kTraceWidth});
    }
    const RunSummary summary = observation.Summary();
    plot.description =
        Fill(texts::kTraceSwing, {{"seconds", NumberToText(std::round(summary.seconds), format)},
                                  {"min", IntegerToText(static_cast<std::int16_t>(summary.minTemperature))},
                                  {"max", IntegerToText(static_cast<std::int16_t>(summary.maxTemperature))}}) +
        Fill(texts::kTraceBand,
             {{"lower", NumberToText(band->lower, format)}, {"upper", NumberToText(band->upper, format)}}) +
        Fill(texts::kTraceRate, {{"rate", Decimal(summary.switchingsPerMinute, format)}});
}

void DrawLoop(Plot& plot, const Observation& observation, const NumberFormat& format) {
    const Frame frame(plot, view::kLoopMargins);
    Axes(plot, frame);
    TemperatureScale(plot, frame, false);
    const auto fraction = [](bool on) { return on ? view::kLoopOnLevel : view::kLoopOffLevel; };
    const auto level = [&](bool on) { return frame.Y(fraction(on)); };
    for (bool on : {true, false}) VerticalTick(plot, frame, fraction(on), on ? texts::kLoopOn : texts::kLoopOff);

    const auto& ticks = observation.Ticks();
    const auto band = observation.CurrentBand();
    if (ticks.empty() || !band) {
        plot.description = texts::kLoopEmpty;
        return;
    }
    const auto x = [&](double temperature) { return frame.X(std::clamp(temperature, 0.0, 100.0) / 100.0); };
    for (double threshold : {band->lower, band->upper})
        Threshold(plot, x(threshold), frame.top, x(threshold), frame.bottom);
    // Each tick reads the temperature the one before left, switches there,
    // then steps: a switching is a vertical step at the temperature read.
    // The path begins a tick before its first switching, to show it.
    std::size_t start = observation.LoopPathStart(kLoopCycles);
    if (start > 0) --start;
    LoopPoint previous{ticks[start].temperature, ticks[start].heaterOn};
    const auto path = [&](const LoopPoint& next) {
        const design::Rgb colour = StateColour(next.heaterOn);
        if (next.heaterOn != previous.heaterOn) {
            plot.lines.push_back({x(previous.temperature), level(previous.heaterOn), x(previous.temperature),
                                  level(next.heaterOn), colour, view::kTraceWidth});
        }
        if (next.temperature != previous.temperature) {
            plot.lines.push_back({x(previous.temperature), level(next.heaterOn), x(next.temperature),
                                  level(next.heaterOn), colour, view::kTraceWidth});
        }
        previous = next;
    };
    for (std::size_t i = start + 1; i < ticks.size(); ++i) {
        path({ticks[i].temperature, ticks[i].heaterOn});
    }
    const LoopPoint now = observation.CurrentPoint();
    path(now);
    plot.markers.push_back({x(now.temperature), level(now.heaterOn), view::kMarkerRadius, StateColour(now.heaterOn)});
    plot.description = Fill(texts::kLoopBand, {{"lower", NumberToText(band->lower, format)},
                                               {"upper", NumberToText(band->upper, format)}}) +
                       Fill(now.heaterOn ? texts::kLoopNowOn : texts::kLoopNowOff,
                            {{"temperature", IntegerToText(static_cast<std::int16_t>(now.temperature))}});
}

// A round axis from 0: steps of 1, 2 or 5 times a power of ten, at most
// kMostIntervals of them, up to the first step at or above `most` (and
// `least` at the least).
struct RoundAxis {
    double step = 1, end = 1;
    RoundAxis(double most, double least) {
        const double reach = std::max(most, least);
        const double rough = reach / view::kMostIntervals;
        const double power = std::pow(10.0, std::floor(std::log10(rough)));
        for (const double factor : {1.0, 2.0, 5.0, 10.0}) {
            step = factor * power;
            if (step >= rough * (1 - 1e-9)) break;
        }
        end = std::ceil(reach / step * (1 - 1e-12)) * step;
    }
};

// The steady rate the control rules give a band of this width between two
// whole thresholds (the rule of the table's last column).
double RuleForWidth(double width, int tickMilliseconds) {
    constexpr double kLower = 1;  // any whole threshold the scale allows above 0
    return SteadySwitchingsPerMinute(kLower, kLower + width, tickMilliseconds);
}

// The least width span the rule's curve is drawn over, so that a single
// band still shows a line through its point.
constexpr double kLeastCurveSpan = 4;

void DrawRate(Plot& plot, const Observation& observation, const NumberFormat& format) {
    const Frame frame(plot, view::kRateMargins);
    const std::vector<BandRow>& rows = observation.Bands();
    const auto band = observation.CurrentBand();
    const int tick = observation.TickMilliseconds();

    // The widths shown: the table's and the band in force's.
    std::vector<double> widths;
    for (const BandRow& row : rows) widths.push_back(row.width);
    if (band) widths.push_back(band->upper - band->lower);
    double from = 0, to = 0;
    if (!widths.empty()) {
        from = *std::min_element(widths.begin(), widths.end());
        to = *std::max_element(widths.begin(), widths.end());
        if (to - from < kLeastCurveSpan) {
            from = std::max(0.0, (from + to - kLeastCurveSpan) / 2);
            to = from + kLeastCurveSpan;
        }
    }
    // The curve: the rule at every whole width over the span and at each
    // width shown, where the rules give a steady cycle.
    std::vector<double> curveWidths(widths);
    for (double w = std::ceil(from); w <= to; ++w) curveWidths.push_back(w);
    curveWidths.push_back(from);
    curveWidths.push_back(to);
    std::sort(curveWidths.begin(), curveWidths.end());
    curveWidths.erase(std::unique(curveWidths.begin(), curveWidths.end()), curveWidths.end());
    std::vector<std::pair<double, double>> curve;
    if (!widths.empty()) {
        for (const double w : curveWidths) {
            const double rate = RuleForWidth(w, tick);
            if (rate > 0) curve.emplace_back(w, rate);
        }
    }

    // The band in force: at its row's point once it has one, else on the
    // rule's curve.
    std::optional<std::pair<double, double>> current;
    if (band) {
        const auto row = std::find_if(rows.begin(), rows.end(), [&](const BandRow& r) {
            return r.lower == band->lower && r.upper == band->upper;
        });
        if (row != rows.end()) {
            current.emplace(row->width, row->switchingsPerMinute);
        } else if (band->predictedSwitchingsPerMinute > 0) {
            current.emplace(band->upper - band->lower, band->predictedSwitchingsPerMinute);
        }
    }

    double highest = 0;
    for (const BandRow& row : rows) highest = std::max(highest, row.switchingsPerMinute);
    for (const auto& [w, rate] : curve) highest = std::max(highest, rate);
    if (current) highest = std::max(highest, current->second);
    constexpr double kLeastWidthAxis = 10, kLeastRateAxis = 10;
    const RoundAxis across(to, kLeastWidthAxis), up(highest, kLeastRateAxis);
    const auto x = [&](double width) { return frame.X(width / across.end); };
    const auto y = [&](double rate) { return frame.Y(rate / up.end); };

    Axes(plot, frame);
    for (double w = 0; w <= across.end * (1 + 1e-9); w += across.step) {
        HorizontalTick(plot, frame, w / across.end, NumberToText(w, format));
    }
    for (double r = 0; r <= up.end * (1 + 1e-9); r += up.step) {
        VerticalTick(plot, frame, r / up.end, NumberToText(r, format));
    }
    for (std::size_t i = 1; i < curve.size(); ++i) {
        plot.lines.push_back({x(curve[i - 1].first), y(curve[i - 1].second), x(curve[i].first), y(curve[i].second),
                              view::kCurveColour, view::kCurveWidth});
    }
    for (const BandRow& row : rows) {
        plot.markers.push_back({x(row.width), y(row.switchingsPerMinute), view::kPointRadius, view::kPointColour});
    }
    if (current) {
        plot.markers.push_back({x(current->first), y(current->second), view::kMarkerRadius, view::kCurrentPointColour});
    }

    // For screen readers: each band tried by its width, then the trend.
    if (rows.empty()) {
        plot.description = texts::kRateEmpty;
    } else {
        std::vector<const BandRow*> byWidth;
        for (const BandRow& row : rows) byWidth.push_back(&row);
        std::stable_sort(byWidth.begin(), byWidth.end(),
                         [](const BandRow* a, const BandRow* b) { return a->width < b->width; });
        std::string points;
        for (const BandRow* row : byWidth) {
            points += (points.empty() ? "" : texts::kRatePointSeparator) +
                      Fill(texts::kRatePoint, {{"width", NumberToText(row->width, format)},
                                               {"rate", Decimal(row->switchingsPerMinute, format)}});
        }
        // The trend over the widths tried, each width by its mean rate.
        std::vector<std::pair<double, double>> means;
        for (std::size_t i = 0; i < byWidth.size();) {
            std::size_t j = i;
            double sum = 0;
            for (; j < byWidth.size() && byWidth[j]->width == byWidth[i]->width; ++j)
                sum += byWidth[j]->switchingsPerMinute;
            means.emplace_back(byWidth[i]->width, sum / static_cast<double>(j - i));
            i = j;
        }
        bool falling = true, rising = true;
        for (std::size_t i = 1; i < means.size(); ++i) {
            falling = falling && means[i].second < means[i - 1].second;
            rising = rising && means[i].second > means[i - 1].second;
        }
        const char* trend = means.size() < 2 ? texts::kRateOneWidth
                            : falling        ? texts::kRateFalling
                            : rising         ? texts::kRateRising
                                             : texts::kRateMixed;
        plot.description = texts::kRateLead + points + ". " + trend;
    }
    if (band) {
        plot.description += Fill(texts::kRateInForce, {{"width", NumberToText(band->upper - band->lower, format)}});
    }
}

using Drawer = void (*)(Plot&, const Observation&, const NumberFormat&);

// The drawing each picture box of the view's table shows, by its name.
struct NamedDrawer {
    std::string_view name;
    Drawer draw;
};
constexpr std::array kDrawers{
    NamedDrawer{"Trace", DrawTrace},
    NamedDrawer{"Loop", DrawLoop},
    NamedDrawer{"Rate", DrawRate},
};

Drawer DrawerOf(std::string_view name) {
    for (const NamedDrawer& drawer : kDrawers) {
        if (drawer.name == name) return drawer.draw;
    }
    throw std::logic_error("the view has no drawing named " + std::string(name));
}

std::vector<std::string> Figures(const Observation& observation, const NumberFormat& format) {
    const auto band = observation.CurrentBand();
    const std::int64_t switchings = band ? band->switchings : 0;
    return {
        texts::kSwitchingsFigure + std::to_string(switchings),
        std::string(texts::kPerMinuteFigure) +
            (band && band->switchingsPerMinute ? Decimal(*band->switchingsPerMinute, format) : texts::kNoFigure),
        std::string(texts::kMeanTimeFigure) +
            (band && band->meanSecondsBetweenSwitchings
                 ? Decimal(*band->meanSecondsBetweenSwitchings, format) + texts::kSecondsUnit
                 : std::string(texts::kNoFigure)),
    };
}

}  // namespace

bool SameShapes(const Plot& a, const Plot& b) {
    return a.width == b.width && a.height == b.height && a.lines == b.lines && a.markers == b.markers;
}

bool SameDrawing(const Plot& a, const Plot& b) { return SameShapes(a, b) && a.texts == b.texts; }

ObservationPicture DrawObservation(const Observation& observation, const NumberFormat& format, int clientHeightTwips) {
    ObservationPicture picture;
    const auto table = design::ObservationTable();
    const std::vector<TwipsBox> boxes = LayOutObservation(clientHeightTwips);
    std::vector<std::string> figures = Figures(observation, format);
    std::size_t figure = 0;
    for (std::size_t i = 0; i < table.size(); ++i) {
        const design::WidgetSpec& spec = table[i];
        if (spec.kind == design::WidgetKind::PictureBox) {
            Plot& plot = picture.plots.emplace_back();
            plot.name = spec.name;
            plot.width = design::TwipsToPixels(boxes[i].width);
            plot.height = design::TwipsToPixels(boxes[i].height);
            DrawerOf(spec.name)(plot, observation, format);
        } else if (spec.kind == design::WidgetKind::Label && spec.text == nullptr) {
            if (figure == figures.size()) throw std::logic_error("the view has more figures than the program");
            picture.figures.push_back(std::move(figures[figure++]));
        }
    }
    picture.rows = observation.BandsTableCells(format);
    return picture;
}

}  // namespace regulator
