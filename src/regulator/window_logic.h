#pragma once

// The window's logic, shared by every front end. A front end builds its
// widgets from the design (widget_table.h), implements the primitives of
// WindowView, and routes each widget event here, to the handler of the same
// name:
//
//   load             -> Form_Load            (before the window is first shown)
//   Command1(i)      -> Command1_Click(i)     start (0) and stop (1)
//   Timer1           -> Timer1_Timer          every interval while enabled
//   VScroll1         -> VScroll1_UserChange   the user moved the bar to a position
//   F2, or the view's entry in a menu or under the window
//                    -> Observation_Toggle    opens or closes the view "Наблюдение"
//   its close box    -> Observation_Closed    the logic hides it (and unticks its
//                                            menu item) through ShowObservationView
//   "Копирай таблицата" -> CopyBands_Click    the bands table onto the clipboard
//
// Everything else happens here: the regulator's rules, the scale's state
// with its value check and change event, the gauge's drawing, what screen
// readers are told and when (announcements.h), what a run has shown
// (observation.h) and how the view "Наблюдение" draws it
// (observation_view.h), and the error policy: every handler runs behind one
// guard (handler_guard.h).

#include "announcements.h"
#include "handler_guard.h"
#include "numeric_text.h"
#include "observation.h"
#include "regulator.h"
#include "widget_operations.h"
#include "window_view.h"

#include <cstdint>
#include <string>

namespace regulator {

// What the user asked of the scroll bar, for front ends whose bar reports
// requests rather than positions.
enum class ScrollRequest { LineUp, LineDown, PageUp, PageDown, Top, Bottom, Position };

// The position a request leads to from the scale's state, within Min..Max;
// `position` is the thumb's position for ScrollRequest::Position.
int ScrollTarget(const ScaleState& scale, ScrollRequest request, int position = 0);

class WindowLogic final : private WidgetOperations {
public:
    WindowLogic(WindowView& view, NumberFormat format);

    WindowLogic(const WindowLogic&) = delete;
    WindowLogic& operator=(const WindowLogic&) = delete;

    // The window's events.
    void Form_Load();
    void Command1_Click(int index);
    void Timer1_Timer();
    // The user moved the scroll bar to `value` (an arrow, the track, a key,
    // the thumb's release); a position outside the scale is a fatal error.
    void VScroll1_UserChange(int value);

    // The view "Наблюдение".
    void Observation_Toggle();
    void Observation_Closed();
    void CopyBands_Click();
    bool ObservationShown() const { return observationShown_; }
    const regulator::Observation& Observation() const { return observation_; }

    // Text typed into a threshold box from outside the window (a teacher's
    // link): it is limited as the user's typing is, to the box's two
    // characters, and checked like anything typed at the next tick.
    void TypeIntoBox(int index, const std::string& text);

    // An error found in the front end's own code: handled like the
    // regulator's own.
    void Fail(const std::string& description);
    bool HasFailed() const { return guard_.Failed(); }
    // Runs more of the front end's own handler code behind the same guard.
    template <typename Handler>
    void Guarded(Handler&& handler) {
        guard_.Run(handler);
    }

    const regulator::Regulator& Regulator() const { return regulator_; }
    const ScaleState& Scale() const { return scale_; }
    std::int16_t CurrentTemperature() const { return Temperature(scale_); }
    // The selected indicator, -1 before the first selection.
    int SelectedOption() const { return selectedOption_; }
    bool Timer1Enabled() const { return timerEnabled_; }

private:
    // Who moved the scale, for what screen readers are told.
    enum class Mover { Program, Run, User };

    // The widget operations the regulator works through.
    std::string Text2(int index) const override;
    void SetText2(int index, const std::string& text) override;
    ScaleState VScroll1() const override { return scale_; }
    void SetVScroll1(const ScaleState& scale) override;
    void SelectOption1(int index) override;
    void SetTimer1Enabled(bool enabled) override;
    void DrawGauge() override;

    void Announce(Message message);
    void ReportValue();
    void Observed();

    WindowView& view_;
    HandlerGuard guard_;
    regulator::Regulator regulator_;
    regulator::Observation observation_;
    ScaleState scale_;
    ValueReportPolicy valueReports_;
    Mover mover_ = Mover::Program;
    int selectedOption_ = -1;
    bool timerEnabled_ = false;
    bool loaded_ = false;  // nothing is spoken before the window is shown
    bool observationShown_ = false;
};

}  // namespace regulator
