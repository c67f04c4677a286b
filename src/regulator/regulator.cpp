#include "regulator.h"

#include <algorithm>

namespace regulator {

Regulator::Regulator(WidgetOperations& widgets, NumberFormat format) : widgets_(widgets), format_(std::move(format)) {
    widgets_.ConnectVScroll1Change([this] { VScroll1_Change(); });
}

void Regulator::Form_Load() {
    // The scroll bar is created at 100 with maximum 100, so neither of these
    // moves the position: the temperature starts at 0.
    widgets_.SetVScroll1Max(100);
    widgets_.SetVScroll1Min(0);
    widgets_.SetText2(kBaseMaximumBox, IntegerToText(100));
    widgets_.SetText2(kUpperBox, NumberToText(90, format_));
    // The lower default is derived from what the upper box says.
    widgets_.SetText2(kLowerBox, NumberToText(ReadNumber(widgets_.Text2(kUpperBox)) * 0.9, format_));
    widgets_.SelectOption1(kOffOption);
    VScroll1_Change();
}

void Regulator::VScroll1_Change() {
    const std::int16_t value = widgets_.VScroll1Value();
    const std::int16_t max = widgets_.VScroll1Max();
    const std::string ratio = FormatNumber(GuardedDivide(value, max), 2, format_);
    state_.GaugeRatio = ReadFormattedNumber(ratio, format_);
    widgets_.DrawGauge();
}

void Regulator::Command1_Click(int index) {
    if (index == kStartButton) {
        // A restarted run continues from where it stopped.
        widgets_.SetTimer1Enabled(true);
    } else if (index == kStopButton) {
        // HeaterOn is kept: the next start may resume heating, but while
        // stopped the indicator shows "off".
        widgets_.SetTimer1Enabled(false);
        widgets_.SelectOption1(kOffOption);
    }
}

void Regulator::Timer1_Timer() {
    ValidateThresholds();
    state_.UpperThreshold = ReadNumber(widgets_.Text2(kUpperBox));
    state_.LowerThreshold = ReadNumber(widgets_.Text2(kLowerBox));

    const std::int16_t temperature = Temperature(widgets_.VScroll1Max(), widgets_.VScroll1Value());
    if (temperature <= state_.LowerThreshold) state_.HeaterOn = true;
    // A separate test: with equal thresholds both hold and the heater ends off.
    if (temperature >= state_.UpperThreshold) state_.HeaterOn = false;

    // One percent of the scale; negative because the top of the bar is Min.
    const auto negatedMax = static_cast<std::int16_t>(-widgets_.VScroll1Max());
    const double step = GuardedDivide(negatedMax, 100);

    // Moves the position by `delta`, never past either end of the scale: an
    // edited box can make a threshold lie outside the scale for one tick, and
    // the temperature then rests at the end instead of leaving the scale.
    // The position is read afresh so a drag since the last tick counts.
    const auto stepPosition = [this](double delta) {
        const std::int16_t target = RoundToInteger(widgets_.VScroll1Value() + delta);
        widgets_.SetVScroll1Value(std::clamp(target, widgets_.VScroll1Min(), widgets_.VScroll1Max()));
    };
    if (state_.HeaterOn) {
        stepPosition(step);
        widgets_.SelectOption1(kOnOption);
    }
    if (!state_.HeaterOn) {
        stepPosition(-step);
        widgets_.SelectOption1(kOffOption);
    }
}

void Regulator::ValidateThresholds() {
    double lower = ReadNumber(widgets_.Text2(kLowerBox));
    double upper = ReadNumber(widgets_.Text2(kUpperBox));
    if (lower < 0) lower = 0;
    if (upper < 10) upper = 10;
    if (upper > 95) upper = 95;
    if (lower > upper * 1.2) lower = upper * 1.2;
    if (lower > upper) std::swap(lower, upper);
    widgets_.SetText2(kLowerBox, NumberToText(lower, format_));
    widgets_.SetText2(kUpperBox, NumberToText(upper, format_));
}

}  // namespace regulator
