#include "announcer.h"

#include <QAccessible>
#include <QWidget>

namespace qt_window {

Announcement::Announcement(const QString& text, QWidget* window) : QObject(window), text_(text), window_(window) {
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

Announcer::Announcer(QWidget* window) : window_(window) {
    using regulator::Message;
    for (const Message message : {Message::HeaterOn, Message::HeaterOff, Message::RunStarted, Message::RunStopped}) {
        For(QString::fromStdString(regulator::MessageText(message)));
    }
}

void Announcer::Announce(regulator::Message, const std::string& text) {
    Announcement* announcement = For(QString::fromStdString(text));
    if (shown_ != nullptr && shown_ != announcement) shown_->Hide();
    shown_ = announcement;
    announcement->Show();
}

// The announcement with this text; a new one for a text not seen before.
Announcement* Announcer::For(const QString& text) {
    for (Announcement* announcement : window_->findChildren<Announcement*>(Qt::FindDirectChildrenOnly)) {
        if (announcement->Text() == text) return announcement;
    }
    return new Announcement(text, window_);
}

}  // namespace qt_window
