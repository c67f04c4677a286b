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

}  // namespace

MainForm::MainForm(regulator::NumberFormat format)
    : logic_(*this, std::move(format)), schedule_(std::int64_t{design::kTimerIntervalMs} * 1000) {}

void MainForm::VScroll1_UserChange(regulator::ScrollRequest request, int position) {
    // The bar's thumb reports where it was let go as it is; every other
    // request lands within the scale.
    logic_.VScroll1_UserChange(request == regulator::ScrollRequest::Position
                                   ? position
                                   : regulator::ScrollTarget(logic_.Scale(), request));
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

void MainForm::ShowFatalError(const std::string& description) {
    web_fail(regulator::PageFatalErrorMessage(description).c_str());
}

}  // namespace web_window
