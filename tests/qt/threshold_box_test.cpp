#include "threshold_box.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QTest>

#include <gtest/gtest.h>

namespace qt_window {
namespace {

// Types text as key presses, one character each; unlike QTest::keyClicks it
// takes characters beyond ASCII.
void Type(QWidget* widget, const QString& text) {
    for (const QChar character : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(character));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(character));
        QApplication::sendEvent(widget, &release);
    }
}

struct TypingCase {
    const char* name;
    const char* programText;  // written by the program first
    const char* typed;        // then typed at the end by the user
    int backspaces;           // pressed before typing
    const char* expected;
};

TEST(ThresholdBox, LimitsWhatTheUserTypesButNotWhatTheProgramWrites) {
    const TypingCase cases[] = {
        {"two characters fit", "", "12", 0, "12"},
        {"a third is refused", "", "123", 0, "12"},
        {"letters count too", "", "abc", 0, "ab"},
        {"Cyrillic counts as one each", "", "абв", 0, "аб"},
        {"program text is kept", "13.2", "", 0, "13.2"},
        {"program text cannot be lengthened", "13.2", "5", 0, "13.2"},
        {"program text can be shortened", "13.2", "", 1, "13."},
        {"shortened text cannot grow again", "13.2", "77", 2, "13"},
        {"below the limit again typing works", "13.2", "45", 4, "45"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ThresholdBox box;
        box.SetTypingLimit(2);
        box.show();
        box.WriteText(QString::fromUtf8(c.programText));
        ASSERT_EQ(box.text(), QString::fromUtf8(c.programText));
        box.setFocus();
        box.end(false);
        for (int i = 0; i < c.backspaces; ++i) QTest::keyClick(&box, Qt::Key_Backspace);
        Type(&box, QString::fromUtf8(c.typed));
        EXPECT_EQ(box.text(), QString::fromUtf8(c.expected));
    }
}

TEST(ThresholdBox, APasteIsCutToTheLimit) {
    ThresholdBox box;
    box.SetTypingLimit(2);
    QApplication::clipboard()->setText(QStringLiteral("789"));
    box.paste();
    EXPECT_EQ(box.text(), QStringLiteral("78"));

    // Replacing a selection: the result still holds at most two characters.
    box.selectAll();
    QApplication::clipboard()->setText(QStringLiteral("1234"));
    box.paste();
    EXPECT_EQ(box.text(), QStringLiteral("12"));

    // Pasting into the middle keeps the characters around it.
    box.setText(QStringLiteral("5"));
    box.setCursorPosition(0);
    QApplication::clipboard()->setText(QStringLiteral("34"));
    box.paste();
    EXPECT_EQ(box.text(), QStringLiteral("35"));
}

TEST(ThresholdBox, RewritingTheSameTextLeavesCaretAndSelectionAlone) {
    ThresholdBox box;
    box.WriteText(QStringLiteral("90"));
    box.setSelection(0, 1);
    box.WriteText(QStringLiteral("90"));
    EXPECT_EQ(box.selectedText(), QStringLiteral("9"));

    box.setCursorPosition(1);
    box.WriteText(QStringLiteral("90"));
    EXPECT_EQ(box.cursorPosition(), 1);

    // The user's undo history survives a rewrite with the same text.
    ThresholdBox typed;
    QTest::keyClicks(&typed, QStringLiteral("8"));
    ASSERT_TRUE(typed.isUndoAvailable());
    typed.WriteText(QStringLiteral("8"));
    EXPECT_TRUE(typed.isUndoAvailable());

    box.WriteText(QStringLiteral("95"));
    EXPECT_EQ(box.text(), QStringLiteral("95"));
}

TEST(ThresholdBox, WithoutALimitAnythingCanBeTyped) {
    ThresholdBox box;
    QTest::keyClicks(&box, QStringLiteral("12345"));
    EXPECT_EQ(box.text(), QStringLiteral("12345"));
}

}  // namespace
}  // namespace qt_window
