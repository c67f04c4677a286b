#pragma once

// MainForm is the program's only window, made of the system's own controls
// (control_factory.h) built from the design's widget table. It is the view
// of the window's logic (regulator::WindowLogic, which it owns): it shows
// what the logic gives it and routes each control's event to the logic's
// handler of the same name:
//
//   creation       -> Form_Load             (in the constructor, before first shown)
//   Command1(i)    -> Command1_Click(i)      BN_CLICKED: start (0) and stop (1)
//   Timer1         -> Timer1_Timer           WM_TIMER, every 100 ms while enabled (timer.h)
//   VScroll1       -> VScroll1_UserChange    WM_VSCROLL: the value the request leads to (scroll_bar.h)
//   F2, anywhere in either window, and the system menu's "Наблюдение"
//                  -> Observation_Toggle     the view (observation_window.h), its close box
//                                            -> Observation_Closed, its button -> CopyBands_Click
//
// The roles around it: Picture1 draws the boxes it is given (gauge.h),
// Frame1 holds the option buttons (frame.h), the announcer speaks to screen
// readers (announcer.h), annotations tell them what the controls are
// (accessibility.h), the dialog manager's keys work as in a dialog
// (keyboard_navigation.h), and every length follows the window's DPI
// (dpi.h).
//
// The window procedure catches everything: no exception ever crosses into
// the system. A fatal run-time error stops the timer, is shown in a message
// box and ends the program with design::kFatalExitCode.

#include "accessibility.h"
#include "announcer.h"
#include "frame.h"
#include "gauge.h"
#include "gdi_object.h"
#include "keyboard_navigation.h"
#include "observation_window.h"
#include "scroll_bar.h"
#include "timer.h"
#include "widget_table.h"
#include "window_logic.h"
#include "window_view.h"

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace win32_window {

class MainForm final : public regulator::WindowView {
public:
    static constexpr int kFatalExitCode = design::kFatalExitCode;
    static constexpr const wchar_t* kClassName = L"DulmeriMainForm";
    // Control identifiers: kFirstControlId + the widget's row in the table.
    // Clear of IDOK and IDCANCEL, which the dialog manager sends for Enter
    // and Escape.
    static constexpr int kFirstControlId = 100;
    // The system menu's item that opens and closes the view "Наблюдение"
    // (clear of the system's own commands, with its low four bits free).
    static constexpr UINT kObservationCommand = 0x0010;

    // Creates the window, hidden, and runs Form_Load.
    MainForm();
    ~MainForm() override;

    MainForm(const MainForm&) = delete;
    MainForm& operator=(const MainForm&) = delete;

    HWND Hwnd() const { return hwnd_; }
    // A control by its name in the widget table ("Text2_0", "Frame1", ...).
    HWND Control(const char* name) const;
    // Shows the window and puts the focus on Text1(0).
    void Show();
    // F2, and the dialog manager's keyboard handling in either window; true
    // when it took the message.
    bool PreTranslateMessage(MSG& message);
    // Runs the message loop until the window is closed; the exit status.
    int RunMessageLoop();

    // A tick of Timer1, as WM_TIMER brings it.
    void Timer1_Timer() { logic_.Timer1_Timer(); }

    const regulator::WindowLogic& Logic() const { return logic_; }
    const regulator::Regulator& Regulator() const { return logic_.Regulator(); }
    const Timer& Timer1() const { return *timer1_; }
    const Announcer& Announcements() const { return announcer_; }
    const ObservationWindow& Observation() const { return observation_; }
    UINT Dpi() const { return dpi_; }

    // What happens on a fatal run-time error, given the error's description
    // (UTF-8); by default the message box and the end of the program. Tests
    // replace it.
    using FatalHandler = std::function<void(const std::string& description)>;
    void SetFatalHandler(FatalHandler handler) { fatalHandler_ = std::move(handler); }
    bool HasFailed() const { return logic_.HasFailed(); }

private:
    // regulator::WindowView
    std::string Text2(int index) const override;
    void SetText2(int index, const std::string& text) override;
    void ShowVScroll1(const regulator::ScaleState& scale) override;
    void ReportVScroll1Value(std::int16_t temperature) override;
    void ShowOption1(int index) override;
    void SetTimer1Enabled(bool enabled) override;
    double Picture1WidthTwips() const override { return picture1_.WidthTwips(); }
    double Picture1HeightTwips() const override { return picture1_.HeightTwips(); }
    void Picture1Cls() override { picture1_.Cls(); }
    void Picture1FillBox(const regulator::GaugeBox& box) override { picture1_.FillBox(box); }
    void ShowReadout(const std::string& caption, std::int16_t temperature) override;
    void DescribeGauge(const std::string& description) override;
    void Announce(regulator::Message message, const std::string& text) override;
    void ShowObservationView(bool shown) override;
    void ShowObservation(const regulator::ObservationPicture& picture) override { observation_.Draw(picture); }
    int ObservationHeightTwips() const override { return observation_.ClientHeightTwips(); }
    void PutOnClipboard(const std::string& text) override;
    void ShowFatalError(const std::string& description) override { fatalHandler_(description); }

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void Destroy();
    void BuildControls();
    HWND CreateControl(const design::WidgetSpec& spec, int id);
    void Keep(const design::WidgetSpec& spec, HWND control);
    void Layout();
    void ApplyDpi(UINT dpi, const RECT* suggested);
    void SetColour(HWND control, design::Rgb colour);
    LRESULT ControlColourMessage(UINT message, HDC dc, HWND control);
    ObservationWindow::Handlers ObservationHandlers();
    void AddObservationMenuItem();
    void CheckObservationMenuItem(bool checked);
    void ShowFatalErrorAndQuit(const std::string& description);

    HWND hwnd_ = nullptr;
    UINT dpi_ = design::kStandardDpi;
    Font font_;
    Brush background_;
    ControlColours colours_;
    Annotations annotations_;
    std::vector<HWND> controls_;  // one per row of the widget table
    std::array<HWND, design::kText1Count> text1_{};
    std::array<HWND, design::kText2Count> text2_{};
    std::array<HWND, design::kLabel1Count> label1_{};
    std::array<HWND, design::kCommand1Count> command1_{};
    std::array<HWND, design::kOption1Count> option1_{};
    Gauge picture1_;
    ScrollBar vscroll1_;
    Frame frame1_;
    Announcer announcer_;
    KeyboardNavigation navigation_;
    std::unique_ptr<Timer> timer1_;
    ObservationWindow observation_;
    FatalHandler fatalHandler_;
    regulator::WindowLogic logic_;
    bool closing_ = false;  // the window is being destroyed by the destructor
};

}  // namespace win32_window
