#pragma once

// The thermostat: a two-point controller with hysteresis acting on a
// simulated temperature. The temperature is the scroll bar's position read
// from the bottom (Max - Value). Each tick first normalises the threshold
// boxes, then switches the heater on at or below the lower threshold and off
// at or above the upper one, and moves the temperature one unit up while
// heating or down while cooling. Between the thresholds the heater keeps its
// state: that is the hysteresis the program exists to show.
//
// The regulator keeps no widget state of its own: the thresholds live as text
// in the boxes and are read from them whenever they are used. The handlers are
// named after the window events that call them.

#include "numeric_text.h"
#include "widget_operations.h"

namespace regulator {

// Indices of the widget arrays.
inline constexpr int kLowerBox = 0;
inline constexpr int kBaseMaximumBox = 1;
inline constexpr int kUpperBox = 2;
inline constexpr int kStartButton = 0;
inline constexpr int kStopButton = 1;
inline constexpr int kOnOption = 0;
inline constexpr int kOffOption = 1;

struct RegulatorState {
    double UpperThreshold = 0;  // as read by the latest tick
    double LowerThreshold = 0;  // as read by the latest tick
    bool HeaterOn = false;
    double GaugeRatio = 0;  // Value / Max, rounded to two decimals
};

class Regulator {
public:
    explicit Regulator(WidgetOperations& widgets, NumberFormat format = {});

    Regulator(const Regulator&) = delete;
    Regulator& operator=(const Regulator&) = delete;

    // Start-up: scale 0..100, default thresholds, "off" shown, gauge drawn.
    void Form_Load();
    // Every change of the scroll position, by a tick or by the user.
    void VScroll1_Change();
    // 0 starts the simulation, 1 stops it; other indices do nothing.
    void Command1_Click(int index);
    // The control tick.
    void Timer1_Timer();
    // Clamps and orders the threshold boxes and writes them back.
    void ValidateThresholds();

    const RegulatorState& State() const { return state_; }
    double GaugeRatio() const { return state_.GaugeRatio; }
    const NumberFormat& Format() const { return format_; }

private:
    WidgetOperations& widgets_;
    NumberFormat format_;
    RegulatorState state_;
};

}  // namespace regulator
