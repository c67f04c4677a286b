#include "announcer.h"

#include <QAccessible>
#include <QWidget>

namespace qt_window {

Announcement::Announcement(const QString& text, QWidget* window)
    : QObject(window), text_(text), window_(window) {
    setObjectName(text);
}

void Announcement::Show() {
    if (shown_) Raise(false);
    shown_ = true;
    Raise(true);
}

void Announcement::Hide() {
    if (!shown_) return;
    shown_ = false;
    Raise(false);
}

void Announcement::Raise(bool shown) {
    if (!window_->isVisible()) return;
    if (shown) ++timesAnnounced_;
    QAccessibleEvent event(this, shown ? QAccessible::ObjectShow : QAccessible::ObjectHide);
    QAccessible::updateAccessibility(&event);
}

}  // namespace qt_window
