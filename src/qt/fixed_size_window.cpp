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
        leavingMaximised_ = true;
        widget_->setUpdatesEnabled(false);
        const bool wasFullScreen = static_cast<QWindowStateChangeEvent*>(event)->oldState() & Qt::WindowFullScreen;
        throughFullScreen_ = !wasFullScreen;
        window->setWindowStates(wasFullScreen ? Qt::WindowNoState : Qt::WindowFullScreen);
    } else if (leavingMaximised_) {
        leavingMaximised_ = false;
        widget_->setUpdatesEnabled(true);
        if (throughFullScreen_ && (states & Qt::WindowFullScreen)) {
            // One frame in the full-screen state first: only after it does
            // the compositor answer the way back.
            widget_->repaint();
            window->setWindowStates(states & ~Qt::WindowFullScreen);
        }
    }
    return false;
}

}  // namespace qt_window
