#pragma once

// The regulator works on the state of the window's widgets and reaches them
// only through this interface, so the same logic runs against the real
// window and against a plain model of the widgets in tests.
//
// Indices follow the window's widget arrays: Text2(0) lower threshold,
// Text2(1) base maximum (display only), Text2(2) upper threshold;
// Option1(0) "on", Option1(1) "off".

#include <cstdint>
#include <string>

namespace regulator {

class WidgetOperations {
public:
    virtual ~WidgetOperations() = default;

    virtual std::string Text2(int index) const = 0;
    virtual void SetText2(int index, const std::string& text) = 0;

    // The scale. Setting a different value must run Regulator::VScroll1_Change
    // to completion before returning; setting one outside Min..Max is a fatal
    // error (use CheckScaleValue).
    virtual std::int16_t VScroll1Max() const = 0;
    virtual std::int16_t VScroll1Min() const = 0;
    virtual std::int16_t VScroll1Value() const = 0;
    virtual void SetVScroll1Max(std::int16_t max) = 0;
    virtual void SetVScroll1Min(std::int16_t min) = 0;
    virtual void SetVScroll1Value(std::int16_t value) = 0;

    // The two option buttons form one group: selecting one clears the other.
    virtual void SelectOption1(int index) = 0;

    virtual void SetTimer1Enabled(bool enabled) = 0;

    // Redraws the gauge from Regulator::GaugeRatio and rewrites the readout.
    virtual void DrawGauge() = 0;
};

// Throws FatalError when value lies outside min..max.
void CheckScaleValue(std::int16_t min, std::int16_t max, std::int16_t value);

}  // namespace regulator
