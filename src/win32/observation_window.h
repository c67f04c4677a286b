#pragma once

// The view "Наблюдение": a window of its own beside the main one, owned by
// it (it stays above it and goes with it), built from the design's
// ObservationTable() as the main window is from its table, at the DPI of
// the screen it is on. It shows what it is given:
//
//   TraceTitle, LoopTitle   labels
//   Trace, Loop             the two drawings (plot_box.h); each is named by
//                           its title for screen readers and described by
//                           the drawing's description, kept current
//   Figure_0..2             labels: the figures
//   Bands                   a list view in report view: a table with the
//                           bands' five column headers and a row per band
//   CopyBands               "Копирай таблицата"
//
// Its events go to the handlers it was made with: its close box (it hides
// first) and the button's click. The dialog manager's keys work in it as
// in the main window (keyboard_navigation.h). Nothing is updated that did
// not change: the drawings are repainted, texts and cells only when new.

#include "accessibility.h"
#include "control_factory.h"
#include "gdi_object.h"
#include "keyboard_navigation.h"
#include "observation_view.h"
#include "plot_box.h"
#include "widget_table.h"

#include <windows.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace win32_window {

class ObservationWindow {
public:
    static constexpr const wchar_t* kClassName = L"DulmeriObservation";

    struct Handlers {
        std::function<void()> closed;                                // by its close box, after it hid
        std::function<void()> copyBands;                             // "Копирай таблицата"
        std::function<void(const std::string& description)> failed;  // an error in its own code
    };

    // The annotations are the main window's, which outlive this window.
    ObservationWindow(Annotations& annotations, Handlers handlers);
    ~ObservationWindow();
    ObservationWindow(const ObservationWindow&) = delete;
    ObservationWindow& operator=(const ObservationWindow&) = delete;

    // Shows the view beside `owner`, made the first time, and activates it;
    // or hides it, giving the activation back to the owner.
    void Show(HWND owner, bool shown);
    void Draw(const regulator::ObservationPicture& picture);
    // The dialog manager's keys in the view; true when it took the message.
    bool PreTranslateMessage(MSG& message) { return navigation_.PreTranslateMessage(message); }

    // Null until first shown.
    HWND Hwnd() const { return hwnd_; }
    // A control by its name in the view's table, null until first shown.
    HWND Control(const char* name) const;
    UINT Dpi() const { return dpi_; }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void Create(HWND owner);
    void BuildControls();
    HWND CreateControl(const design::WidgetSpec& spec, int id);
    HWND CreateTable(const design::WidgetSpec& spec, int id);
    void Layout();
    void FitColumns();
    void PlaceBeside(HWND owner);
    void ApplyDpi(UINT dpi, const RECT* suggested);
    void Describe(const PlotBox& box);
    void ShowRows(const std::vector<std::array<std::string, 5>>& rows);

    Annotations& annotations_;
    Handlers handlers_;
    HWND hwnd_ = nullptr;
    UINT dpi_ = design::kStandardDpi;
    Font font_;
    Font headerFont_;  // the table's header: the window's font, smaller
    Brush background_;
    ControlColours colours_;
    std::vector<HWND> controls_;  // one per row of the view's table
    PlotBox trace_;
    PlotBox loop_;
    std::array<HWND, 3> figures_{};
    HWND bands_ = nullptr;
    HWND copyBands_ = nullptr;
    KeyboardNavigation navigation_;
    // What is shown, to change only what changed.
    std::array<std::string, 3> figureTexts_;
    std::vector<std::array<std::string, 5>> rows_;
};

}  // namespace win32_window
