#pragma once

// Picture1, the thermometer column: a picture box that keeps what was drawn
// on it. The window's logic draws it as solid boxes in twips, in the box's
// own coordinates (origin at the top left of the area inside the border, y
// growing downwards); the boxes are kept and replayed whenever the widget is
// painted, so covering and uncovering the window shows the last drawing and
// it stays sharp at any screen scale.

#include "gauge_drawing.h"

#include <QWidget>

#include <vector>

namespace qt_window {

class Gauge final : public QWidget {
    Q_OBJECT

public:
    static constexpr int kBorderPixels = 2;  // the sunken three-dimensional border

    explicit Gauge(QWidget* parent = nullptr);

    // The outer size, border included, in twips.
    double WidthTwips() const;
    double HeightTwips() const;

    // Clears the drawing to the background colour.
    void Cls();
    // Adds a solid box to the drawing, clipped to the area inside the border.
    void FillBox(const regulator::GaugeBox& box);

    // What a screen reader reports as the gauge's value: the temperature.
    // A change raises no event: screen readers speak a progress bar's changes
    // as a bare percentage, without its name, even when it has no focus. The
    // scroll bar speaks the same temperature; the gauge tells it when asked.
    void SetAccessibleValue(int value) { accessibleValue_ = value; }
    int AccessibleValue() const { return accessibleValue_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    // Shift+F10 asks for the context menu, as the menu key does.
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::vector<regulator::GaugeBox> boxes_;
    int accessibleValue_ = 0;
};

}  // namespace qt_window
