#include "wayland_frame.h"

#include "design_qt.h"
#include "fixed_size_window.h"
#include "view_design.h"

#include <QApplication>
#include <QCloseEvent>
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
    FitSize();
    form->show();
    if (focus != nullptr) focus->setFocus();
    connect(form, &QWidget::windowTitleChanged, this, &QWidget::setWindowTitle);
}

WaylandFrame::~WaylandFrame() {
    // The form belongs to whoever made it, not to the frame; the side is
    // given back to the form.
    if (side_ != nullptr) {
        side_->hide();
        side_->setParent(form_);
    }
    form_->hide();
    form_->setParent(nullptr);
}

QRect WaylandFrame::PaneRect(Pane pane) const {
    const QRect form(0, 0, form_->width() + 2 * kBorder, form_->height() + kTitleHeight + 2 * kBorder);
    if (pane != Pane::Side || side_ == nullptr) return form;
    return {form.right() + 1 + design::view::kGapPixels, 0, side_->width() + 2 * kBorder,
            side_->height() + kTitleHeight + 2 * kBorder};
}

QRect WaylandFrame::TitleBar(Pane pane) const {
    const QRect outer = PaneRect(pane);
    return {outer.left() + kBorder, outer.top() + kBorder, outer.width() - 2 * kBorder, kTitleHeight};
}

QRect WaylandFrame::CloseBox(Pane pane) const {
    const QRect bar = TitleBar(pane);
    QRect box({0, 0}, kCloseBoxSize);
    box.moveCenter(QPoint(bar.right() - 3 - kCloseBoxSize.width() / 2, bar.center().y()));
    return box;
}

bool WaylandFrame::SideShown() const { return side_ != nullptr && !side_->isHidden(); }

void WaylandFrame::FitSize() {
    QRect all = PaneRect(Pane::Form);
    if (SideShown()) all |= PaneRect(Pane::Side);
    setFixedSize(all.size());
}

void WaylandFrame::ShowSide(QWidget* side) {
    if (side_ != side) {
        if (side_ != nullptr) HideSide();
        side_ = side;
        // Moving into another window forgets which control had the focus.
        QWidget* focus = focusWidget();
        side->setParent(this, Qt::Widget);
        if (focus != nullptr) focus->setFocus();
    }
    const QRect pane = PaneRect(Pane::Side);
    side->move(pane.left() + kBorder, pane.top() + kBorder + kTitleHeight);
    side->show();
    FitSize();
    update();
}

void WaylandFrame::HideSide() {
    if (!SideShown()) return;
    const bool hadFocus = side_->isAncestorOf(QApplication::focusWidget());
    side_->hide();
    if (hadFocus) form_->setFocus();
    FitSize();
    update();
}

void WaylandFrame::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (findChild<FixedSizeWindowGuard*>() == nullptr) new FixedSizeWindowGuard(this);
}

void WaylandFrame::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // Window background between the form and the side, and below the lower.
    painter.fillRect(rect(), QColor(ToQRgb(design::kWindowBackground)));
    PaintPane(painter, Pane::Form, windowTitle(), windowIcon());
    if (SideShown()) PaintPane(painter, Pane::Side, side_->windowTitle(), side_->windowIcon());
}

void WaylandFrame::PaintPane(QPainter& painter, Pane pane, const QString& title, const QIcon& icon) {
    painter.setPen(kBorderColour);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(PaneRect(pane).adjusted(0, 0, -1, -1));
    const QRect bar = TitleBar(pane);
    painter.fillRect(bar, kActiveCaption);

    const QRect close = CloseBox(pane);
    const int iconSize = kTitleHeight - 6;
    const QRect iconRect(bar.left() + 3, bar.top() + 3, iconSize, iconSize);
    icon.paint(&painter, iconRect);

    QFont captionFont = font();
    captionFont.setBold(true);
    painter.setFont(captionFont);
    painter.setPen(kCaptionText);
    const QRect textRect(iconRect.right() + 5, bar.top(), close.left() - iconRect.right() - 10, bar.height());
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter,
                     painter.fontMetrics().elidedText(title, Qt::ElideRight, textRect.width()));

    // The close box: a small raised button with a cross.
    const bool sunken = closeSunken_ && pressed_ == pane;
    qDrawWinButton(&painter, close, palette(), sunken, &palette().brush(QPalette::Button));
    QPen cross(Qt::black, 2);
    painter.setPen(cross);
    const QRect mark = close.adjusted(4, 3, -5, -4).translated(sunken ? 1 : 0, sunken ? 1 : 0);
    painter.drawLine(mark.topLeft(), mark.bottomRight());
    painter.drawLine(mark.bottomLeft(), mark.topRight());
}

void WaylandFrame::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPoint at = event->position().toPoint();
    for (const Pane pane : {Pane::Form, Pane::Side}) {
        if (pane == Pane::Side && !SideShown()) continue;
        if (CloseBox(pane).contains(at)) {
            pressed_ = pane;
            closeSunken_ = true;
            update(CloseBox(pane));
            return;
        }
        if (TitleBar(pane).contains(at) && windowHandle() != nullptr) {
            windowHandle()->startSystemMove();
            return;
        }
    }
}

void WaylandFrame::mouseMoveEvent(QMouseEvent* event) {
    if (pressed_ == Pane::None) return;
    const bool over = CloseBox(pressed_).contains(event->position().toPoint());
    if (over != closeSunken_) {
        closeSunken_ = over;
        update(CloseBox(pressed_));
    }
}

void WaylandFrame::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || pressed_ == Pane::None) return;
    const Pane pane = pressed_;
    const bool close = CloseBox(pane).contains(event->position().toPoint());
    pressed_ = Pane::None;
    closeSunken_ = false;
    update(CloseBox(pane));
    if (!close) return;
    if (pane == Pane::Form) {
        this->close();
    } else if (SideShown()) {
        // The side decides: a close event it may answer by hiding itself.
        QCloseEvent request;
        QCoreApplication::sendEvent(side_, &request);
    }
}

void WaylandFrame::mouseDoubleClickEvent(QMouseEvent* event) {
    // No maximising; a double click on a close box is a click.
    const QPoint at = event->position().toPoint();
    if (CloseBox(Pane::Form).contains(at) || (SideShown() && CloseBox(Pane::Side).contains(at))) {
        mousePressEvent(event);
    }
}

}  // namespace qt_window
