// The view "Наблюдение" as the user meets it: opened and closed with F2 and
// from the gauge's context menu, a window of its own beside the main one,
// laid out as designed; after a steady run its figures, its table, the
// clipboard and the trace's pixels; what screen readers get from it.

#include "design_qt.h"
#include "main_form.h"
#include "observation_window.h"
#include "plot_widget.h"
#include "view_design.h"
#include "view_placement.h"
#include "wayland_frame.h"
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
    view->close();  // the logic hides it
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

// Offscreen the screen is 800 x 800: the two side by side do not fit. Wherever the main window stands, the view opens on
// the screen, never over the main window's controls, laid out in the height
// left (its drawings lower); the main window keeps its size.
TEST_F(ObservationTest, TheViewOpensOnTheScreenNeverOverTheWindowsControls) {
    const QRect screen = form->screen()->availableGeometry();
    const QSize mainSize = form->frameGeometry().size();
    const int controlsBottom = (form->geometry().top() - form->frameGeometry().top()) +
                               static_cast<int>(design::TwipsToPixels(regulator::MainControlsBottomTwips()));
    const QPoint places[] = {screen.topLeft(), screen.center(), screen.bottomRight() - QPoint(100, 100),
                             screen.topLeft() + QPoint(screen.width() - mainSize.width(), 0)};
    for (const QPoint& place : places) {
        SCOPED_TRACE(place.x() * 10000 + place.y());
        form->move(place);
        ObservationWindow* view = OpenView();
        const QRect main = form->frameGeometry(), shown = view->frameGeometry();
        EXPECT_EQ(main.size(), mainSize);
        EXPECT_TRUE(screen.contains(shown));
        EXPECT_FALSE(shown.intersects(QRect(main.left(), main.top(), main.width(), controlsBottom)));
        // Laid out in the height it was given, as the core lays it out.
        EXPECT_EQ(view->height(), design::TwipsToWholePixels(view->HeightTwips()));
        EXPECT_EQ(form->ObservationHeightTwips(), view->HeightTwips());
        const auto boxes = regulator::LayOutObservation(view->HeightTwips());
        const auto table = design::ObservationTable();
        ASSERT_EQ(boxes.size(), table.size());
        for (std::size_t i = 0; i < table.size(); ++i) {
            const QRect expected(design::TwipsToWholePixels(boxes[i].left), design::TwipsToWholePixels(boxes[i].top),
                                 design::TwipsToWholePixels(boxes[i].width),
                                 design::TwipsToWholePixels(boxes[i].height));
            EXPECT_EQ(InView(table[i].name)->geometry(), expected) << table[i].name;
        }
        form->ObservationAction()->trigger();
        EXPECT_FALSE(view->isVisible());
        EXPECT_EQ(form->frameGeometry(), main) << "closing the view leaves the main window where it is";
    }
}

// The view's widgets in the design's pixels (twips / 15) at its design
// height, one for each row of its table by kind: every picture box a
// drawing, every label without a text a figure, in the table's order.
TEST_F(ObservationTest, ObservationViewGeometryFontsColoursAndTabOrderFollowTheDesign) {
    ObservationWindow* view = OpenView();
    view->LayOut(design::kObservationHeightTwips);
    EXPECT_EQ(view->size(), QSize(design::TwipsToWholePixels(design::kObservationWidthTwips),
                                  design::TwipsToWholePixels(design::kObservationHeightTwips)));
    EXPECT_EQ(view->minimumSize(), view->maximumSize());
    const Qt::WindowFlags flags = view->windowFlags();
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);

    std::size_t plots = 0, figures = 0;
    QStringList focusable;
    for (const design::WidgetSpec& spec : design::ObservationTable()) {
        QWidget* widget = InView(spec.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->geometry(), PixelGeometry(spec)) << spec.name;
        if (spec.kind == design::WidgetKind::PictureBox) {
            ASSERT_LT(plots, view->Plots().size());
            EXPECT_EQ(view->Plots()[plots++], widget) << spec.name;
        }
        if (spec.kind == design::WidgetKind::Label && spec.text == nullptr) {
            ASSERT_LT(figures, view->Figures().size());
            EXPECT_EQ(view->Figures()[figures++], widget) << spec.name;
        }
        if (spec.kind != design::WidgetKind::Label) focusable << QString::fromLatin1(spec.name);
        if (auto* label = qobject_cast<QLabel*>(widget); label != nullptr && spec.text != nullptr) {
            EXPECT_EQ(label->text(), U(spec.text)) << spec.name;
        }
        if (auto* button = qobject_cast<QPushButton*>(widget)) EXPECT_EQ(button->text(), U(spec.text)) << spec.name;
        EXPECT_EQ(widget->font().family(), QStringLiteral("Times New Roman")) << spec.name;
        EXPECT_EQ(widget->font().pointSize(),
                  spec.kind == design::WidgetKind::Table ? design::view::kTablePointSize : design::kFontPointSize)
            << spec.name;
    }
    EXPECT_EQ(plots, view->Plots().size());
    EXPECT_EQ(figures, view->Figures().size());
    EXPECT_GE(plots, 2u);
    EXPECT_EQ(figures, 3u);
    EXPECT_EQ(InView<QLabel>("Figure_0")->text(), U("Превключвания: 0"));

    // The table: the five headers, every one whole within the table's width.
    auto* bands = InView<QTableWidget>("Bands");
    ASSERT_EQ(bands->columnCount(), kHeaders.size());
    const QHeaderView* header = bands->horizontalHeader();
    EXPECT_EQ(header->font().pointSize(), design::view::kTablePointSize);
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
    const auto at = [&](QPoint p) {
        return image.pixel(static_cast<int>(p.x() * ratio + ratio / 2), static_cast<int>(p.y() * ratio + ratio / 2)) &
               0xffffff;
    };
    const QPoint inset(4, 4);
    EXPECT_EQ(at({view->width() - 4, InView("Trace")->geometry().bottom() + 3}), qRgb(192, 192, 255) & 0xffffff);
    for (const design::WidgetSpec& spec : design::ObservationTable()) {
        const QPoint corner = InView(spec.name)->geometry().topLeft() + inset;
        if (spec.kind == design::WidgetKind::Label && spec.text != nullptr) {
            EXPECT_EQ(at(corner), qRgb(255, 192, 128) & 0xffffff) << spec.name;  // a title
        }
        if (spec.kind == design::WidgetKind::PictureBox) {
            EXPECT_EQ(at(corner + QPoint(12, 0)), qRgb(255, 255, 255) & 0xffffff) << spec.name;  // above its axis
        }
    }

    // Tab goes round the drawings, the table and the button, in the table's order.
    view->activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == view; }));
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    QStringList visited{QApplication::focusWidget()->objectName()};
    for (int i = 0; i < focusable.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    focusable << focusable.front();
    EXPECT_EQ(visited, focusable);
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
    view->LayOut(design::kObservationHeightTwips);  // the drawings at their design size
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

// Where the program cannot place its windows (Wayland), the view is shown in
// the main window's own frame, to the right of the form, which stays where
// it is; the view's close box closes it through the logic, and F2 opens it
// again.
TEST_F(ObservationTest, InTheWaylandFrameTheViewOpensBesideTheFormWhichStaysWhereItIs) {
    auto frame = std::make_unique<WaylandFrame>(form.get());
    frame->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    const QSize alone = frame->size();
    const QPoint formAt = form->pos();
    const QImage before = form->grab().toImage();
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        // F2 wherever the focus is.
        frame->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus != nullptr ? focus : frame.get(), Qt::Key_F2);
        ObservationWindow* view = form->Observation();
        ASSERT_NE(view, nullptr);
        EXPECT_TRUE(view->isVisible());
        EXPECT_FALSE(view->isWindow());
        EXPECT_EQ(view->parentWidget(), frame.get());
        EXPECT_EQ(form->pos(), formAt);
        EXPECT_EQ(form->grab().toImage(), before);
        EXPECT_EQ(view->geometry().left(), formAt.x() + form->width() + 2 * WaylandFrame::kBorder + 8);
        EXPECT_EQ(view->geometry().top(), formAt.y());
        EXPECT_EQ(frame->width(), view->geometry().right() + 1 + WaylandFrame::kBorder);
        EXPECT_GE(frame->height(), view->geometry().bottom() + 1 + WaylandFrame::kBorder);
        EXPECT_TRUE(form->ObservationAction()->isChecked());
        // Its own close box, at the right end of its title bar.
        const QPoint box = frame->SideCloseBox().center();
        EXPECT_GT(box.x(), view->geometry().center().x());
        QTest::mouseClick(frame.get(), Qt::LeftButton, {}, box);
        EXPECT_FALSE(view->isVisible());
        EXPECT_FALSE(form->Logic().ObservationShown());
        EXPECT_FALSE(form->ObservationAction()->isChecked());
        EXPECT_EQ(frame->size(), alone);
        EXPECT_EQ(form->pos(), formAt);
    }
    frame.reset();
    EXPECT_TRUE(fatalMessages.isEmpty());
}

}  // namespace
}  // namespace qt_window::testing
