// The view "Наблюдение" as the user meets it: opened and closed with F2 and
// from the gauge's context menu, a window of its own beside the main one,
// laid out as designed; after a steady run its figures, its table, the
// clipboard and the trace's pixels; what screen readers get from it.

#include "main_form.h"
#include "observation_window.h"
#include "window_fixture.h"

#include <QAccessible>
#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QWindow>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <ostream>
#include <vector>

// Failures show texts as texts.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace qt_window::testing {
namespace {

QString U(const char* text) { return QString::fromUtf8(text); }

const QStringList kHeaders{U("Долен праг"), U("Горен праг"), U("Ширина"), U("Превключвания в минута"),
                           U("По правилото")};

class ObservationTest : public WindowTest {
protected:
    ObservationWindow* OpenView() {
        form->ObservationAction()->trigger();
        ObservationWindow* view = form->Observation();
        EXPECT_TRUE(view != nullptr && view->isVisible());
        return view;
    }
    template <typename T = QWidget>
    T* InView(const char* name) const {
        T* widget = form->Observation()->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    bool ViewShown() const { return form->Observation() != nullptr && form->Observation()->isVisible(); }
    // Heats from 0 to the upper threshold 90, then ten whole cycles of 18
    // ticks between 81 and 90.
    void SteadyRun() {
        QTest::mouseClick(Find<QPushButton>("Command1_0"), Qt::LeftButton);
        for (int i = 0; i < 90 + 18 * 10; ++i) form->Logic().Timer1_Timer();
    }
};

TEST_F(ObservationTest, F2AndPicture1sMenuOpenAndCloseTheViewBesideTheWindow) {
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    EXPECT_EQ(form->Observation(), nullptr);  // closed at start

    // F2 where the user is typing: the view opens, the box is untouched.
    auto* lower = Find<QLineEdit>("Text2_0");
    lower->setFocus();
    QTest::keyClick(lower, Qt::Key_F2);
    ObservationWindow* view = form->Observation();
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->isVisible());
    EXPECT_TRUE(view->isWindow());
    EXPECT_EQ(view->windowTitle(), U("Наблюдение"));
    EXPECT_EQ(lower->text(), QStringLiteral("81"));
    EXPECT_TRUE(form->Logic().ObservationShown());
    // A secondary window of the main one: it does not keep the program alive.
    ASSERT_NE(view->windowHandle(), nullptr);
    EXPECT_EQ(view->windowHandle()->transientParent(), form->windowHandle());
    EXPECT_TRUE(form->isVisible());

    // F2 in the view closes it.
    // (A secondary window counts as active with its main one: wait for the
    // focus itself.)
    view->activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == view; }));
    ASSERT_TRUE(view->isAncestorOf(QApplication::focusWidget()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);
    EXPECT_FALSE(view->isVisible());
    EXPECT_FALSE(form->Logic().ObservationShown());
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == form.get(); }));

    // The gauge's context menu, asked for by a right click, by Shift+F10 and
    // by the menu key; its item shows F2 and is checked while the view is
    // open. From the keyboard the item is ready for Enter.
    QWidget* gauge = Find("Picture1");
    auto* menu = form->findChild<QMenu*>(QStringLiteral("Picture1Menu"));
    ASSERT_NE(menu, nullptr);
    QAction* item = form->ObservationAction();
    ASSERT_EQ(menu->actions(), QList<QAction*>{item});
    EXPECT_EQ(item->text(), U("Наблюдение"));
    EXPECT_EQ(item->shortcut(), QKeySequence(Qt::Key_F2));
    const auto rightClick = [](MainForm& form, QWidget* gauge) {
        QTest::mouseClick(form.windowHandle(), Qt::RightButton, {}, gauge->mapTo(&form, QPoint(40, 60)));
    };
    const struct {
        const char* how;
        void (*ask)(MainForm& form, QWidget* gauge);
        bool keyboard;
    } ways[] = {
        {"right click", rightClick, false},
        {"Shift+F10",
         [](MainForm&, QWidget* gauge) {
             gauge->setFocus();
             QTest::keyClick(gauge, Qt::Key_F10, Qt::ShiftModifier);
         },
         true},
        {"menu key",
         [](MainForm&, QWidget* gauge) {
             const QPoint at = gauge->rect().center();
             QContextMenuEvent request(QContextMenuEvent::Keyboard, at, gauge->mapToGlobal(at));
             QApplication::sendEvent(gauge, &request);
         },
         true},
        {"right click again", rightClick, false},
    };
    bool open = false;
    for (const auto& way : ways) {
        SCOPED_TRACE(way.how);
        way.ask(*form, gauge);
        ASSERT_TRUE(QTest::qWaitFor([&] { return menu->isVisible(); }, 2000));
        EXPECT_EQ(item->isChecked(), open);
        if (way.keyboard) {
            EXPECT_EQ(menu->activeAction(), item);
            QTest::keyClick(menu, Qt::Key_Return);
        } else {
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
        }
        open = !open;
        EXPECT_FALSE(menu->isVisible());
        EXPECT_EQ(ViewShown(), open);
        EXPECT_EQ(form->Logic().ObservationShown(), open);
        EXPECT_EQ(item->isChecked(), open);
    }
    EXPECT_EQ(form->Observation(), view);  // the one view, reopened

    // Its own close box, then F2 again: the two stay in step.
    OpenView();
    EXPECT_TRUE(view->close());
    EXPECT_FALSE(view->isVisible());
    EXPECT_FALSE(form->Logic().ObservationShown());
    EXPECT_FALSE(item->isChecked());
    QTest::keyClick(Find("Text1_0"), Qt::Key_F2);
    EXPECT_TRUE(view->isVisible());
    EXPECT_TRUE(item->isChecked());

    // Closing the main window closes the view with it.
    EXPECT_TRUE(form->close());
    EXPECT_FALSE(view->isVisible());
    EXPECT_FALSE(form->Logic().ObservationShown());
    EXPECT_TRUE(fatalMessages.isEmpty());
}

TEST_F(ObservationTest, TheViewOpensRightOfTheWindowOrLeftOfItOrAtTheScreensEdge) {
    // Offscreen the screen is 800 x 600: a window and the view side by side
    // do not fit, so the main window is moved partly off the screen.
    const QRect screen = form->screen()->availableGeometry();
    ASSERT_GE(screen.width(), 100 + 8 + 476);
    ASSERT_LT(screen.width(), 2 * 476 + 2 * 8);
    ASSERT_GE(screen.height(), 556);
    const int left = screen.left(), top = screen.top(), right = screen.right() + 1, bottom = screen.bottom() + 1;
    // Places are the frames' (the platform's offscreen windows have one).
    const QSize frame = form->frameGeometry().size() - form->size();
    const int width = 476 + frame.width(), height = 556 + frame.height();
    const struct {
        const char* where;
        QPoint window;  // the main window's place
        QPoint view;    // the view's
    } cases[] = {
        {"room on the right", {left - 400, top}, {left - 400 + 476 + frame.width() + 8, top}},
        {"room on the left only", {right - 100, top + 20}, {right - 100 - 8 - width, top + 20}},
        {"room on neither side, low on the screen", {left + 100, bottom - 300}, {right - width, bottom - height}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.where);
        form->move(c.window);
        ASSERT_EQ(form->frameGeometry().topLeft(), c.window);
        ObservationWindow* view = OpenView();
        EXPECT_EQ(view->frameGeometry().topLeft(), c.view);
        form->ObservationAction()->trigger();
        EXPECT_FALSE(view->isVisible());
    }
}

// The view's widgets in pixels (twips / 15), written out independently of
// the table the view is built from.
TEST_F(ObservationTest, ObservationViewGeometryFontsColoursAndTabOrderFollowTheDesign) {
    ObservationWindow* view = OpenView();
    EXPECT_EQ(view->size(), QSize(476, 556));
    EXPECT_EQ(view->minimumSize(), view->maximumSize());
    const Qt::WindowFlags flags = view->windowFlags();
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);

    const struct {
        const char* name;
        QRect geometry;
        const char* caption;
    } widgets[] = {
        {"TraceTitle", {8, 4, 460, 22}, "Температура във времето"},
        {"Trace", {8, 28, 460, 156}, nullptr},
        {"LoopTitle", {8, 190, 460, 22}, "Хистерезисна примка"},
        {"Loop", {8, 214, 460, 144}, nullptr},
        {"Figure_0", {8, 364, 460, 22}, "Превключвания: 0"},
        {"Figure_1", {8, 386, 460, 22}, "Превключвания в минута: –"},
        {"Figure_2", {8, 408, 460, 22}, "Средно време между превключванията: –"},
        {"Bands", {8, 434, 460, 84}, nullptr},
        {"CopyBands", {8, 524, 160, 25}, "Копирай таблицата"},
    };
    for (const auto& w : widgets) {
        QWidget* widget = InView(w.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->geometry(), w.geometry) << w.name;
        if (auto* label = qobject_cast<QLabel*>(widget)) EXPECT_EQ(label->text(), U(w.caption)) << w.name;
        if (auto* button = qobject_cast<QPushButton*>(widget)) EXPECT_EQ(button->text(), U(w.caption)) << w.name;
        EXPECT_EQ(widget->font().family(), QStringLiteral("Times New Roman")) << w.name;
        if (qobject_cast<QTableWidget*>(widget) == nullptr) EXPECT_EQ(widget->font().pointSize(), 12) << w.name;
    }

    // The table: the five headers, every one whole within the table's width.
    auto* bands = InView<QTableWidget>("Bands");
    ASSERT_EQ(bands->columnCount(), kHeaders.size());
    const QHeaderView* header = bands->horizontalHeader();
    int right = 0;
    for (int column = 0; column < bands->columnCount(); ++column) {
        EXPECT_EQ(bands->horizontalHeaderItem(column)->text(), kHeaders[column]);
        const int textWidth = header->fontMetrics().horizontalAdvance(kHeaders[column]);
        EXPECT_GE(header->sectionSize(column), textWidth) << column;
        right = header->sectionViewportPosition(column) + header->sectionSize(column);
    }
    EXPECT_LE(right, bands->viewport()->width());
    EXPECT_FALSE(bands->verticalHeader()->isVisible());
    EXPECT_EQ(bands->editTriggers(), QAbstractItemView::NoEditTriggers);

    // Colours: the window, the titles' label colour, the drawings' white.
    const QImage image = view->grab().toImage();
    const double ratio = view->devicePixelRatioF();
    const auto at = [&](int x, int y) {
        return image.pixel(static_cast<int>(x * ratio + ratio / 2), static_cast<int>(y * ratio + ratio / 2)) & 0xffffff;
    };
    EXPECT_EQ(at(470, 300), qRgb(192, 192, 255) & 0xffffff);        // window background right of the drawings
    EXPECT_EQ(at(12, 8), qRgb(255, 192, 128) & 0xffffff);           // TraceTitle
    EXPECT_EQ(at(12, 194), qRgb(255, 192, 128) & 0xffffff);         // LoopTitle
    EXPECT_EQ(at(8 + 20, 28 + 5), qRgb(255, 255, 255) & 0xffffff);  // inside Trace, above its axis

    // Tab goes round the drawings, the table and the button.
    view->activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == view; }));
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    QStringList visited{QApplication::focusWidget()->objectName()};
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(visited, (QStringList{"Trace", "Loop", "Bands", "CopyBands", "Trace"}));
}

// The trace's pixels in device pixels: the rows of the two dashed threshold
// lines, and where the red and the blue of the run lie.
struct TracePixels {
    std::vector<std::pair<int, int>> dashedRows;  // first and last row of each line, top down
    std::map<int, std::pair<int, int>> runRows;   // column -> highest and lowest red or blue row
    int red = 0, blue = 0;
};

TracePixels ReadTrace(const QImage& image, int border) {
    const QRgb red = qRgb(210, 30, 30) & 0xffffff, blue = qRgb(100, 130, 230) & 0xffffff;
    const QRgb dash = qRgb(64, 64, 64) & 0xffffff;
    TracePixels found;
    for (int y = border; y < image.height() - border; ++y) {
        int dashes = 0;
        for (int x = border; x < image.width() - border; ++x) {
            const QRgb pixel = image.pixel(x, y) & 0xffffff;
            if (pixel == dash) ++dashes;
            if (pixel != red && pixel != blue) continue;
            (pixel == red ? found.red : found.blue)++;
            auto [it, added] = found.runRows.try_emplace(x, y, y);
            if (!added) it->second = {std::min(it->second.first, y), std::max(it->second.second, y)};
        }
        // A dashed line across the drawing: dashes over a quarter of its width.
        if (dashes > image.width() / 4) {
            if (!found.dashedRows.empty() && found.dashedRows.back().second == y - 1) {
                found.dashedRows.back().second = y;
            } else {
                found.dashedRows.emplace_back(y, y);
            }
        }
    }
    return found;
}

TEST_F(ObservationTest, ObservationDrawingFiguresTableAndClipboardAfterASteadyRun) {
    ObservationWindow* view = OpenView();
    SteadyRun();

    EXPECT_EQ(InView<QLabel>("Figure_0")->text(), U("Превключвания: 21"));
    EXPECT_EQ(InView<QLabel>("Figure_1")->text(), U("Превключвания в минута: 66.7"));
    EXPECT_EQ(InView<QLabel>("Figure_2")->text(), U("Средно време между превключванията: 0.9 с"));
    auto* bands = InView<QTableWidget>("Bands");
    ASSERT_EQ(bands->rowCount(), 1);
    QStringList row;
    for (int column = 0; column < bands->columnCount(); ++column) row << bands->item(0, column)->text();
    EXPECT_EQ(row, (QStringList{"81", "90", "9", "66.7", "66.7"}));

    // The button puts the table on the clipboard, tab-separated.
    QGuiApplication::clipboard()->clear();
    QTest::mouseClick(InView<QPushButton>("CopyBands"), Qt::LeftButton);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), kHeaders.join(QLatin1Char('\t')) + QStringLiteral("\n") +
                                                        row.join(QLatin1Char('\t')) + QStringLiteral("\n"));

    // The trace: the climb from 0 crosses the lower threshold's line; from
    // the column where it first reaches the upper one, every red and blue
    // pixel lies between the two lines (give or take the trace's width).
    QWidget* trace = InView("Trace");
    const double ratio = trace->devicePixelRatioF();
    const TracePixels pixels = ReadTrace(trace->grab().toImage(), static_cast<int>(std::ceil(2 * ratio)));
    ASSERT_EQ(pixels.dashedRows.size(), 2u);
    const int upper = pixels.dashedRows[0].first, lower = pixels.dashedRows[1].second;
    EXPECT_NEAR((lower - upper) / ratio, 9 * 122 / 100.0, 2);      // 9 degrees of the 122-pixel scale
    const int tolerance = static_cast<int>(std::ceil(2 * ratio));  // the trace's width
    const auto reached = std::find_if(pixels.runRows.begin(), pixels.runRows.end(),
                                      [&](const auto& column) { return column.second.first <= upper + tolerance; });
    ASSERT_NE(reached, pixels.runRows.end()) << "the trace never reaches the upper threshold";
    int below = 0, steady = 0;
    for (const auto& [x, rows] : pixels.runRows) {
        if (x < reached->first) {
            if (rows.second > lower + tolerance) ++below;
            continue;
        }
        if (x <= reached->first + tolerance) continue;  // the turn at the top
        ++steady;
        EXPECT_GE(rows.first, upper - tolerance) << "column " << x;
        EXPECT_LE(rows.second, lower + tolerance) << "column " << x;
    }
    EXPECT_GT(below, 20 * ratio) << "the climb from 0 should lie below the band";
    // The last 18 s of 60 are the steady part: 0.3 of the 414-pixel axis,
    // most of whose columns hold pixels of the trace's own colours.
    const int span = pixels.runRows.rbegin()->first - reached->first;
    EXPECT_NEAR(span / ratio, 414 * 18 / 60.0, 4);
    EXPECT_GT(steady, span * 3 / 4);
    EXPECT_GT(pixels.red, 0);
    EXPECT_GT(pixels.blue, 0);

    // Drawn again from what it keeps: the same picture.
    const QImage before = trace->grab().toImage();
    trace->repaint();
    EXPECT_EQ(trace->grab().toImage(), before);
    EXPECT_TRUE(view->isVisible());
    EXPECT_TRUE(fatalMessages.isEmpty());
}

TEST_F(ObservationTest, ScreenReadersGetThePlotsDescribedAndTheTableWithItsHeaders) {
    OpenView();
    const auto accessible = [&](const char* name) { return QAccessible::queryAccessibleInterface(InView(name)); };
    const struct {
        const char* drawing;
        const char* name;
        const char* atStart;
        const char* afterRun;
    } drawings[] = {
        {"Trace", "Температура във времето", "Няма данни: натиснете „Пусни“.",
         "През последните 27 с температурата е между 1 и 90; долният праг е 81, горният 90; превключва 46.7 пъти "
         "в минута."},
        {"Loop", "Хистерезисна примка", "Няма данни: натиснете „Пусни“.",
         "Нагревателят се включва при 81 и се изключва при 90. Сега температурата е 90 и нагревателят е "
         "включен."},
    };
    for (const auto& d : drawings) {
        QAccessibleInterface* drawing = accessible(d.drawing);
        ASSERT_NE(drawing, nullptr);
        EXPECT_EQ(drawing->role(), QAccessible::Graphic) << d.drawing;
        EXPECT_EQ(drawing->text(QAccessible::Name), U(d.name)) << d.drawing;
        EXPECT_EQ(drawing->text(QAccessible::Description), U(d.atStart)) << d.drawing;
        EXPECT_TRUE(drawing->state().focusable) << d.drawing;
    }
    SteadyRun();
    for (const auto& d : drawings) {
        EXPECT_EQ(accessible(d.drawing)->text(QAccessible::Description), U(d.afterRun)) << d.drawing;
    }
    EXPECT_EQ(accessible("Figure_1")->text(QAccessible::Name), U("Превключвания в минута: 66.7"));

    QAccessibleInterface* table = accessible("Bands");
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->role(), QAccessible::Table);
    EXPECT_EQ(table->text(QAccessible::Name), U("Опитани прагове"));
    QAccessibleTableInterface* cells = table->tableInterface();
    ASSERT_NE(cells, nullptr);
    ASSERT_EQ(cells->columnCount(), 5);
    ASSERT_EQ(cells->rowCount(), 1);
    // The column headers among the table's children, in order. (A cell's
    // own header cells are made afresh at each request and never freed by
    // Qt 6.4.)
    QStringList headers;
    for (int child = 0; child < table->childCount(); ++child) {
        QAccessibleInterface* header = table->child(child);
        if (header != nullptr && header->role() == QAccessible::ColumnHeader)
            headers << header->text(QAccessible::Name);
    }
    EXPECT_EQ(headers, kHeaders);
    for (int column = 0; column < 5; ++column) {
        SCOPED_TRACE(column);
        EXPECT_EQ(cells->columnDescription(column), kHeaders[column]);
        QAccessibleInterface* cell = cells->cellAt(0, column);
        ASSERT_NE(cell, nullptr);
        EXPECT_EQ(cell->tableCellInterface()->columnIndex(), column);
        EXPECT_FALSE(cell->state().editable);
    }
    EXPECT_EQ(cells->cellAt(0, 3)->text(QAccessible::Name), QStringLiteral("66.7"));
    EXPECT_EQ(accessible("CopyBands")->role(), QAccessible::Button);
}

}  // namespace
}  // namespace qt_window::testing
