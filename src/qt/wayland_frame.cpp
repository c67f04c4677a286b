#include "wayland_frame.h"

#include "design_qt.h"
#include "fixed_size_window.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWindow>
#include <qdrawutil.h>

namespace qt_window {
namespace {

// The title bar of a classic active window; its outer edge is the chrome's.
const QColor kActiveCaption(0, 0, 128);
const QColor kCaptionText(255, 255, 255);
const QColor kBorderColour(ToQRgb(design::kChromeDarkShadow));
constexpr QSize kCloseBoxSize(16, 14);

}  // namespace

WaylandFrame::WaylandFrame(QWidget* form) : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), form_(form) {
    setObjectName(QStringLiteral("WaylandFrame"));
    setWindowTitle(form->windowTitle());
    setWindowIcon(form->windowIcon());
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    // Moving into another window forgets which control had the focus.
    QWidget* focus = form->focusWidget();
    form->setParent(this, Qt::Widget);
    form->move(kBorder, kBorder + kTitleHeight);
    setFixedSize(form->width() + 2 * kBorder, form->height() + kTitleHeight + 2 * kBorder);
    form->show();
    if (focus != nullptr) focus->setFocus();
    connect(form, &QWidget::windowTitleChanged, this, &QWidget::setWindowTitle);
}

WaylandFrame::~WaylandFrame() {
    // The form belongs to whoever made it, not to the frame.
    form_->hide();
    form_->setParent(nullptr);
}

QRect WaylandFrame::TitleBar() const { return {kBorder, kBorder, width() - 2 * kBorder, kTitleHeight}; }

QRect WaylandFrame::CloseBox() const {
    const QRect bar = TitleBar();
    QRect box({0, 0}, kCloseBoxSize);
    box.moveCenter(QPoint(bar.right() - 3 - kCloseBoxSize.width() / 2, bar.center().y()));
    return box;
}

void WaylandFrame::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (findChild<FixedSizeWindowGuard*>() == nullptr) new FixedSizeWindowGuard(this);
}

void WaylandFrame::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(kBorderColour);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    const QRect bar = TitleBar();
    painter.fillRect(bar, kActiveCaption);

    const QRect close = CloseBox();
    const int iconSize = kTitleHeight - 6;
    const QRect iconRect(bar.left() + 3, bar.top() + 3, iconSize, iconSize);
    windowIcon().paint(&painter, iconRect);

    QFont captionFont = font();
    captionFont.setBold(true);
    painter.setFont(captionFont);
    painter.setPen(kCaptionText);
    const QRect textRect(iconRect.right() + 5, bar.top(), close.left() - iconRect.right() - 10, bar.height());
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter,
                     painter.fontMetrics().elidedText(windowTitle(), Qt::ElideRight, textRect.width()));

    // The close box: a small raised button with a cross.
    qDrawWinButton(&painter, close, palette(), closeSunken_, &palette().brush(QPalette::Button));
    QPen cross(Qt::black, 2);
    painter.setPen(cross);
    const QRect mark = close.adjusted(4, 3, -5, -4).translated(closeSunken_ ? 1 : 0, closeSunken_ ? 1 : 0);
    painter.drawLine(mark.topLeft(), mark.bottomRight());
    painter.drawLine(mark.bottomLeft(), mark.topRight());
}

void WaylandFrame::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPoint at = event->position().toPoint();
    if (CloseBox().contains(at)) {
        closePressed_ = closeSunken_ = true;
        update(CloseBox());
    } else if (TitleBar().contains(at) && windowHandle() != nullptr) {
        windowHandle()->startSystemMove();
    }
}

void WaylandFrame::mouseMoveEvent(QMouseEvent* event) {
    if (!closePressed_) return;
    const bool over = CloseBox().contains(event->position().toPoint());
    if (over != closeSunken_) {
        closeSunken_ = over;
        update(CloseBox());
    }
}

void WaylandFrame::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !closePressed_) return;
    const bool close = CloseBox().contains(event->position().toPoint());
    closePressed_ = closeSunken_ = false;
    update(CloseBox());
    if (close) this->close();
}

void WaylandFrame::mouseDoubleClickEvent(QMouseEvent* event) {
    // No maximising; a double click on the close box is a click.
    if (CloseBox().contains(event->position().toPoint())) mousePressEvent(event);
}

}  // namespace qt_window
