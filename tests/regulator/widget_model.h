#pragma once

// A plain model of the window's widgets: enough state for the regulator to
// run without a screen, and a log of what it did to them, in order.

#include "fatal_error.h"
#include "regulator.h"
#include "widget_operations.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace regulator::testing {

class WidgetModel : public WidgetOperations {
public:
    std::array<std::string, 3> text2;
    std::int16_t max = 100;  // as the scroll bar is created
    std::int16_t min = 0;
    std::int16_t value = 100;
    std::array<bool, 2> option{false, false};
    bool timerEnabled = false;
    int timerStarts = 0;           // transitions from disabled to enabled
    std::vector<std::string> log;  // "change", "draw", "option0", "option1"

    std::string Text2(int index) const override { return text2.at(index); }
    void SetText2(int index, const std::string& text) override { text2.at(index) = text; }

    ScaleState VScroll1() const override { return {min, max, value}; }
    // The change event follows, raised by the interface itself.
    void SetVScroll1(const ScaleState& scale) override {
        if (scale.value != value) log.emplace_back("change");
        min = scale.min;
        max = scale.max;
        value = scale.value;
    }

    void SelectOption1(int index) override {
        option = {index == 0, index == 1};
        log.push_back("option" + std::to_string(index));
    }

    void SetTimer1Enabled(bool enabled) override {
        if (enabled && !timerEnabled) ++timerStarts;
        timerEnabled = enabled;
    }

    void DrawGauge() override { log.emplace_back("draw"); }

    int Temperature() const { return max - value; }
    // The user drags the thumb so that the temperature reads `temperature`.
    void Drag(int temperature) { SetVScroll1Value(static_cast<std::int16_t>(max - temperature)); }
};

// A regulator started up on a fresh model, as the window does on load.
struct Rig {
    explicit Rig(NumberFormat format = {}) : regulator(widgets, std::move(format)) {
        regulator.Form_Load();
        widgets.log.clear();
    }
    Rig(const Rig&) = delete;
    Rig& operator=(const Rig&) = delete;

    void Ticks(int count) {
        for (int i = 0; i < count; ++i) regulator.Timer1_Timer();
    }
    void SetThresholds(const std::string& lower, const std::string& upper) {
        widgets.text2[kLowerBox] = lower;
        widgets.text2[kUpperBox] = upper;
    }

    WidgetModel widgets;
    Regulator regulator;
};

}  // namespace regulator::testing
