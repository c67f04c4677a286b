#pragma once

// VScroll1, the temperature scale: a vertical scroll bar whose position the
// program sets (silently) and the user changes, drawn as a classic
// three-dimensional bar.
//
// ScrollBarStyle draws it: square raised arrow buttons and a square thumb on
// a flat track. Solid fills keep it sharp at any scale and cheap to repaint,
// which matters because the bar moves on every tick of the simulation. The
// layout below is also what the bar uses to tell which part a click hit;
// everything else is Fusion's.

#include "widget_operations.h"

#include <QProxyStyle>
#include <QScrollBar>

#include <cstdint>
#include <memory>

namespace qt_window {

class ScrollBarStyle final : public QProxyStyle {
    Q_OBJECT

public:
    ScrollBarStyle();

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget = nullptr) const override;
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl part,
                         const QWidget* widget = nullptr) const override;
};

// The user's changes come as valueChanged: an arrow, the track, a key, the
// wheel, a screen reader, and a drag once, when the thumb is released.
class ScrollBar final : public QScrollBar {
    Q_OBJECT

public:
    explicit ScrollBar(QWidget* parent = nullptr);
    ~ScrollBar() override;

    // Shows the scale's range and position. Raises nothing: no valueChanged,
    // and nothing for screen readers, which would otherwise speak every step
    // of a run while the bar has the focus.
    void Show(const regulator::ScaleState& scale);
    // Tells screen readers that the value, the temperature, changed; they
    // read it out while the bar has the focus.
    void ReportValue(std::int16_t temperature);
    // The value screen readers are given: the temperature the bar shows.
    std::int16_t Temperature() const { return temperature_; }

private:
    std::unique_ptr<ScrollBarStyle> style_;
    std::int16_t temperature_ = 0;
};

}  // namespace qt_window
