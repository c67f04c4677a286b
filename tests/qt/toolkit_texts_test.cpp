// What Qt itself draws in the window (context menus, the message box's
// button) is Bulgarian once Qt's catalogue is installed, as the program
// does at start-up; the scroll bar's menu is drawn, not left blank.

#include "toolkit_translation.h"
#include "window_fixture.h"

#include <QContextMenuEvent>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QTranslator>

#include <gtest/gtest.h>

#include <memory>

namespace qt_window::testing {
namespace {

// A menu's entries as the user reads them: no mnemonic marks, no shortcut
// column; a separator is "-".
QStringList Entries(const QMenu& menu) {
    QStringList entries;
    for (const QAction* action : menu.actions()) {
        QString text = action->isSeparator() ? QStringLiteral("-") : action->text().section(QLatin1Char('\t'), 0, 0);
        entries << text.remove(QLatin1Char('&'));
    }
    return entries;
}

QStringList Split(const char* entries) { return QString::fromUtf8(entries).split(QLatin1Char('|')); }

class ToolkitTextsTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_TRUE(InstallToolkitTranslation()) << "Qt's Bulgarian catalogue (qt6-translations-l10n) is missing in "
                                                 << ToolkitTranslationsDirectory().toStdString();
    }
    // The other tests of this program see Qt's own texts again.
    void TearDown() override {
        for (QTranslator* translator : qApp->findChildren<QTranslator*>(Qt::FindDirectChildrenOnly)) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
        WindowTest::TearDown();
    }
};

TEST_F(ToolkitTextsTest, TextBoxMenusAndTheMessageBoxSpeakBulgarian) {
    const struct {
        const char* box;
        const char* entries;
    } cases[] = {
        {"Text2_0", "Отмяна|Повтаряне|-|Изрязване|Копиране|Поставяне|Изтриване|-|Избиране на всичко"},
        {"Text2_2", "Отмяна|Повтаряне|-|Изрязване|Копиране|Поставяне|Изтриване|-|Избиране на всичко"},
        {"Text2_1", "Копиране|-|Избиране на всичко"},  // locked: read and select only
        {"Text1_0", "Копиране|-|Избиране на всичко"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.box);
        std::unique_ptr<QMenu> menu;
        if (auto* line = form->findChild<QLineEdit*>(QString::fromLatin1(c.box))) {
            menu.reset(line->createStandardContextMenu());
        } else {
            menu.reset(Find<QPlainTextEdit>(c.box)->createStandardContextMenu());
        }
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(Entries(*menu), Split(c.entries));
    }

    QMessageBox box(QMessageBox::Critical, QStringLiteral("-"), QStringLiteral("-"), QMessageBox::Ok);
    EXPECT_EQ(box.button(QMessageBox::Ok)->text(), QString::fromUtf8("Добре"));
}

TEST_F(ToolkitTextsTest, TheScaleMenuIsBulgarianAndDrawn) {
    auto* scale = Find<QScrollBar>("VScroll1");
    QStringList entries;
    QImage image;
    // The menu runs its own event loop; it is read and closed from inside.
    QTimer::singleShot(0, form.get(), [&] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            entries = Entries(*menu);
            image = menu->grab().toImage();
            menu->close();
        }
    });
    const QPoint at(scale->width() / 2, scale->height() / 2);
    QContextMenuEvent event(QContextMenuEvent::Keyboard, at, scale->mapToGlobal(at));
    QApplication::sendEvent(scale, &event);

    EXPECT_EQ(entries, Split("Превъртайте тук|-|Отгоре|Отдолу|-|Страница нагоре|Страница надолу|-|"
                             "Превъртане нагоре|Превъртане надолу"));
    ASSERT_FALSE(image.isNull());
    // A light menu with dark writing on it: neither blank nor a black block.
    qsizetype light = 0, dark = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int grey = qGray(image.pixel(x, y));
            light += grey > 200;
            dark += grey < 100;
        }
    }
    const qsizetype all = qsizetype{image.width()} * image.height();
    EXPECT_GT(light, all * 3 / 4) << "light pixels " << light << " of " << all;
    EXPECT_GT(dark, all / 100) << "dark pixels " << dark << " of " << all;
    EXPECT_TRUE(fatalMessages.isEmpty());
}

TEST(ToolkitTranslation, WithoutTheCatalogueTheProgramKeepsQtsOwnTexts) {
    EXPECT_FALSE(InstallToolkitTranslation(QStringLiteral("/nonexistent/translations")));
    QLineEdit box;
    std::unique_ptr<QMenu> menu(box.createStandardContextMenu());
    EXPECT_EQ(Entries(*menu).last(), QStringLiteral("Select All"));
}

}  // namespace
}  // namespace qt_window::testing
