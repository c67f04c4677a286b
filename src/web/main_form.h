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
//   F2, the button "Наблюдение" under the window
//                 -> Observation_Toggle       opens or closes the view (#Observation)
//   CopyBands     -> CopyBands_Click          the bands table onto the clipboard
//   a teacher's link (?lower=..&upper=..)
//                 -> TypeIntoBox              after Form_Load, as if typed
//
// Its primitives hand what the logic gives them to the page's widgets
// (page_imports.h), in the page's pixels; none of them decides anything.
// The view's drawings change at every tick while it is open: their lines
// and markers go over as numbers in one reused buffer, a drawing's only when
// they differ from those shown, and a text reaches the page only when it
// differs from the one shown.
// Timer1's rhythm is the core's TickSchedule on the page's clock: the page's
// timer only waits for the delays it is given here.

#include "tick_schedule.h"
#include "window_logic.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

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
    void Observation_Toggle() { logic_.Observation_Toggle(); }
    void CopyBands_Click() { logic_.CopyBands_Click(); }
    void TypeIntoBox(int index, const std::string& text) { logic_.TypeIntoBox(index, text); }

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
    void ShowObservationView(bool shown) override;
    void ShowObservation(const regulator::ObservationPicture& picture) override;
    void PutOnClipboard(const std::string& text) override;
    void ShowFatalError(const std::string& description) override;

    // The index-th drawing of the view (its index-th picture box): its
    // lines and markers, and its texts and description.
    void ShowPlot(int index, const regulator::Plot& plot);

    // What the view's texts show now, so that only a change is written.
    // A drawing whose lines and markers are as shown is not handed over again.
    struct PlotShown {
        regulator::Plot shapes;  // its size, lines and markers as drawn
        std::vector<regulator::PlotText> texts;
        std::string description;
    };
    // One for each drawing and each figure of the view, as many as the
    // picture has (sized at its first showing).
    std::vector<PlotShown> plotsShown_;
    void DrawPlot(int index, const regulator::Plot& plot);
    void ShowPlotTexts(int index, const regulator::Plot& plot, PlotShown& shown);
    std::vector<std::string> figuresShown_;
    std::vector<std::array<std::string, 5>> rowsShown_;
    // The lines' and markers' numbers handed to the page, reused.
    std::vector<double> lineNumbers_;
    std::vector<double> markerNumbers_;

    regulator::WindowLogic logic_;
    regulator::TickSchedule schedule_;
};

}  // namespace web_window
