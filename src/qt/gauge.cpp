#include "gauge.h"

#include "design_qt.h"
#include "widget_table.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QPainter>
#include <qdrawutil.h>

namespace qt_window {

Gauge::Gauge(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
}

double Gauge::WidthTwips() const { return design::PixelsToTwips(width()); }
double Gauge::HeightTwips() const { return design::PixelsToTwips(height()); }

void Gauge::Cls() {
    boxes_.clear();
    update();
}

void Gauge::FillBox(const regulator::GaugeBox& box) {
    boxes_.push_back(box);
    update();
}

void Gauge::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // The whole area first: at a fractional screen scale the border's lines
    // do not cover every device pixel of their two logical pixels.
    painter.fillRect(rect(), palette().color(QPalette::Window));
    const QRect inner = rect().adjusted(kBorderPixels, kBorderPixels, -kBorderPixels, -kBorderPixels);

    painter.save();
    painter.setClipRect(inner);
    painter.translate(inner.topLeft());
    const double pixelsPerTwip = design::TwipsToPixels(1);
    painter.scale(pixelsPerTwip, pixelsPerTwip);
    for (const regulator::GaugeBox& box : boxes_) {
        const QRectF twips(QPointF(box.corner1.x, box.corner1.y), QPointF(box.corner2.x, box.corner2.y));
        painter.fillRect(twips.normalized(), QColor(ToQRgb(box.colour)));
    }
    painter.restore();

    qDrawWinPanel(&painter, rect(), palette(), /*sunken=*/true);
}

void Gauge::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_F10 || event->modifiers() != Qt::ShiftModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    const QPoint at = rect().center();
    QContextMenuEvent request(QContextMenuEvent::Keyboard, at, mapToGlobal(at), event->modifiers());
    QCoreApplication::sendEvent(this, &request);
}

}  // namespace qt_window
