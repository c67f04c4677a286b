#pragma once

// The regulator works on the state of the window's widgets and reaches them
// only through this interface, so the same logic runs against the real
// window and against a plain model of the widgets in tests.
//
// Indices follow the window's widget arrays: Text2(0) lower threshold,
// Text2(1) base maximum (display only), Text2(2) upper threshold;
// Option1(0) "on", Option1(1) "off".
//
// The scale (VScroll1) is set through non-virtual functions that keep its
// rules in one place: a position outside Min..Max is a fatal error, and a
// change of the position raises the change event, run to completion before
// the setter returns. What implements the interface only stores and shows
// the three numbers.

#include <cstdint>
#include <functional>
#include <string>

namespace regulator {

// VScroll1's range and position; Min is at the top of the bar.
struct ScaleState {
    std::int16_t min = 0;
    std::int16_t max = 0;
    std::int16_t value = 0;
    constexpr bool operator==(const ScaleState&) const = default;
};

// The temperature the scale shows: Max - Value, as a guarded 16-bit
// subtraction (an overflow is a fatal error).
std::int16_t Temperature(std::int16_t max, std::int16_t value);
inline std::int16_t Temperature(const ScaleState& scale) { return Temperature(scale.max, scale.value); }
// The other way round: the position at which the scale shows a temperature
// (a screen reader or another program that sets the temperature). Plain
// integers: whoever sets the position checks it against the scale.
constexpr int PositionForTemperature(int max, int temperature) { return max - temperature; }

class WidgetOperations {
public:
    virtual ~WidgetOperations() = default;

    virtual std::string Text2(int index) const = 0;
    virtual void SetText2(int index, const std::string& text) = 0;

    std::int16_t VScroll1Max() const { return VScroll1().max; }
    std::int16_t VScroll1Min() const { return VScroll1().min; }
    std::int16_t VScroll1Value() const { return VScroll1().value; }
    // A maximum below the position (or a minimum above it) takes the
    // position with it, which is a change like any other.
    void SetVScroll1Max(std::int16_t max);
    void SetVScroll1Min(std::int16_t min);
    // Throws FatalError when value lies outside Min..Max.
    void SetVScroll1Value(std::int16_t value);
    // The handler of the change event: the regulator connects its own.
    void ConnectVScroll1Change(std::function<void()> handler) { vscroll1Change_ = std::move(handler); }

    // The two option buttons form one group: selecting one clears the other.
    virtual void SelectOption1(int index) = 0;

    virtual void SetTimer1Enabled(bool enabled) = 0;

    // Redraws the gauge from Regulator::GaugeRatio and rewrites the readout.
    virtual void DrawGauge() = 0;

protected:
    // The scale as stored and shown; setting it raises nothing.
    virtual ScaleState VScroll1() const = 0;
    virtual void SetVScroll1(const ScaleState& scale) = 0;

private:
    void ChangeScale(const ScaleState& scale);

    std::function<void()> vscroll1Change_;
};

// Throws FatalError when value lies outside min..max.
void CheckScaleValue(std::int16_t min, std::int16_t max, std::int16_t value);

}  // namespace regulator
