#pragma once

// A text box with a limit on what the user can type or paste, but not on
// what the program writes: the program may write a longer number (13.2)
// into a box that takes only two typed characters.

#include <QLineEdit>

namespace qt_window {

class ThresholdBox final : public QLineEdit {
    Q_OBJECT

public:
    explicit ThresholdBox(QWidget* parent = nullptr);

    // 0 means no limit.
    void SetTypingLimit(int characters);
    int TypingLimit() const { return typingLimit_; }

    // Writes the program's text. Writing the text the box already holds
    // leaves the user's caret and selection alone.
    void WriteText(const QString& text);

    // Where the character at offset is drawn, in the box's coordinates; a
    // null rectangle for an offset outside the text.
    QRect CharacterRect(int offset) const;

private:
    friend class TypingLimitValidator;
    int typingLimit_ = 0;
    bool programWrite_ = false;
    QString lastText_;  // the text before the edit being validated
};

}  // namespace qt_window
