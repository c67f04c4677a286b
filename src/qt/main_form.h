#pragma once

// MainForm is the program's only window. It owns every widget and the
// regulator (whose state lives exactly as long as the window), supplies the
// regulator's widget operations, and routes each widget event to the
// regulator's handler of the same name:
//
//   load          -> Form_Load         (in the constructor, before first shown)
//   Command1(i)   -> Command1_Click(i)  start (0) and stop (1)
//   Timer1        -> Timer1_Timer       every 100 ms while enabled
//   VScroll1      -> VScroll1_Change    every change of the position
//
// For screen readers the window also speaks, without moving the focus, each
// switch of the heater indicator and the start and stop of a run
// (announcement.h); a run's own steps of the scale are not spoken.
//
// The widgets are built from the design's widget table (widget_table.h). Every
// handler runs behind a guard: a fatal run-time error from the regulator
// never crosses the event loop; it is shown in a message box and the program
// ends with a non-zero status.

#include "announcer.h"
#include "gauge.h"
#include "regulator.h"
#include "threshold_box.h"
#include "widget_operations.h"
#include "widget_table.h"

#include <QPointer>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QTimer;
class QStyle;

namespace qt_window {

class MainForm final : public QWidget, public regulator::WidgetOperations {
    Q_OBJECT

public:
    static constexpr int kFatalExitCode = design::kFatalExitCode;

    explicit MainForm(QWidget* parent = nullptr);
    ~MainForm() override;

    // The widget operations the regulator works through.
    std::string Text2(int index) const override;
    void SetText2(int index, const std::string& text) override;
    std::int16_t VScroll1Max() const override;
    std::int16_t VScroll1Min() const override;
    std::int16_t VScroll1Value() const override;
    void SetVScroll1Max(std::int16_t max) override;
    void SetVScroll1Min(std::int16_t min) override;
    void SetVScroll1Value(std::int16_t value) override;
    void SelectOption1(int index) override;
    void SetTimer1Enabled(bool enabled) override;
    void DrawGauge() override;

    const regulator::Regulator& Regulator() const { return regulator_; }
    QTimer* Timer1() const { return timer1_; }

    // What happens on a fatal run-time error; by default a message box and
    // the end of the program. Tests replace it.
    using FatalHandler = std::function<void(const QString& message)>;
    void SetFatalHandler(FatalHandler handler) { fatalHandler_ = std::move(handler); }
    bool HasFailed() const { return failed_; }

public slots:
    void Command1_Click(int index);
    void Timer1_Timer();
    void VScroll1_Change();

private:
    void BuildWidgets();
    void Form_Load();
    template <typename Handler>
    void Guarded(Handler&& handler);
    // Runs a change of the scroll bar, then its change event if the position moved.
    template <typename Change>
    void ChangeScale(Change&& change);
    void Fail(const QString& message);
    // Shows the group's message index and hides the others.
    static void Announce(const std::array<Announcement*, 2>& group, int index);
    void ShowFatalErrorAndQuit(const QString& message);

    regulator::Regulator regulator_;
    std::unique_ptr<QStyle> scrollBarStyle_;
    std::array<QPlainTextEdit*, 2> text1_{};
    std::array<ThresholdBox*, 3> text2_{};
    std::array<QLabel*, 6> label1_{};
    std::array<QPushButton*, 2> command1_{};
    std::array<QRadioButton*, 2> option1_{};
    Gauge* picture1_ = nullptr;
    QScrollBar* vscroll1_ = nullptr;
    QGroupBox* frame1_ = nullptr;
    QTimer* timer1_ = nullptr;
    std::array<Announcement*, 2> heaterAnnouncements_{};  // as Option1: on, off
    std::array<Announcement*, 2> runAnnouncements_{};     // as Command1: started, stopped
    FatalHandler fatalHandler_;
    bool failed_ = false;
};

}  // namespace qt_window
