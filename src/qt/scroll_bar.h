#pragma once

// The temperature scroll bar drawn as a classic three-dimensional bar: square
// raised arrow buttons and a square thumb on a flat track. Solid fills keep it
// sharp at any scale and cheap to repaint, which matters because the bar
// moves on every tick of the simulation. The layout below is also what the
// bar uses to tell which part a click hit; everything else is Fusion's.

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

// VScroll1 in that style. The user's changes come as valueChanged (arrows,
// track, keys, wheel, a screen reader; a drag once, on release).
class ScrollBar final : public QScrollBar {
    Q_OBJECT

public:
    explicit ScrollBar(QWidget* parent = nullptr);
    ~ScrollBar() override;

    // Range and position, raising nothing: no valueChanged, and no step for
    // screen readers to read out.
    void Show(const regulator::ScaleState& scale);
    // The value change screen readers read out while the bar has the focus.
    void ReportValue(std::int16_t temperature);
    // Its value for screen readers: the temperature shown.
    std::int16_t Temperature() const { return temperature_; }

private:
    std::unique_ptr<ScrollBarStyle> style_;
    std::int16_t temperature_ = 0;
};

}  // namespace qt_window
