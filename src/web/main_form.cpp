#include "main_form.h"

#include "page_imports.h"
#include "widget_table.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace web_window {

namespace {

// The page's clock in milliseconds, the schedule's in microseconds.
std::int64_t Microseconds(double milliseconds) { return std::llround(milliseconds * 1000); }

// A length of the picture box's drawing in the page's pixels.
double Pixels(double twips) { return twips / design::PixelsToTwips(1); }

// How many numbers describe a line, and a marker, in the buffers handed to
// the page (page_imports.h).
constexpr std::size_t kLineNumbers = 9;
constexpr std::size_t kMarkerNumbers = 6;

const char* SvgAnchor(regulator::TextAnchor anchor) {
    switch (anchor) {
        case regulator::TextAnchor::Start:
            return "start";
        case regulator::TextAnchor::Middle:
            return "middle";
        case regulator::TextAnchor::End:
            return "end";
    }
    return "start";
}

bool SameText(const regulator::PlotText& a, const regulator::PlotText& b) {
    return a.x == b.x && a.y == b.y && a.anchor == b.anchor && a.text == b.text;
}

}  // namespace

MainForm::MainForm(regulator::NumberFormat format)
    : logic_(*this, std::move(format)), schedule_(std::int64_t{design::kTimerIntervalMs} * 1000) {}

void MainForm::VScroll1_UserChange(regulator::ScrollRequest request, int position) {
    // The bar's thumb reports where it was let go as it is; every other
    // request lands within the scale.
    logic_.VScroll1_UserChange(
        request == regulator::ScrollRequest::Position ? position : regulator::ScrollTarget(logic_.Scale(), request));
}

unsigned MainForm::Timer1Started(double nowMs) {
    schedule_.Start(Microseconds(nowMs));
    return static_cast<unsigned>(schedule_.PeriodUs() / 1000);
}

unsigned MainForm::Timer1Fired(double nowMs) {
    if (!logic_.Timer1Enabled()) return 0;  // it fired as it was stopped
    const regulator::TickSchedule::Step step = schedule_.OnTimer(Microseconds(nowMs));
    if (step.tick) logic_.Timer1_Timer();
    return logic_.Timer1Enabled() ? step.rearmDelayMs : 0;
}

void MainForm::FailUnexpected(const std::string& what) { logic_.Fail(regulator::UnexpectedErrorDescription(what)); }

std::string MainForm::Text2(int index) const {
    std::string text(static_cast<std::size_t>(web_text2_length(index)), '\0');
    web_text2_copy(index, text.data(), static_cast<int>(text.size()) + 1);
    return text;
}

void MainForm::SetText2(int index, const std::string& text) { web_text2_set(index, text.c_str()); }

void MainForm::ShowVScroll1(const regulator::ScaleState& scale) {
    web_vscroll1_show(scale.min, scale.max, scale.value, regulator::Temperature(scale.max, scale.max),
                      regulator::Temperature(scale.max, scale.min));
}

void MainForm::ReportVScroll1Value(std::int16_t temperature) { web_vscroll1_report(temperature); }

void MainForm::ShowOption1(int index) { web_option1_show(index); }

void MainForm::SetTimer1Enabled(bool enabled) { web_timer1_enable(enabled ? 1 : 0); }

double MainForm::Picture1WidthTwips() const { return design::PixelsToTwips(web_picture1_width()); }

double MainForm::Picture1HeightTwips() const { return design::PixelsToTwips(web_picture1_height()); }

void MainForm::Picture1Cls() { web_picture1_cls(); }

void MainForm::Picture1FillBox(const regulator::GaugeBox& box) {
    const auto [x1, y1] = box.corner1;
    const auto [x2, y2] = box.corner2;
    web_picture1_fill(Pixels(std::min(x1, x2)), Pixels(std::min(y1, y2)), Pixels(std::abs(x2 - x1)),
                      Pixels(std::abs(y2 - y1)), box.colour.r, box.colour.g, box.colour.b);
}

void MainForm::ShowReadout(const std::string& caption, std::int16_t temperature) {
    web_readout(caption.c_str(), temperature);
}

void MainForm::DescribeGauge(const std::string& description) { web_picture1_describe(description.c_str()); }

void MainForm::Announce(regulator::Message, const std::string& text) { web_announce(text.c_str()); }

void MainForm::ShowObservationView(bool shown) { web_observation_show(shown ? 1 : 0); }

void MainForm::ShowObservation(const regulator::ObservationPicture& picture) {
    if (plotsShown_.size() != picture.plots.size()) plotsShown_.resize(picture.plots.size());
    for (std::size_t i = 0; i < picture.plots.size(); ++i) ShowPlot(static_cast<int>(i), picture.plots[i]);
    if (figuresShown_.size() != picture.figures.size()) figuresShown_.resize(picture.figures.size());
    for (std::size_t i = 0; i < picture.figures.size(); ++i) {
        if (picture.figures[i] == figuresShown_[i]) continue;
        figuresShown_[i] = picture.figures[i];
        web_observation_figure(static_cast<int>(i), figuresShown_[i].c_str());
    }
    if (picture.rows != rowsShown_) {
        web_bands_rows(static_cast<int>(picture.rows.size()));
        for (std::size_t row = 0; row < picture.rows.size(); ++row) {
            for (std::size_t column = 0; column < picture.rows[row].size(); ++column) {
                if (row < rowsShown_.size() && rowsShown_[row][column] == picture.rows[row][column]) continue;
                web_bands_cell(static_cast<int>(row), static_cast<int>(column), picture.rows[row][column].c_str());
            }
        }
        rowsShown_ = picture.rows;
    }
}

void MainForm::ShowPlot(int index, const regulator::Plot& plot) {
    PlotShown& shown = plotsShown_[static_cast<std::size_t>(index)];
    if (!regulator::SameShapes(plot, shown.shapes)) {
        DrawPlot(index, plot);
        shown.shapes.width = plot.width;
        shown.shapes.height = plot.height;
        shown.shapes.lines = plot.lines;
        shown.shapes.markers = plot.markers;
    }
    ShowPlotTexts(index, plot, shown);
}

void MainForm::DrawPlot(int index, const regulator::Plot& plot) {
    // The buffers keep their room from one tick to the next.
    lineNumbers_.resize(plot.lines.size() * kLineNumbers);
    double* number = lineNumbers_.data();
    for (const regulator::PlotLine& line : plot.lines) {
        *number++ = line.x1;
        *number++ = line.y1;
        *number++ = line.x2;
        *number++ = line.y2;
        *number++ = line.colour.r;
        *number++ = line.colour.g;
        *number++ = line.colour.b;
        *number++ = line.width;
        *number++ = line.dashed ? 1 : 0;
    }
    markerNumbers_.resize(plot.markers.size() * kMarkerNumbers);
    number = markerNumbers_.data();
    for (const regulator::PlotMarker& marker : plot.markers) {
        *number++ = marker.x;
        *number++ = marker.y;
        *number++ = marker.radius;
        *number++ = marker.colour.r;
        *number++ = marker.colour.g;
        *number++ = marker.colour.b;
    }
    web_plot_draw(index, plot.width, plot.height, lineNumbers_.data(),
                  static_cast<int>(lineNumbers_.size() / kLineNumbers), markerNumbers_.data(),
                  static_cast<int>(markerNumbers_.size() / kMarkerNumbers));
}

void MainForm::ShowPlotTexts(int index, const regulator::Plot& plot, PlotShown& shown) {
    if (plot.texts.size() != shown.texts.size()) web_plot_texts(index, static_cast<int>(plot.texts.size()));
    for (std::size_t i = 0; i < plot.texts.size(); ++i) {
        const regulator::PlotText& text = plot.texts[i];
        if (i < shown.texts.size() && SameText(text, shown.texts[i])) continue;
        web_plot_text(index, static_cast<int>(i), text.x, text.y, SvgAnchor(text.anchor), text.text.c_str());
    }
    if (plot.texts.size() != shown.texts.size() ||
        !std::equal(plot.texts.begin(), plot.texts.end(), shown.texts.begin(), SameText)) {
        shown.texts = plot.texts;
    }
    if (plot.description != shown.description) {
        shown.description = plot.description;
        web_plot_describe(index, shown.description.c_str());
    }
}

void MainForm::PutOnClipboard(const std::string& text) { web_clipboard(text.c_str()); }

void MainForm::ShowFatalError(const std::string& description) {
    web_fail(regulator::PageFatalErrorMessage(description).c_str());
}

}  // namespace web_window
