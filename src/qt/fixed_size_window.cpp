#include "fixed_size_window.h"

#include <QEvent>
#include <QWindowStateChangeEvent>
#include <QWidget>
#include <QWindow>

namespace qt_window {

FixedSizeWindowGuard::FixedSizeWindowGuard(QWidget* widget) : QObject(widget), widget_(widget) {
    widget->windowHandle()->installEventFilter(this);
}

bool FixedSizeWindowGuard::eventFilter(QObject* watched, QEvent* event) {
    // Spontaneous state changes are the compositor's configures, applied by Qt.
    if (event->type() != QEvent::WindowStateChange || !event->spontaneous()) return false;
    auto* window = static_cast<QWindow*>(watched);
    const Qt::WindowStates states = window->windowStates();
    if (states & Qt::WindowMaximized) {
        // No frame may be drawn until another configure has been answered,
        // and the compositor sends one only for a state other than the one
        // it last saw drawn: full screen after the normal state, the normal
        // state after full screen.
        suspended_ = true;
        widget_->setUpdatesEnabled(false);
        const auto before = static_cast<QWindowStateChangeEvent*>(event)->oldState();
        window->setWindowStates((before & Qt::WindowFullScreen) ? Qt::WindowNoState : Qt::WindowFullScreen);
        return false;
    }
    if (suspended_) {
        suspended_ = false;
        widget_->setUpdatesEnabled(true);
    }
    if (!(states & Qt::WindowFullScreen)) {
        // The compositor applies the normal state with the next frame.
        if (leftFullScreen_) widget_->update();
        leftFullScreen_ = false;
    } else if (!leftFullScreen_) {
        // One frame in the full-screen state first: only after it does the
        // compositor answer the way back. A compositor that insists on full
        // screen (a kiosk) is asked once.
        leftFullScreen_ = true;
        widget_->repaint();
        window->setWindowStates(states & ~Qt::WindowFullScreen);
    }
    return false;
}

}  // namespace qt_window
