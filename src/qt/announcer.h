#pragma once

// What speaks the window's announcements: messages that a screen reader
// speaks without the focus moving.
//
// Each message is an accessible object of its own with the role of a
// notification (an Announcement). It draws nothing and takes no space: it
// exists only in the accessible tree, where the window lists it after its
// widgets. Screen readers speak a notification when it becomes showing
// (Orca 43 speaks nothing else that a program raises away from the focus),
// so a message given again is hidden and shown again, and spoken each time.
// The message given last is the one showing. A message's text never
// changes: a screen reader that caches names reads the right one.

#include "announcements.h"

#include <QObject>
#include <QString>

#include <string>

class QWidget;

namespace qt_window {

class Announcement final : public QObject {
    Q_OBJECT

public:
    // The window lists the announcements that are its direct children.
    Announcement(const QString& text, QWidget* window);

    const QString& Text() const { return text_; }
    bool IsShown() const { return shown_; }
    // How often the message has been given to screen readers.
    int TimesAnnounced() const { return timesAnnounced_; }

    // Shows the message, or shows it again. While the window is not visible
    // only the state changes: nothing is spoken before the window appears.
    void Show();
    void Hide();

private:
    void Raise(bool shown);

    QString text_;
    QWidget* window_;
    bool shown_ = false;
    int timesAnnounced_ = 0;
};

class Announcer final {
public:
    // Creates the window's announcements, one for each of the program's
    // messages, so that the accessible tree holds them from the start.
    explicit Announcer(QWidget* window);
    Announcer(const Announcer&) = delete;
    Announcer& operator=(const Announcer&) = delete;

    // Speaks text, the words of message.
    void Announce(regulator::Message message, const std::string& text);

private:
    Announcement* For(const QString& text);

    QWidget* window_;
    Announcement* shown_ = nullptr;
};

}  // namespace qt_window
