#include "gauge.h"

#include "widget_table.h"

#include <QPainter>
#include <qdrawutil.h>

namespace qt_window {

Gauge::Gauge(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
}

double Gauge::WidthTwips() const { return width() * design::kTwipsPerPixel; }
double Gauge::HeightTwips() const { return height() * design::kTwipsPerPixel; }

void Gauge::Cls() {
    boxes_.clear();
    update();
}

void Gauge::FillBox(QPointF corner1, QPointF corner2, QColor colour) {
    boxes_.push_back({QRectF(corner1, corner2).normalized(), colour});
    update();
}

void Gauge::SetAccessibleValue(int value) { accessibleValue_ = value; }

void Gauge::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // The whole area first: at a fractional screen scale the border's lines
    // do not cover every device pixel of their two logical pixels.
    painter.fillRect(rect(), palette().color(QPalette::Window));
    const QRect inner = rect().adjusted(kBorderPixels, kBorderPixels, -kBorderPixels, -kBorderPixels);

    painter.save();
    painter.setClipRect(inner);
    painter.translate(inner.topLeft());
    painter.scale(1.0 / design::kTwipsPerPixel, 1.0 / design::kTwipsPerPixel);
    for (const Box& box : boxes_) painter.fillRect(box.twips, box.colour);
    painter.restore();

    qDrawWinPanel(&painter, rect(), palette(), /*sunken=*/true);
}

}  // namespace qt_window
