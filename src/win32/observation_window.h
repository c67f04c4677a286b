#pragma once

// The view "Наблюдение": a window of its own beside the main one, owned by
// it (it stays above it and goes with it), built from the design's
// ObservationTable() as the main window is from its table, at the DPI of
// the screen it is on. It shows what it is given:
//
// Each row of the table is made by its kind alone, none by its name:
//
//   a label with a text     that text (a drawing's title)
//   a label without one     a figure: the i-th such label shows the
//                           picture's figures[i]
//   a picture box           a drawing (plot_box.h): the i-th shows the
//                           picture's plots[i], named by its title for screen
//                           readers and described by the drawing's
//                           description, kept current
//   the table               a list view in report view: the bands' column
//                           headers and a row per band, in the design's
//                           table font and cell alignment
//   the push button         "Копирай таблицата"
//
// It is placed by regulator::PlaceView beside the main window (which may
// be moved for it) and laid out by regulator::LayOutObservation in the
// client height that leaves: on a low screen its drawings shrink.
//
// Its events go to the handlers it was made with: its close box (the logic
// then tells it to hide) and the button's click. The dialog manager's keys
// work in it as in the main window (keyboard_navigation.h). Nothing is
// updated that did not change: the drawings are repainted, texts and cells
// only when new.

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
#include <memory>
#include <string>
#include <vector>

namespace win32_window {

class ObservationWindow {
public:
    static constexpr const wchar_t* kClassName = L"DulmeriObservation";

    struct Handlers {
        std::function<void()> closed;                                // by its close box (it is still shown)
        std::function<void()> copyBands;                             // "Копирай таблицата"
        std::function<void(const std::string& description)> failed;  // an error in its own code
    };

    // The annotations are the main window's, which outlive this window.
    ObservationWindow(Annotations& annotations, Handlers handlers);
    ~ObservationWindow();
    ObservationWindow(const ObservationWindow&) = delete;
    ObservationWindow& operator=(const ObservationWindow&) = delete;

    // Shows the view beside `owner` (placed by regulator::PlaceView, which
    // may move the owner), made the first time, and activates it; or hides
    // it, giving the activation back to the owner, which stays where it is.
    void Show(HWND owner, bool shown);
    void Draw(const regulator::ObservationPicture& picture);
    // The dialog manager's keys in the view; true when it took the message.
    bool PreTranslateMessage(MSG& message) { return navigation_.PreTranslateMessage(message); }

    // Null until first shown.
    HWND Hwnd() const { return hwnd_; }
    // A control by its name in the view's table, null until first shown.
    HWND Control(const char* name) const;
    UINT Dpi() const { return dpi_; }
    // The client height, in twips, the view is laid out in.
    int ClientHeightTwips() const { return clientHeightTwips_; }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void Create(HWND owner);
    void BuildControls();
    HWND CreateControl(const design::WidgetSpec& spec, int id);
    HWND CreateTable(const design::WidgetSpec& spec, int id);
    void Layout();
    void FitColumns();
    void Place(HWND owner);
    void ApplyDpi(UINT dpi, const RECT* suggested);
    void Describe(const PlotBox& box);
    void ShowRows(const std::vector<std::array<std::string, 5>>& rows);

    Annotations& annotations_;
    Handlers handlers_;
    HWND hwnd_ = nullptr;
    UINT dpi_ = design::kStandardDpi;
    Font font_;
    Font tableFont_;  // the table's header and cells
    int clientHeightTwips_ = design::kObservationHeightTwips;
    Brush background_;
    ControlColours colours_;
    std::vector<HWND> controls_;                   // one per row of the view's table
    std::vector<std::unique_ptr<PlotBox>> plots_;  // one per picture box, in table order
    std::vector<HWND> figures_;                    // the labels without a text, in table order
    HWND bands_ = nullptr;
    HWND copyBands_ = nullptr;
    KeyboardNavigation navigation_;
    // What is shown, to change only what changed.
    std::vector<std::string> figureTexts_;
    std::vector<std::array<std::string, 5>> rows_;
};

}  // namespace win32_window
