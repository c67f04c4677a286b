#include "scroll_bar.h"

#include "accessibility.h"
#include "design_qt.h"
#include "widget_table.h"

#include <QAccessible>
#include <QPainter>
#include <QPolygon>
#include <QSignalBlocker>
#include <QStyleFactory>
#include <QStyleOptionSlider>
#include <qdrawutil.h>

#include <algorithm>

namespace qt_window {
namespace {

constexpr QRgb kTrack = ToQRgb(design::kScrollTrack);

// A solid triangle pointing up or down, centred in `area`.
void DrawArrow(QPainter* painter, const QRect& area, bool up, const QColor& colour) {
    const int half = std::max(2, area.width() / 4);
    const int height = half;
    const QPoint centre = area.center();
    const int top = centre.y() - height / 2;
    QPolygon triangle;
    if (up) {
        triangle << QPoint(centre.x(), top) << QPoint(centre.x() - half, top + height)
                 << QPoint(centre.x() + half, top + height);
    } else {
        triangle << QPoint(centre.x() - half, top) << QPoint(centre.x() + half, top)
                 << QPoint(centre.x(), top + height);
    }
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setPen(colour);
    painter->setBrush(colour);
    painter->drawPolygon(triangle);
    painter->restore();
}

}  // namespace

ScrollBarStyle::ScrollBarStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

QRect ScrollBarStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl part,
                                     const QWidget* widget) const {
    const auto* bar = qstyleoption_cast<const QStyleOptionSlider*>(option);
    if (control != CC_ScrollBar || bar == nullptr || bar->orientation != Qt::Vertical) {
        return QProxyStyle::subControlRect(control, option, part, widget);
    }
    // Square buttons at both ends, a square thumb between them.
    const QRect all = bar->rect;
    const int side = std::min(all.width(), all.height() / 3);
    const QRect groove(all.left(), all.top() + side, all.width(), all.height() - 2 * side);
    const int thumbLength = std::min(side, groove.height());
    const int travel = groove.height() - thumbLength;
    const int offset =
        sliderPositionFromValue(bar->minimum, bar->maximum, bar->sliderPosition, travel, bar->upsideDown);
    const QRect thumb(all.left(), groove.top() + offset, all.width(), thumbLength);
    switch (part) {
        case SC_ScrollBarSubLine:
            return {all.left(), all.top(), all.width(), side};
        case SC_ScrollBarAddLine:
            return {all.left(), all.bottom() - side + 1, all.width(), side};
        case SC_ScrollBarGroove:
            return groove;
        case SC_ScrollBarSlider:
            return thumb;
        case SC_ScrollBarSubPage:
            return {all.left(), groove.top(), all.width(), thumb.top() - groove.top()};
        case SC_ScrollBarAddPage:
            return {all.left(), thumb.bottom() + 1, all.width(), groove.bottom() - thumb.bottom()};
        default:
            return QProxyStyle::subControlRect(control, option, part, widget);
    }
}

void ScrollBarStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                                        const QWidget* widget) const {
    const auto* bar = qstyleoption_cast<const QStyleOptionSlider*>(option);
    if (control != CC_ScrollBar || bar == nullptr || bar->orientation != Qt::Vertical) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    const QPalette& palette = bar->palette;
    painter->fillRect(bar->rect, QColor(kTrack));

    const QColor arrowColour = (bar->state & State_Enabled) ? palette.color(QPalette::ButtonText)
                                                            : palette.color(QPalette::Dark);
    for (const SubControl part : {SC_ScrollBarSubLine, SC_ScrollBarAddLine}) {
        const QRect area = subControlRect(CC_ScrollBar, bar, part, widget);
        const bool pressed = (bar->activeSubControls & part) && (bar->state & State_Sunken);
        qDrawWinButton(painter, area, palette, pressed, &palette.brush(QPalette::Button));
        DrawArrow(painter, area.translated(pressed ? 1 : 0, pressed ? 1 : 0), part == SC_ScrollBarSubLine, arrowColour);
    }

    const QRect thumb = subControlRect(CC_ScrollBar, bar, SC_ScrollBarSlider, widget);
    if (thumb.isValid()) {
        qDrawWinButton(painter, thumb, palette, false, &palette.brush(QPalette::Button));
        if (bar->state & State_HasFocus) {
            // Keyboard focus: a dotted line inside the thumb.
            painter->save();
            painter->setPen(QPen(palette.color(QPalette::WindowText), 1, Qt::DotLine));
            painter->drawRect(thumb.adjusted(3, 3, -4, -4));
            painter->restore();
        }
    }
}

ScrollBar::ScrollBar(QWidget* parent) : QScrollBar(Qt::Vertical, parent), style_(std::make_unique<ScrollBarStyle>()) {
    setSingleStep(design::kScaleSmallChange);
    setPageStep(design::kScaleLargeChange);
    // A drag counts once, when the thumb is released.
    setTracking(false);
    setFocusPolicy(Qt::StrongFocus);
    setStyle(style_.get());
}

// The style goes with the bar's fields, before the widget: hand the bar back
// to the application's style first.
ScrollBar::~ScrollBar() { setStyle(nullptr); }

void ScrollBar::Show(const regulator::ScaleState& scale) {
    temperature_ = regulator::Temperature(scale);
    const QSignalBlocker blocker(this);
    const SilentAccessibility silent;
    setRange(scale.min, scale.max);
    setValue(scale.value);
}

void ScrollBar::ReportValue(std::int16_t temperature) {
    QAccessibleValueChangeEvent event(this, temperature);
    QAccessible::updateAccessibility(&event);
}

}  // namespace qt_window
