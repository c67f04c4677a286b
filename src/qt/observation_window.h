#pragma once

// The view "Наблюдение": a window of its own beside the main one, built from
// the design's table (design::ObservationTable()) as the main window is
// built from its own: the temperature over time and the hysteresis loop
// (plot_widget.h) under their titles, three figures, the table of the bands
// tried and a button that copies it. It shows what the window's logic gives
// it and decides nothing; its close box and its button are reported as
// signals.
//
// A tool window whose transient parent is the main window: window managers
// keep it above the main window and with it, and it is a secondary window,
// so the program still ends when the main window is closed.

#include "observation_view.h"

#include <QWidget>

#include <array>
#include <string>
#include <vector>

class QLabel;
class QPushButton;
class QTableWidget;

namespace qt_window {

class PlotWidget;

class ObservationWindow final : public QWidget {
    Q_OBJECT

public:
    // Space between the main window and the view beside it.
    static constexpr int kGapPixels = 8;
    // The table's texts: the window's font at a size at which the five
    // headers fit side by side in the table's width.
    static constexpr int kTablePointSize = 10;

    // parent: the main window's form, which owns the view.
    explicit ObservationWindow(QWidget* parent);

    // Shows the window to the right of mainWindow (a shown top-level
    // window), or to its left, or at the screen's right edge, whichever
    // first fits on its screen; raises it when it is shown already.
    void ShowBeside(QWidget* mainWindow);
    // Draws the picture; texts and the table change only where they differ.
    void Show(const regulator::ObservationPicture& picture);

signals:
    void copyBandsClicked();
    // The window was closed by its close box (not hidden by the program).
    void closedByUser();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildWidgets();
    void ShowRows(const std::vector<std::array<std::string, 5>>& rows);

    PlotWidget* trace_ = nullptr;
    PlotWidget* loop_ = nullptr;
    std::array<QLabel*, 3> figures_{};
    QTableWidget* bands_ = nullptr;
    QPushButton* copyBands_ = nullptr;
    std::array<std::string, 3> shownFigures_;
    std::vector<std::array<std::string, 5>> shownRows_;
};

}  // namespace qt_window
