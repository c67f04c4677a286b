#pragma once

// MainForm is the program's only window, made of the system's own controls.
// It owns every control and the regulator (whose state lives exactly as
// long as the window), supplies the regulator's widget operations, and
// routes each control's event to the regulator's handler of the same name:
//
//   creation       -> Form_Load         (in the constructor, before first shown)
//   Command1(i)    -> Command1_Click(i)  BN_CLICKED: start (0) and stop (1)
//   Timer1         -> Timer1_Timer       WM_TIMER, every 100 ms while enabled
//   VScroll1       -> VScroll1_Change    WM_VSCROLL, and every change made by the program
//
// The controls are built from the design's widget table (widget_table.h),
// with every length computed from twips at the window's DPI and again when
// the window moves to a screen of another DPI. Keyboard navigation is the
// dialog manager's (IsDialogMessage): Tab in table order, Enter and Space
// press the focused button.
//
// Every handler runs behind a guard, and the window procedure catches
// everything else: no exception ever crosses into the system. A fatal
// run-time error from the regulator stops the timer, is shown in a message
// box and ends the program with design::kFatalExitCode.

#include "accessibility.h"
#include "drift_free_timer.h"
#include "gauge.h"
#include "regulator.h"
#include "widget_operations.h"
#include "widget_table.h"

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace win32_window {

class MainForm final : public regulator::WidgetOperations {
public:
    static constexpr int kFatalExitCode = design::kFatalExitCode;
    static constexpr const wchar_t* kClassName = L"DulmeriMainForm";
    // Control identifiers: kFirstControlId + the widget's row in the table.
    // Clear of IDOK and IDCANCEL, which the dialog manager sends for Enter
    // and Escape.
    static constexpr int kFirstControlId = 100;

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
    // The dialog manager's keyboard handling; true when it took the message.
    bool PreTranslateMessage(MSG& message);
    // Runs the message loop until the window is closed; the exit status.
    int RunMessageLoop();

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

    // The event handlers, guarded.
    void Command1_Click(int index);
    void Timer1_Timer();
    void VScroll1_Change();

    const regulator::Regulator& Regulator() const { return regulator_; }
    const DriftFreeTimer& Timer1() const { return *timer1_; }
    const Gauge& Picture1() const { return picture1_; }
    UINT Dpi() const { return dpi_; }

    // What happens on a fatal run-time error, given the error's description
    // (UTF-8); by default the message box and the end of the program. Tests
    // replace it.
    using FatalHandler = std::function<void(const std::string& description)>;
    void SetFatalHandler(FatalHandler handler) { fatalHandler_ = std::move(handler); }
    bool HasFailed() const { return failed_; }

private:
    struct ControlColour {
        HWND control;
        COLORREF colour;
        HBRUSH brush;
    };

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void Release();
    void BuildControls();
    HWND CreateControl(const design::WidgetSpec& spec, int id);
    void Layout();
    SIZE SizeForClient() const;
    void MoveAndSize(POINT origin);
    void PlaceAndCentre();
    void ApplyDpi(UINT dpi, const RECT* suggested);
    void SetColour(HWND control, design::Rgb colour);
    LRESULT ControlColourMessage(UINT message, HDC dc, HWND control);
    void DrawButton(const DRAWITEMSTRUCT& item);
    void OnScroll(WORD request, std::int16_t thumbPosition);
    void Form_Load();

    template <typename Handler>
    void Guarded(Handler&& handler);
    template <typename Change>
    void ChangeScale(Change&& change);
    void Fail(const std::string& description);
    void ShowFatalErrorAndQuit(const std::string& description);

    HWND hwnd_ = nullptr;
    UINT dpi_ = 96;
    HFONT font_ = nullptr;
    HBRUSH background_ = nullptr;
    std::vector<HWND> controls_;  // one per row of the widget table
    std::vector<std::pair<HWND, const design::WidgetSpec*>> nameLabels_;  // hidden, for screen readers
    HWND groupBox_ = nullptr;     // draws Frame1's etched border and caption
    std::array<HWND, 2> text1_{};
    std::array<HWND, 3> text2_{};
    std::array<HWND, 6> label1_{};
    std::array<HWND, 2> command1_{};
    std::array<HWND, 2> option1_{};
    HWND vscroll1_ = nullptr;
    HWND frame1_ = nullptr;
    Gauge picture1_;
    std::vector<ControlColour> colours_;
    HWND lastFocus_ = nullptr;
    Annotations annotations_;
    std::unique_ptr<DriftFreeTimer> timer1_;
    regulator::Regulator regulator_;
    FatalHandler fatalHandler_;
    bool failed_ = false;
    bool closing_ = false;  // the window is being destroyed by the destructor
};

}  // namespace win32_window
