// What a screen reader is told: the threshold boxes' text as whole runs, the
// announcements of a run and of every heater switch, and the heater's state
// where Tab reaches it.

#include "announcer.h"
#include "main_form.h"
#include "window_fixture.h"

#include <QAccessible>
#include <QPushButton>

#include <gtest/gtest.h>

namespace qt_window::testing {
namespace {

QString U(const char* text) { return QString::fromUtf8(text); }

const QString kOn = U("Включено");
const QString kOff = U("Изключено");
const QString kStarted = U("Симулацията е пусната");
const QString kStopped = U("Симулацията е спряна");

// Accessibility events reach no one offscreen (no screen reader has switched
// Qt's accessibility on), so the announcements are counted where they are
// given; the end-to-end tests hear them spoken.
class SpeechTest : public WindowTest {
protected:
    Announcement* Message(const QString& text) const {
        for (auto* announcement : form->findChildren<Announcement*>()) {
            if (announcement->Text() == text) return announcement;
        }
        ADD_FAILURE() << "no announcement " << text.toStdString();
        return nullptr;
    }
    void Press(int button) const {
        QTest::mouseClick(Find<QPushButton>(button == 0 ? "Command1_0" : "Command1_1"), Qt::LeftButton);
    }
    int TimesAnnounced(const QString& text) const {
        Announcement* message = Message(text);
        return message != nullptr ? message->TimesAnnounced() : -1;
    }
};

TEST_F(SpeechTest, ThresholdBoxesGiveTheirWholeTextAsOneAttributeRun) {
    // Qt's own line edit reports empty runs (start = end = offset); Orca
    // then speaks "81" as "8".
    for (const char* text : {"81", "13.2", "13,2", ""}) {
        SCOPED_TRACE(text);
        form->SetText2(0, text);
        QAccessibleInterface* box = QAccessible::queryAccessibleInterface(Find("Text2_0"));
        QAccessibleTextInterface* content = box->textInterface();
        ASSERT_NE(content, nullptr);
        const int length = static_cast<int>(QString::fromUtf8(text).size());
        ASSERT_EQ(content->characterCount(), length);
        EXPECT_EQ(content->text(0, length), U(text));
        for (int offset = 0; offset <= length; ++offset) {
            int start = -2, end = -2;
            EXPECT_TRUE(content->attributes(offset, &start, &end).isEmpty());
            EXPECT_EQ(start, 0) << "offset " << offset;
            EXPECT_EQ(end, length) << "offset " << offset;
        }
        EXPECT_EQ(box->text(QAccessible::Value), U(text));
    }
    // The boxes keep the role and states of a line edit.
    QAccessibleInterface* lower = QAccessible::queryAccessibleInterface(Find("Text2_0"));
    QAccessibleInterface* base = QAccessible::queryAccessibleInterface(Find("Text2_1"));
    EXPECT_EQ(lower->role(), QAccessible::EditableText);
    EXPECT_TRUE(lower->state().editable);
    EXPECT_FALSE(lower->state().readOnly);
    EXPECT_TRUE(base->state().readOnly);
    EXPECT_FALSE(base->state().editable);
    EXPECT_NE(lower->editableTextInterface(), nullptr);
}

TEST_F(SpeechTest, EditsFromAScreenReaderKeepTheTypingLimit) {
    QAccessibleInterface* lower = QAccessible::queryAccessibleInterface(Find("Text2_0"));
    lower->editableTextInterface()->replaceText(0, 2, U("123"));
    EXPECT_EQ(form->Text2(0), "12");
    lower->setText(QAccessible::Value, U("456"));
    EXPECT_EQ(form->Text2(0), "45");
    QAccessibleInterface* base = QAccessible::queryAccessibleInterface(Find("Text2_1"));
    base->editableTextInterface()->insertText(0, U("9"));
    EXPECT_EQ(form->Text2(1), "100");  // locked
}

TEST_F(SpeechTest, EveryHeaterSwitchAndEveryStartAndStopIsAnnouncedOnce) {
    form->SetText2(0, "3");
    form->SetText2(2, "10");  // heats 0 -> 10, cools to 3, heats again ...
    Press(0);
    int switchesOn = 0, switchesOff = 0;
    bool heating = false;
    for (int tick = 0; tick < 40; ++tick) {
        form->Logic().Timer1_Timer();
        if (form->Logic().Regulator().State().HeaterOn != heating) {
            heating = !heating;
            ++(heating ? switchesOn : switchesOff);
        }
        EXPECT_EQ(TimesAnnounced(kOn), switchesOn) << "tick " << tick;
        EXPECT_EQ(TimesAnnounced(kOff), switchesOff) << "tick " << tick;
    }
    ASSERT_GE(switchesOn + switchesOff, 5);
    EXPECT_EQ(TimesAnnounced(kStarted), 1);
    Press(0);  // pressed again: confirmed again
    EXPECT_EQ(TimesAnnounced(kStarted), 2);
    EXPECT_EQ(TimesAnnounced(kStopped), 0);
    Press(1);
    EXPECT_EQ(TimesAnnounced(kStopped), 1);
    // Stopping shows "off": announced if the heater was on.
    EXPECT_EQ(TimesAnnounced(kOff), switchesOff + (heating ? 1 : 0));
    // The message said last is the one showing.
    EXPECT_TRUE(Message(kStopped)->IsShown());
    EXPECT_FALSE(Message(kStarted)->IsShown());
    EXPECT_FALSE(Message(kOff)->IsShown());
    EXPECT_FALSE(Message(kOn)->IsShown());
}

TEST_F(SpeechTest, TheWindowListsItsAnnouncementsAsNotifications) {
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(form.get());
    QStringList notifications, showing;
    for (int i = 0; i < window->childCount(); ++i) {
        QAccessibleInterface* child = window->child(i);
        ASSERT_NE(child, nullptr) << i;
        EXPECT_EQ(window->indexOfChild(child), i);
        EXPECT_EQ(child->parent(), window);
        if (child->role() != QAccessible::Notification) continue;
        notifications << child->text(QAccessible::Name);
        if (!child->state().invisible) showing << child->text(QAccessible::Name);
        EXPECT_EQ(child->childCount(), 0);
        EXPECT_TRUE(child->rect().isEmpty());  // it draws nothing
    }
    EXPECT_EQ(notifications, (QStringList{kOn, kOff, kStarted, kStopped}));
    EXPECT_EQ(showing, QStringList{});  // nothing was said before the window appeared
    EXPECT_EQ(TimesAnnounced(kOn) + TimesAnnounced(kOff) + TimesAnnounced(kStarted) + TimesAnnounced(kStopped), 0);
}

TEST_F(SpeechTest, TheGaugeCarriesTheHeaterStateForTab) {
    QAccessibleInterface* gauge = QAccessible::queryAccessibleInterface(Find("Picture1"));
    EXPECT_EQ(gauge->text(QAccessible::Description), U("Състояние на системата: Изключено"));
    Press(0);
    form->Logic().Timer1_Timer();
    EXPECT_EQ(gauge->text(QAccessible::Description), U("Състояние на системата: Включено"));
}

}  // namespace
}  // namespace qt_window::testing
