#pragma once

// MainForm in the browser: the page's window (#MainForm, its widgets made
// from the design's widget table at build time) supplies the regulator's
// widget operations, and the page's script routes each widget event to the
// regulator's handler of the same name:
//
//   load          -> Form_Load         (before the window is first shown)
//   Command1(i)   -> Command1_Click(i)  start (0) and stop (1)
//   Timer1        -> Timer1_Timer       every 100 ms while enabled
//   VScroll1      -> VScroll1_Change    every change of the position
//
// The widgets' state the regulator reads lives where the user changes it:
// the boxes' text in the page's <input>s; the scroll bar's range and position
// here, drawn by the page. The page calls in through the extern "C"
// functions of bridge.cpp and is called back through page_imports.h.
//
// Every handler runs behind a guard: a fatal run-time error never crosses
// into the browser's event loop; the page stops the timer, shows the message
// and stays inert.

#include "regulator.h"
#include "widget_operations.h"

#include <cstdint>
#include <string>

namespace web_window {

class MainForm final : public regulator::WidgetOperations {
public:
    explicit MainForm(regulator::NumberFormat format);

    MainForm(const MainForm&) = delete;
    MainForm& operator=(const MainForm&) = delete;

    // The window's events.
    void Form_Load();
    void Command1_Click(int index);
    void Timer1_Timer();
    // The user moved the scroll bar to `value` (an arrow, the track, a key or
    // the thumb's release).
    void VScroll1_UserChange(int value);
    // An error of the page's own script, shown like the program's own.
    void FailWith(const std::string& description);

    bool HasFailed() const { return failed_; }

    // The widget operations the regulator works through.
    std::string Text2(int index) const override;
    void SetText2(int index, const std::string& text) override;
    std::int16_t VScroll1Max() const override { return max_; }
    std::int16_t VScroll1Min() const override { return min_; }
    std::int16_t VScroll1Value() const override { return value_; }
    void SetVScroll1Max(std::int16_t max) override;
    void SetVScroll1Min(std::int16_t min) override;
    void SetVScroll1Value(std::int16_t value) override;
    void SelectOption1(int index) override;
    void SetTimer1Enabled(bool enabled) override;
    void DrawGauge() override;

private:
    template <typename Handler>
    void Guarded(Handler&& handler);
    // Runs a change of the scroll bar, shows it, then raises its change
    // event if the position moved.
    template <typename Change>
    void ChangeScale(Change&& change);
    void Announce(const char* text);

    regulator::Regulator regulator_;
    std::int16_t min_;
    std::int16_t max_;
    std::int16_t value_;
    int selectedOption_ = -1;
    bool loaded_ = false;  // nothing is spoken before the window is shown
    bool failed_ = false;
};

}  // namespace web_window
