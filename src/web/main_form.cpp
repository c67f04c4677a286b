#include "main_form.h"

#include "fatal_error.h"
#include "numeric_text.h"
#include "page_imports.h"
#include "texts.h"
#include "widget_table.h"

#include <cmath>
#include <utility>

namespace web_window {

namespace texts = design::texts;

MainForm::MainForm(regulator::NumberFormat format)
    : regulator_(*this, std::move(format)),
      min_(design::kScaleCreatedMin),
      max_(design::kScaleCreatedMax),
      value_(design::kScaleCreatedValue) {
    web_scroll_show(min_, max_, value_);
}

template <typename Handler>
void MainForm::Guarded(Handler&& handler) {
    texts::RunGuarded(failed_, handler, [this](const std::string& description) { FailWith(description); });
}

void MainForm::FailWith(const std::string& description) {
    if (failed_) return;
    failed_ = true;
    web_timer_enable(0);
    web_fail(texts::PageFatalErrorMessage(description).c_str());
}

void MainForm::Form_Load() {
    Guarded([this] { regulator_.Form_Load(); });
    loaded_ = true;
}

void MainForm::Command1_Click(int index) {
    Guarded([this, index] {
        regulator_.Command1_Click(index);
        if (index == regulator::kStartButton) Announce(texts::kRunStarted);
        if (index == regulator::kStopButton) Announce(texts::kRunStopped);
    });
}

void MainForm::Timer1_Timer() {
    Guarded([this] { regulator_.Timer1_Timer(); });
}

void MainForm::VScroll1_UserChange(int value) {
    Guarded([this, value] {
        // Outside the 16-bit range is as wrong as outside the scale.
        const auto position = static_cast<std::int16_t>(value);
        if (position != value) {
            throw regulator::FatalError(regulator::FatalError::Kind::InvalidPropertyValue,
                                        "Value = " + std::to_string(value));
        }
        SetVScroll1Value(position);
    });
}

std::string MainForm::Text2(int index) const {
    std::string text(static_cast<std::size_t>(web_text2_length(index)), '\0');
    web_text2_copy(index, text.data(), static_cast<int>(text.size()) + 1);
    return text;
}

void MainForm::SetText2(int index, const std::string& text) { web_text2_set(index, text.c_str()); }

// The change event runs synchronously, inside the statement that moved the
// position, so a fatal error in it reaches the guard of the handler that did.
template <typename Change>
void MainForm::ChangeScale(Change&& change) {
    const std::int16_t before = value_;
    change();
    web_scroll_show(min_, max_, value_);
    if (value_ != before) regulator_.VScroll1_Change();
}

void MainForm::SetVScroll1Max(std::int16_t max) {
    ChangeScale([&] {
        max_ = max;
        if (min_ > max_) min_ = max_;
        if (value_ > max_) value_ = max_;
    });
}

void MainForm::SetVScroll1Min(std::int16_t min) {
    ChangeScale([&] {
        min_ = min;
        if (max_ < min_) max_ = min_;
        if (value_ < min_) value_ = min_;
    });
}

void MainForm::SetVScroll1Value(std::int16_t value) {
    regulator::CheckScaleValue(min_, max_, value);
    ChangeScale([&] { value_ = value; });
}

void MainForm::SelectOption1(int index) {
    if (index == selectedOption_) return;
    selectedOption_ = index;
    web_option_select(index);  // the group clears the other one
    const char* caption = index == regulator::kOnOption ? texts::kOn : texts::kOff;
    // The gauge, which Tab reaches, carries the state; the live region speaks
    // the switch wherever the focus is.
    web_gauge_describe((std::string(texts::kSystemState) + ' ' + caption).c_str());
    Announce(caption);
}

void MainForm::SetTimer1Enabled(bool enabled) { web_timer_enable(enabled ? 1 : 0); }

void MainForm::DrawGauge() {
    const double width = std::floor(web_gauge_width());
    const double height = web_gauge_height();
    const double level = regulator_.GaugeRatio() * height;
    const auto fill = [](double x1, double y1, double x2, double y2, design::Rgb colour) {
        web_gauge_fill(x1, y1, x2, y2, colour.r, colour.g, colour.b);
    };
    web_gauge_clear();
    fill(0, height, width, level, design::kGaugeRed);  // the temperature's share
    fill(0, level, width, 0, design::kGaugeBlue);
    const std::int16_t temperature = regulator::GuardedSubtract(max_, value_);
    web_readout((std::string(texts::kReadoutPrefix) + regulator::IntegerToText(temperature)).c_str(), temperature);
}

void MainForm::Announce(const char* text) {
    if (loaded_) web_announce(text);
}

}  // namespace web_window
