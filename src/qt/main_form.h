#pragma once

// MainForm is the program's main window. It owns every widget, the view
// "Наблюдение" beside it (observation_window.h) and the window's logic
// (regulator::WindowLogic, whose state lives exactly as long as the window),
// shows what the logic tells it through the primitives of
// regulator::WindowView, and routes each widget event to the logic's
// handler of the same name:
//
//   load          -> Form_Load              (in the constructor, before first shown)
//   Command1(i)   -> Command1_Click(i)       start (0) and stop (1)
//   Timer1        -> Timer1_Timer            every interval while enabled
//   VScroll1      -> VScroll1_UserChange     the user moved the bar
//   F2, or "Наблюдение" in Picture1's context menu
//                 -> Observation_Toggle      opens or closes the view
//   the view's close box -> Observation_Closed (the logic hides the view)
//   the view's "Копирай таблицата" -> CopyBands_Click
//
// Every decision is the logic's: what the gauge shows, what screen readers
// are told and when, what a fatal error does to the run. The widgets are
// built from the design's widget table (widget_table.h). A fatal run-time
// error never crosses the event loop; by default it is shown in a message
// box and the program ends with a non-zero status.

#include "announcer.h"
#include "gauge.h"
#include "observation_window.h"
#include "scroll_bar.h"
#include "threshold_box.h"
#include "timer.h"
#include "widget_table.h"
#include "window_logic.h"
#include "window_view.h"

#include <QWidget>

#include <array>
#include <functional>

class QAction;
class QGroupBox;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace qt_window {

class MainForm final : public QWidget, public regulator::WindowView {
    Q_OBJECT

public:
    static constexpr int kFatalExitCode = design::kFatalExitCode;

    explicit MainForm(QWidget* parent = nullptr);

    regulator::WindowLogic& Logic() { return logic_; }
    const regulator::WindowLogic& Logic() const { return logic_; }
    bool HasFailed() const { return logic_.HasFailed(); }
    Timer* Timer1() const { return timer1_; }
    // The view "Наблюдение", made when it is first opened.
    ObservationWindow* Observation() const { return observation_; }
    // F2 and the item "Наблюдение" of Picture1's context menu.
    QAction* ObservationAction() const { return observationAction_; }

    // What is done with a fatal run-time error's description; by default a
    // message box and the end of the program. Tests replace it.
    using FatalHandler = std::function<void(const QString& description)>;
    void SetFatalHandler(FatalHandler handler) { fatalHandler_ = std::move(handler); }

    // The primitives the logic draws and speaks through.
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
    int ObservationHeightTwips() const override;
    void PutOnClipboard(const std::string& text) override;
    void ShowFatalError(const std::string& description) override;

protected:
    void hideEvent(QHideEvent* event) override;
    // Picture1's context menu.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildWidgets();
    void BuildObservationEntry();
    void ShowFatalErrorAndQuit(const QString& description);

    regulator::WindowLogic logic_;
    Announcer announcer_;
    std::array<QPlainTextEdit*, design::kText1Count> text1_{};
    std::array<ThresholdBox*, design::kText2Count> text2_{};
    std::array<QLabel*, design::kLabel1Count> label1_{};
    std::array<QPushButton*, design::kCommand1Count> command1_{};
    std::array<QRadioButton*, design::kOption1Count> option1_{};
    Gauge* picture1_ = nullptr;
    ScrollBar* vscroll1_ = nullptr;
    QGroupBox* frame1_ = nullptr;
    Timer* timer1_;  // made before the widgets: a failure while they are built stops it
    QAction* observationAction_ = nullptr;
    QMenu* picture1Menu_ = nullptr;
    ObservationWindow* observation_ = nullptr;
    FatalHandler fatalHandler_;
};

}  // namespace qt_window
