#include "plot_widget.h"

#include "design_qt.h"
#include "view_design.h"

#include <QAccessibleWidget>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <qdrawutil.h>

#include <algorithm>
#include <mutex>

namespace qt_window {
namespace {

// Dashes and gaps, in multiples of the line's width, as Qt takes them.
const QList<qreal> kDashes(design::view::kDashPattern.begin(), design::view::kDashPattern.end());

QAccessibleInterface* PlotAccessibleFactory(const QString&, QObject* object) {
    if (auto* plot = qobject_cast<PlotWidget*>(object)) return new QAccessibleWidget(plot, QAccessible::Graphic);
    return nullptr;
}

}  // namespace

PlotWidget::PlotWidget(QWidget* parent) : QWidget(parent), textFont_(WindowFont()) {
    static std::once_flag installed;
    std::call_once(installed, [] { QAccessible::installFactory(PlotAccessibleFactory); });
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
    setFocusPolicy(Qt::StrongFocus);
    textFont_.setPointSize(design::view::kDrawingTextPointSize);
}

void PlotWidget::SetPlot(const regulator::Plot& plot) {
    if (plot.description != plot_.description) setAccessibleDescription(Text(plot.description));
    const bool same = regulator::SameDrawing(plot, plot_);
    plot_ = plot;  // reuses the vectors' storage
    if (!same) update();
}

void PlotWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));

    if (plot_.width > 0 && plot_.height > 0) {
        painter.save();
        painter.setClipRect(rect().adjusted(kBorderPixels, kBorderPixels, -kBorderPixels, -kBorderPixels));
        // One plot pixel is one logical pixel when the box has the drawing's size.
        const double sx = width() / plot_.width, sy = height() / plot_.height;
        const double scale = std::min(sx, sy);
        const auto at = [sx, sy](double x, double y) { return QPointF(x * sx, y * sy); };

        // Lines along the axes on whole pixels, crisp; the rest smoothed. Lines
        // drawn alike, each starting where the one before it ends, are one
        // polyline (a run's path: joined, with caps at its two ends only).
        const auto straight = [](const regulator::PlotLine& line) { return line.x1 == line.x2 || line.y1 == line.y2; };
        const auto alike = [&](const regulator::PlotLine& a, const regulator::PlotLine& b) {
            return a.colour == b.colour && a.width == b.width && a.dashed == b.dashed && straight(a) == straight(b);
        };
        for (std::size_t first = 0; first < plot_.lines.size();) {
            const regulator::PlotLine& line = plot_.lines[first];
            std::size_t end = first + 1;
            while (end < plot_.lines.size() && alike(plot_.lines[end], line)) ++end;
            painter.setRenderHint(QPainter::Antialiasing, !straight(line));
            QPen pen(QColor(ToQRgb(line.colour)), line.width * scale);
            pen.setCapStyle(!straight(line) ? Qt::RoundCap : line.width > 1 ? Qt::SquareCap : Qt::FlatCap);
            pen.setJoinStyle(!straight(line) ? Qt::BevelJoin : Qt::MiterJoin);
            if (line.dashed) pen.setDashPattern(kDashes);
            painter.setPen(pen);
            for (std::size_t i = first; i < end; ++i) {
                const regulator::PlotLine& each = plot_.lines[i];
                if (i == first || each.x1 != plot_.lines[i - 1].x2 || each.y1 != plot_.lines[i - 1].y2) {
                    if (chain_.size() > 1) painter.drawPolyline(chain_.data(), static_cast<int>(chain_.size()));
                    chain_.clear();
                    chain_.push_back(at(each.x1, each.y1));
                }
                chain_.push_back(at(each.x2, each.y2));
            }
            painter.drawPolyline(chain_.data(), static_cast<int>(chain_.size()));
            chain_.clear();
            first = end;
        }

        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        for (const regulator::PlotMarker& marker : plot_.markers) {
            painter.setBrush(QColor(ToQRgb(marker.colour)));
            painter.drawEllipse(at(marker.x, marker.y), marker.radius * sx, marker.radius * sy);
        }

        // Each text in a box as wide as the drawing, on the side its anchor
        // gives, centred on the line through its y.
        painter.setFont(textFont_);
        painter.setPen(palette().color(QPalette::WindowText));
        const double boxWidth = width(), boxHeight = height();
        for (const regulator::PlotText& text : plot_.texts) {
            const QPointF anchor = at(text.x, text.y);
            QRectF box(anchor.x(), anchor.y() - boxHeight / 2, boxWidth, boxHeight);
            Qt::Alignment alignment = Qt::AlignVCenter;
            switch (text.anchor) {
                case regulator::TextAnchor::Start:
                    alignment |= Qt::AlignLeft;
                    break;
                case regulator::TextAnchor::Middle:
                    box.moveLeft(anchor.x() - boxWidth / 2);
                    alignment |= Qt::AlignHCenter;
                    break;
                case regulator::TextAnchor::End:
                    box.moveRight(anchor.x());
                    alignment |= Qt::AlignRight;
                    break;
            }
            painter.drawText(box, static_cast<int>(alignment), Text(text.text));
        }
        painter.restore();
    }

    qDrawWinPanel(&painter, rect(), palette(), /*sunken=*/true);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(kBorderPixels + 1, kBorderPixels + 1, -kBorderPixels - 1, -kBorderPixels - 1);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

}  // namespace qt_window
