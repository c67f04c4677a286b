#pragma once

// MainForm in the browser: the page's window (#MainForm, its widgets made
// from the design's widget table at build time) as the window's view. It
// owns the window's logic (regulator::WindowLogic) and routes each event the
// page's script reports (through bridge.cpp) to the logic's handler of the
// same name:
//
//   load          -> Form_Load               (before the window is first shown)
//   Command1(i)   -> Command1_Click(i)        start (0) and stop (1)
//   Timer1        -> Timer1_Timer             when the schedule says a tick is due
//   VScroll1      -> VScroll1_UserChange      the user's request, turned into a position
//
// Its primitives hand what the logic gives them to the page's widgets
// (page_imports.h), in the page's pixels; none of them decides anything.
// Timer1's rhythm is the core's TickSchedule on the page's clock: the page's
// timer only waits for the delays it is given here.

#include "tick_schedule.h"
#include "window_logic.h"

#include <cstdint>
#include <string>

namespace web_window {

class MainForm final : public regulator::WindowView {
public:
    explicit MainForm(regulator::NumberFormat format);

    MainForm(const MainForm&) = delete;
    MainForm& operator=(const MainForm&) = delete;

    // The window's events.
    void Form_Load() { logic_.Form_Load(); }
    void Command1_Click(int index) { logic_.Command1_Click(index); }
    // The user asked the scroll bar for a step, an end or (ScrollRequest::
    // Position) a position of the thumb; a position outside the scale is the
    // scroll bar's fatal error.
    void VScroll1_UserChange(regulator::ScrollRequest request, int position);

    // Timer1, on the page's clock (milliseconds): the timer was started, or
    // it fired and ticks if a tick is due. Both return the delay to wait
    // before firing again; 0 when the timer is stopped.
    unsigned Timer1Started(double nowMs);
    unsigned Timer1Fired(double nowMs);

    // An error in the page's own script, described by what it says.
    void FailUnexpected(const std::string& what);
    bool HasFailed() const { return logic_.HasFailed(); }

private:
    // regulator::WindowView
    std::string Text2(int index) const override;
    void SetText2(int index, const std::string& text) override;
    void ShowVScroll1(const regulator::ScaleState& scale) override;
    void ReportVScroll1Value(std::int16_t temperature) override;
    void ShowOption1(int index) override;
    void SetTimer1Enabled(bool enabled) override;
    double Picture1WidthTwips() const override;
    double Picture1HeightTwips() const override;
    void Picture1Cls() override;
    void Picture1FillBox(const regulator::GaugeBox& box) override;
    void ShowReadout(const std::string& caption, std::int16_t temperature) override;
    void DescribeGauge(const std::string& description) override;
    void Announce(regulator::Message message, const std::string& text) override;
    void ShowFatalError(const std::string& description) override;

    regulator::WindowLogic logic_;
    regulator::TickSchedule schedule_;
};

}  // namespace web_window
