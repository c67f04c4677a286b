#include "observation_view.h"

#include "texts.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <utility>

namespace regulator {
namespace {

namespace texts = design::texts;

constexpr design::Rgb kAxis{0, 0, 0};
constexpr double kTickLength = 4;
constexpr double kTraceWidth = 2;

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

double PictureWidth(const char* name) { return design::TwipsToPixels(design::FindWidgetSpec(name).width); }
double PictureHeight(const char* name) { return design::TwipsToPixels(design::FindWidgetSpec(name).height); }

// The plotting area of a drawing and its scales.
struct Frame {
    double left, top, right, bottom;
    double X(double fraction) const { return left + fraction * (right - left); }
    double Y(double fraction) const { return bottom - fraction * (bottom - top); }  // 0 at the bottom
};

void Axes(Plot& plot, const Frame& frame) {
    plot.lines.push_back({frame.left, frame.top, frame.left, frame.bottom, kAxis});
    plot.lines.push_back({frame.left, frame.bottom, frame.right, frame.bottom, kAxis});
}

// Ticks and labels 0, 50 and 100 along the temperature's axis.
void TemperatureScale(Plot& plot, const Frame& frame, bool vertical) {
    for (int t : {0, 50, 100}) {
        const std::string label = IntegerToText(static_cast<std::int16_t>(t));
        if (vertical) {
            const double y = frame.Y(t / 100.0);
            plot.lines.push_back({frame.left - kTickLength, y, frame.left, y, kAxis});
            plot.texts.push_back({frame.left - kTickLength - 2, y, label, TextAnchor::End});
        } else {
            const double x = frame.X(t / 100.0);
            plot.lines.push_back({x, frame.bottom, x, frame.bottom + kTickLength, kAxis});
            plot.texts.push_back({x, frame.bottom + kTickLength + 8, label, TextAnchor::Middle});
        }
    }
}

design::Rgb StateColour(bool heaterOn) { return heaterOn ? design::kGaugeRed : design::kGaugeBlue; }

std::string Decimal(double value, const NumberFormat& format) { return FormatNumber(value, 1, format); }

Plot DrawTrace(const Observation& observation, const NumberFormat& format) {
    Plot plot;
    plot.width = PictureWidth("Trace");
    plot.height = PictureHeight("Trace");
    const Frame frame{34, 10, plot.width - 12, plot.height - 24};
    const double seconds = Observation::kTickCapacity * observation.TickMilliseconds() / 1000.0;
    Axes(plot, frame);
    TemperatureScale(plot, frame, true);
    for (int s = 0; s <= 60; s += 15) {
        const double x = frame.X(1 - s / 60.0);
        plot.lines.push_back({x, frame.bottom, x, frame.bottom + kTickLength, kAxis});
        plot.texts.push_back({x, frame.bottom + kTickLength + 8,
                              s == 0 ? "0" : "-" + IntegerToText(static_cast<std::int16_t>(s)), TextAnchor::Middle});
    }
    plot.texts.push_back({frame.right + 10, frame.bottom + kTickLength + 8, texts::kAxisSeconds, TextAnchor::End});

    const auto& ticks = observation.Ticks();
    const auto band = observation.CurrentBand();
    if (ticks.empty() || !band) {
        plot.description = texts::kTraceEmpty;
        return plot;
    }
    for (double threshold : {band->lower, band->upper}) {
        const double y = frame.Y(std::clamp(threshold, 0.0, 100.0) / 100.0);
        plot.lines.push_back({frame.left, y, frame.right, y, design::kChromeDarkShadow, 1, true});
    }
    const std::int64_t newest = ticks.back().tick;
    const auto x = [&](std::int64_t tick) {
        const double age = static_cast<double>(newest - tick) * observation.TickMilliseconds() / 1000.0;
        return frame.X(1 - age / seconds);
    };
    const auto y = [&](int temperature) { return frame.Y(temperature / 100.0); };
    for (std::size_t i = 1; i < ticks.size(); ++i) {
        plot.lines.push_back({x(ticks[i - 1].tick), y(ticks[i - 1].temperature), x(ticks[i].tick),
                              y(ticks[i].temperature), StateColour(ticks[i].heaterOn), kTraceWidth});
    }
    const RunSummary summary = observation.Summary();
    plot.description =
        Fill(texts::kTraceSwing, {{"seconds", NumberToText(std::round(summary.seconds), format)},
                                  {"min", IntegerToText(static_cast<std::int16_t>(summary.minTemperature))},
                                  {"max", IntegerToText(static_cast<std::int16_t>(summary.maxTemperature))}}) +
        Fill(texts::kTraceBand,
             {{"lower", NumberToText(band->lower, format)}, {"upper", NumberToText(band->upper, format)}}) +
        Fill(texts::kTraceRate, {{"rate", Decimal(summary.switchingsPerMinute, format)}});
    return plot;
}

Plot DrawLoop(const Observation& observation, const NumberFormat& format) {
    Plot plot;
    plot.width = PictureWidth("Loop");
    plot.height = PictureHeight("Loop");
    const Frame frame{44, 10, plot.width - 12, plot.height - 24};
    Axes(plot, frame);
    TemperatureScale(plot, frame, false);
    const auto level = [&](bool on) { return frame.Y(on ? 0.75 : 0.25); };
    for (bool on : {true, false}) {
        plot.lines.push_back({frame.left - kTickLength, level(on), frame.left, level(on), kAxis});
        plot.texts.push_back(
            {frame.left - kTickLength - 2, level(on), on ? texts::kLoopOn : texts::kLoopOff, TextAnchor::End});
    }

    const auto& ticks = observation.Ticks();
    const auto band = observation.CurrentBand();
    if (ticks.empty() || !band) {
        plot.description = texts::kLoopEmpty;
        return plot;
    }
    const auto x = [&](double temperature) { return frame.X(std::clamp(temperature, 0.0, 100.0) / 100.0); };
    for (double threshold : {band->lower, band->upper}) {
        plot.lines.push_back({x(threshold), frame.top, x(threshold), frame.bottom, design::kChromeDarkShadow, 1, true});
    }
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
                                  level(next.heaterOn), colour, kTraceWidth});
        }
        if (next.temperature != previous.temperature) {
            plot.lines.push_back({x(previous.temperature), level(next.heaterOn), x(next.temperature),
                                  level(next.heaterOn), colour, kTraceWidth});
        }
        previous = next;
    };
    for (std::size_t i = start + 1; i < ticks.size(); ++i) {
        path({ticks[i].temperature, ticks[i].heaterOn});
    }
    const LoopPoint now = observation.CurrentPoint();
    path(now);
    plot.markers.push_back({x(now.temperature), level(now.heaterOn), 4, StateColour(now.heaterOn)});
    plot.description = Fill(texts::kLoopBand, {{"lower", NumberToText(band->lower, format)},
                                               {"upper", NumberToText(band->upper, format)}}) +
                       Fill(now.heaterOn ? texts::kLoopNowOn : texts::kLoopNowOff,
                            {{"temperature", IntegerToText(static_cast<std::int16_t>(now.temperature))}});
    return plot;
}

}  // namespace

ObservationPicture DrawObservation(const Observation& observation, const NumberFormat& format) {
    ObservationPicture picture{DrawTrace(observation, format), DrawLoop(observation, format), {}, {}};
    const auto band = observation.CurrentBand();
    const std::int64_t switchings = band ? band->switchings : 0;
    picture.figures[0] = texts::kSwitchingsFigure + std::to_string(switchings);
    picture.figures[1] =
        std::string(texts::kPerMinuteFigure) +
        (band && band->switchingsPerMinute ? Decimal(*band->switchingsPerMinute, format) : texts::kNoFigure);
    picture.figures[2] = std::string(texts::kMeanTimeFigure) +
                         (band && band->meanSecondsBetweenSwitchings
                              ? Decimal(*band->meanSecondsBetweenSwitchings, format) + texts::kSecondsUnit
                              : std::string(texts::kNoFigure));
    picture.rows = observation.BandsTableCells(format);
    return picture;
}

}  // namespace regulator
