#pragma once

// The view "Наблюдение", built from the design's table
// (design::ObservationTable()) by kind alone, as the main window is built
// from its own: each picture box is a drawing (plot_widget.h), each label
// without a text of its own a figure, the table holds the bands tried and
// the button copies it. The i-th picture box shows the picture's i-th plot,
// the i-th such label its i-th figure. The widgets are laid out by the
// core (regulator::LayOutObservation) in the height the screen leaves. It
// shows what the window's logic gives it and decides nothing; its close box
// and its button are reported as signals.
//
// Where Qt places windows (X11) it is a tool window whose transient parent
// is the main window, placed beside it by regulator::PlaceView: window
// managers keep it above the main window and with it, and it is a secondary
// window, so the program still ends when the main window is closed. On
// Wayland, where a program cannot place its windows, it is shown inside the
// main window's own frame instead (wayland_frame.h).

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
    // parent: the main window's form, which owns the view.
    explicit ObservationWindow(QWidget* parent);

    // Shows the window beside mainWindow (a shown top-level window) where
    // regulator::PlaceView puts it on mainWindow's screen, moving
    // mainWindow where the placement says and laying the view out in the
    // height it is given; raises it when it is shown already.
    void ShowBeside(QWidget* mainWindow);
    // Lays the widgets out in a client area clientHeightTwips high
    // (regulator::LayOutObservation) and takes that height.
    void LayOut(int clientHeightTwips);
    int HeightTwips() const { return heightTwips_; }
    // Draws the picture; texts and the table change only where they differ.
    void Show(const regulator::ObservationPicture& picture);

    // The drawings and the figures, in the design table's order.
    const std::vector<PlotWidget*>& Plots() const { return plots_; }
    const std::vector<QLabel*>& Figures() const { return figures_; }

signals:
    void copyBandsClicked();
    // The window was closed by its close box (not hidden by the program).
    void closedByUser();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildWidgets();
    void ShowRows(const std::vector<std::array<std::string, 5>>& rows);

    std::vector<QWidget*> widgets_;  // one for each row of the design's table
    std::vector<PlotWidget*> plots_;
    std::vector<QLabel*> figures_;
    std::vector<std::string> shownFigures_;
    QTableWidget* bands_ = nullptr;
    std::vector<std::array<std::string, 5>> shownRows_;
    int heightTwips_ = 0;
};

}  // namespace qt_window
