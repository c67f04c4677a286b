#pragma once

// The temperature scroll bar drawn as a classic three-dimensional bar: square
// raised arrow buttons and a square thumb on a flat track. Solid fills keep it
// sharp at any scale and cheap to repaint, which matters because the bar
// moves on every tick of the simulation. The layout below is also what the
// bar uses to tell which part a click hit; everything else is Fusion's.

#include <QProxyStyle>

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

}  // namespace qt_window
