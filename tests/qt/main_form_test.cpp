#include "main_form.h"
#include "texts.h"
#include "widget_table.h"
#include "window_fixture.h"

#include <QAccessible>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <cmath>
#include <iterator>

namespace qt_window::testing {
namespace {

QString U(const char* text) { return QString::fromUtf8(text); }

// Every widget of the design, with its caption or start-up text; its
// geometry is the design table's, in pixels (twips / 15).
struct ExpectedWidget {
    const char* name;
    const char* caption;  // nullptr: not a captioned widget
};
const ExpectedWidget kDesign[] = {
    {"Text1_0", nullptr},
    {"Text1_1", nullptr},
    {"Label1_0", "Дулмери - температурен хистерезис"},
    {"Picture1", nullptr},
    {"VScroll1", nullptr},
    {"Label1_1", "Моментна стойност: 0"},
    {"Text2_0", "81"},
    {"Label1_2", "Горен праг:"},
    {"Label1_3", "Температура:"},
    {"Label1_4", "Базова максимална стойност:"},
    {"Text2_1", "100"},
    {"Text2_2", "90"},
    {"Label1_5", "Долен праг:"},
    {"Command1_0", "Пусни"},
    {"Command1_1", "Спри"},
    {"Frame1", "Състояние на системата:"},
    {"Option1_0", "Включено"},
    {"Option1_1", "Изключено"},
};

constexpr int DesignPixels(int twips) { return twips / design::kTwipsPerPixel; }

QRect DesignedGeometry(const char* name) {
    const design::WidgetSpec& spec = design::FindWidgetSpec(name);
    return {DesignPixels(spec.left), DesignPixels(spec.top), DesignPixels(spec.width), DesignPixels(spec.height)};
}

QString Caption(QWidget* widget) {
    if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) return button->text();
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) return edit->text();
    if (auto* frame = qobject_cast<QGroupBox*>(widget)) return frame->title();
    return {};
}

TEST_F(WindowTest, GeometryCaptionsAndStartUpTextsFollowTheDesign) {
    ASSERT_EQ(std::size(kDesign), design::WidgetTable().size());
    for (const ExpectedWidget& expected : kDesign) {
        QWidget* widget = Find(expected.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->geometry(), DesignedGeometry(expected.name)) << expected.name;
        if (expected.caption != nullptr) EXPECT_EQ(Caption(widget), U(expected.caption)) << expected.name;
    }
    EXPECT_EQ(form->size(), QSize(DesignPixels(design::kClientWidthTwips), DesignPixels(design::kClientHeightTwips)));
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("www.example.org  ") + U("Дулмери - терморегулатор"));
    const Qt::WindowFlags flags = form->windowFlags();
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(form->windowIcon().isNull());
    EXPECT_EQ(form->windowIcon().availableSizes().value(0), QSize(32, 32));
}

TEST_F(WindowTest, EveryWidgetUsesTheWindowFont) {
    const QFont font = form->font();
    EXPECT_EQ(font.family(), QStringLiteral("Times New Roman"));
    EXPECT_EQ(font.pointSize(), 12);
    EXPECT_EQ(font.weight(), QFont::Normal);
    // fontconfig maps Times New Roman to the metric-compatible serif.
    const QString resolved = QFontInfo(font).family();
    EXPECT_TRUE(resolved == QStringLiteral("Times New Roman") || resolved == QStringLiteral("Liberation Serif"))
        << resolved.toStdString();
    for (const ExpectedWidget& expected : kDesign) {
        EXPECT_EQ(Find(expected.name)->font(), font) << expected.name;
    }
}

TEST_F(WindowTest, ExplanatoryTextsHaveTheirLineStructure) {
    const QString explanation = QString::fromStdString(design::texts::Explanation());
    EXPECT_EQ(explanation.count(QStringLiteral("\r\n")), 8);
    EXPECT_TRUE(explanation.endsWith(QStringLiteral("\r\n")));
    const QStringList lines = explanation.split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 9);  // eight lines and the empty rest after the last break
    EXPECT_EQ(lines[5], U("Тема на проекта: Дулмери - хистерезис."));
    EXPECT_TRUE(lines[3].contains(QStringLiteral("(Schmitt trigger)")));
    for (int i = 0; i < 8; ++i) EXPECT_FALSE(lines[i].isEmpty()) << i;

    auto* shown = Find<QPlainTextEdit>("Text1_0");
    EXPECT_EQ(shown->toPlainText().split(QLatin1Char('\n')).mid(0, 8), lines.mid(0, 8));
    EXPECT_TRUE(shown->isReadOnly());
    EXPECT_EQ(shown->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_TRUE(shown->isVisible());

    auto* hidden = Find<QPlainTextEdit>("Text1_1");
    EXPECT_FALSE(hidden->isVisible());
    EXPECT_EQ(hidden->toPlainText().split(QLatin1Char('\n')).size(), 3);
    EXPECT_EQ(QString::fromStdString(design::texts::Aphorism()).count(QStringLiteral("\r\n")), 2);
}

TEST_F(WindowTest, LockedBoxesCannotBeEditedButTheThresholdBoxesCan) {
    auto* baseMaximum = Find<QLineEdit>("Text2_1");
    baseMaximum->setFocus();
    QTest::keyClicks(baseMaximum, QStringLiteral("5"));
    QTest::keyClick(baseMaximum, Qt::Key_Backspace);
    EXPECT_EQ(baseMaximum->text(), QStringLiteral("100"));

    auto* explanation = Find<QPlainTextEdit>("Text1_0");
    const QString before = explanation->toPlainText();
    explanation->setFocus();
    QTest::keyClicks(explanation, QStringLiteral("xyz"));
    EXPECT_EQ(explanation->toPlainText(), before);

    auto* upper = Find<QLineEdit>("Text2_2");
    upper->setFocus();
    upper->selectAll();
    QTest::keyClicks(upper, QStringLiteral("755"));
    EXPECT_EQ(upper->text(), QStringLiteral("75"));
    EXPECT_EQ(upper->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
}

TEST_F(WindowTest, TabFollowsTheDesignOrderFromTheExplanation) {
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("Text1_0"));

    QStringList visited;
    for (int i = 0; i < 8; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(visited, (QStringList{"Picture1", "VScroll1", "Text2_0", "Text2_1", "Text2_2", "Command1_0", "Command1_1",
                                    "Text1_0"}));
}

TEST_F(WindowTest, StartTicksAndStopDriveTheIndicatorsAndTheReadout) {
    auto* scale = Find<QScrollBar>("VScroll1");
    auto* readout = Find<QLabel>("Label1_1");
    auto* on = Find<QRadioButton>("Option1_0");
    auto* off = Find<QRadioButton>("Option1_1");
    EXPECT_EQ(scale->value(), 100);
    EXPECT_EQ(scale->maximum(), 100);
    EXPECT_TRUE(off->isChecked());
    EXPECT_FALSE(form->Timer1()->isActive());
    // The program's own moves of the bar do not come back as the user's.
    const QSignalSpy userChanges(scale, &QScrollBar::valueChanged);

    QTest::mouseClick(Find<QPushButton>("Command1_0"), Qt::LeftButton);
    ASSERT_TRUE(form->Timer1()->isActive());
    EXPECT_EQ(form->Timer1()->interval(), 100);
    EXPECT_EQ(form->Timer1()->timerType(), Qt::PreciseTimer);
    const int timerId = form->Timer1()->timerId();
    QTest::mouseClick(Find<QPushButton>("Command1_0"), Qt::LeftButton);
    EXPECT_EQ(form->Timer1()->timerId(), timerId);  // still the one timer

    for (int i = 0; i < 10; ++i) form->Logic().Timer1_Timer();
    EXPECT_EQ(scale->value(), 90);
    EXPECT_EQ(userChanges.count(), 0);
    EXPECT_EQ(readout->text(), U("Моментна стойност: 10"));
    EXPECT_TRUE(on->isChecked());
    EXPECT_FALSE(off->isChecked());
    EXPECT_DOUBLE_EQ(form->Logic().Regulator().GaugeRatio(), 0.9);

    QTest::mouseClick(Find<QPushButton>("Command1_1"), Qt::LeftButton);
    EXPECT_FALSE(form->Timer1()->isActive());
    EXPECT_TRUE(off->isChecked());
    EXPECT_TRUE(form->Logic().Regulator().State().HeaterOn);
    EXPECT_TRUE(fatalMessages.isEmpty());
}

TEST_F(WindowTest, TheButtonsWorkFromTheKeyboard) {
    auto* start = Find<QPushButton>("Command1_0");
    auto* stop = Find<QPushButton>("Command1_1");
    start->setFocus();
    QTest::keyClick(start, Qt::Key_Space);
    EXPECT_TRUE(form->Timer1()->isActive());
    stop->setFocus();
    QTest::keyClick(stop, Qt::Key_Return);
    EXPECT_FALSE(form->Timer1()->isActive());
    start->setFocus();
    QTest::keyClick(start, Qt::Key_Enter);
    EXPECT_TRUE(form->Timer1()->isActive());
}

TEST_F(WindowTest, TheScaleMovesByOneAndADragCountsOnRelease) {
    auto* scale = Find<QScrollBar>("VScroll1");
    auto* readout = Find<QLabel>("Label1_1");
    scale->setFocus();
    QTest::keyClick(scale, Qt::Key_Up);
    EXPECT_EQ(scale->value(), 99);
    EXPECT_EQ(readout->text(), U("Моментна стойност: 1"));
    scale->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(scale->value(), 98);

    // Clicks on the arrows and the track, through the window as a user makes them.
    const auto clickScale = [&](int y) {
        QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {}, scale->mapTo(form.get(), QPoint(12, y)));
    };
    clickScale(5);  // the up arrow
    EXPECT_EQ(scale->value(), 97);
    clickScale(40);  // the track above the thumb
    EXPECT_EQ(scale->value(), 96);
    clickScale(scale->height() - 5);  // the down arrow
    EXPECT_EQ(scale->value(), 97);
    EXPECT_EQ(readout->text(), U("Моментна стойност: 3"));

    // While the thumb is held nothing changes; on release the gauge follows.
    scale->setSliderDown(true);
    scale->setSliderPosition(19);
    EXPECT_EQ(readout->text(), U("Моментна стойност: 3"));
    scale->setSliderDown(false);
    EXPECT_EQ(scale->value(), 19);
    EXPECT_EQ(readout->text(), U("Моментна стойност: 81"));
    EXPECT_DOUBLE_EQ(form->Logic().Regulator().GaugeRatio(), 0.19);
}

TEST_F(WindowTest, TheOptionButtonsIgnoreTheUserAndAreNotGreyed) {
    auto* on = Find<QRadioButton>("Option1_0");
    auto* off = Find<QRadioButton>("Option1_1");
    const QPoint centre = on->mapTo(form.get(), on->rect().center());
    QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {}, centre);
    EXPECT_FALSE(on->isChecked());
    EXPECT_TRUE(off->isChecked());
    EXPECT_TRUE(on->isEnabled());
    EXPECT_EQ(on->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(off->focusPolicy(), Qt::NoFocus);
}

TEST_F(WindowTest, AFatalErrorIsReportedOnceAndStopsTheRun) {
    QTest::mouseClick(Find<QPushButton>("Command1_0"), Qt::LeftButton);
    ASSERT_TRUE(form->Timer1()->isActive());
    // A bar that lets the user go beyond the scale: the position is refused.
    auto* scale = Find<QScrollBar>("VScroll1");
    scale->setRange(0, 200);
    scale->setValue(150);
    ASSERT_EQ(fatalMessages.size(), 1);
    EXPECT_TRUE(fatalMessages[0].startsWith(U("Недопустима стойност на свойство"))) << fatalMessages[0].toStdString();
    EXPECT_TRUE(form->HasFailed());
    EXPECT_FALSE(form->Timer1()->isActive());
    form->Logic().Timer1_Timer();  // a tick already queued does nothing more
    QTest::mouseClick(Find<QPushButton>("Command1_0"), Qt::LeftButton);
    scale->setValue(160);
    EXPECT_FALSE(form->Timer1()->isActive());
    EXPECT_EQ(fatalMessages.size(), 1);
}

TEST_F(WindowTest, ControlsHaveNamesAScreenReaderCanSpeak) {
    const struct {
        const char* widget;
        const char* name;
    } cases[] = {
        {"Text2_0", "Долен праг"},
        {"Text2_1", "Базова максимална стойност"},
        {"Text2_2", "Горен праг"},
        {"VScroll1", "Температура"},
        {"Picture1", "Термометър"},
        {"Text1_0", "Обяснение"},
        {"Command1_0", "Пусни"},
        {"Command1_1", "Спри"},
        {"Option1_0", "Включено"},
        {"Text1_1", "Афоризъм"},
        {"Label1_1", "Моментна стойност: 0"},  // the readout speaks its number
    };
    for (const auto& c : cases) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(Find(c.widget));
        ASSERT_NE(accessible, nullptr) << c.widget;
        EXPECT_EQ(accessible->text(QAccessible::Name), U(c.name)) << c.widget;
    }
}

TEST_F(WindowTest, GaugeAndScaleReportTheTemperatureAsTheirValue) {
    auto* scale = Find<QScrollBar>("VScroll1");
    QAccessibleValueInterface* gauge = QAccessible::queryAccessibleInterface(Find("Picture1"))->valueInterface();
    QAccessibleValueInterface* slider = QAccessible::queryAccessibleInterface(scale)->valueInterface();
    ASSERT_NE(gauge, nullptr);
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(gauge->currentValue().toInt(), 0);
    EXPECT_EQ(slider->currentValue().toInt(), 0);
    scale->setValue(19);
    EXPECT_EQ(gauge->currentValue().toInt(), 81);
    EXPECT_EQ(slider->currentValue().toInt(), 81);
    slider->setCurrentValue(30);  // a screen reader sets the temperature
    EXPECT_EQ(scale->value(), 70);
    EXPECT_EQ(Find<QLabel>("Label1_1")->text(), U("Моментна стойност: 30"));
}

// Pixels of the whole window, sampled at logical coordinates.
class Pixels {
public:
    explicit Pixels(QWidget* widget) : image_(widget->grab().toImage()), ratio_(widget->devicePixelRatioF()) {}
    QRgb At(int x, int y) const {
        return image_.pixel(static_cast<int>(x * ratio_ + ratio_ / 2), static_cast<int>(y * ratio_ + ratio_ / 2)) &
               0xffffff;
    }
    const QImage& Image() const { return image_; }
    double Ratio() const { return ratio_; }

private:
    QImage image_;
    double ratio_;
};

TEST_F(WindowTest, ColoursShowAsDesigned) {
    const Pixels pixels(form.get());
    const QRgb label = qRgb(255, 192, 128) & 0xffffff;
    const struct {
        const char* what;
        QPoint at;
        QRgb colour;
    } cases[] = {
        {"window background", {470, 5}, qRgb(192, 192, 255)},
        {"title label", {398, 22}, label},
        {"readout label", {414, 230}, label},
        {"temperature label", {102, 46}, label},
        {"start button", {172, 188}, qRgb(0, 255, 0)},
        {"stop button", {372, 188}, qRgb(255, 0, 0)},
        {"frame inside", {136 + 164, 112 + 50}, qRgb(192, 192, 255)},
        {"on option", {136 + 16 + 102, 112 + 24 + 22}, qRgb(255, 128, 0)},
        {"off option", {136 + 216 + 102, 112 + 24 + 22}, qRgb(0, 192, 0)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(pixels.At(c.at.x(), c.at.y()), c.colour & 0xffffff)
            << c.what << " at " << c.at.x() << "," << c.at.y() << ": " << std::hex << pixels.At(c.at.x(), c.at.y());
    }
}

struct GaugeCase {
    int value;
    int redRows;  // of the 173 rows inside the border
};

TEST_F(WindowTest, GaugeSplitsRedBelowAndBlueAboveTheLevel) {
    auto* scale = Find<QScrollBar>("VScroll1");
    auto* gauge = Find("Picture1");
    const QRgb red = qRgb(210, 30, 30) & 0xffffff;
    const QRgb blue = qRgb(100, 130, 230) & 0xffffff;
    // Value 19: the level lies 0.19 x 177 = 33.6 px below the top of the
    // drawing area, so 173 - 34 rows are red, about 81 % of the column.
    for (const GaugeCase c : {GaugeCase{19, 139}, GaugeCase{100, 0}, GaugeCase{0, 173}, GaugeCase{50, 84}}) {
        scale->setValue(c.value);
        const QImage image = gauge->grab().toImage();
        const double ratio = gauge->devicePixelRatioF();
        // Device pixels wholly inside the border.
        const int left = static_cast<int>(std::ceil(2 * ratio)), right = static_cast<int>(std::floor(95 * ratio));
        const int top = static_cast<int>(std::ceil(2 * ratio)), bottom = static_cast<int>(std::floor(175 * ratio));
        int redRows = 0;
        for (int y = top; y < bottom; ++y) {
            const QRgb first = image.pixel(left, y) & 0xffffff;
            ASSERT_TRUE(first == red || first == blue) << "value " << c.value << " row " << y << std::hex << first;
            for (int x = left; x < right; ++x) {
                ASSERT_EQ(image.pixel(x, y) & 0xffffff, first) << "value " << c.value << " at " << x << "," << y;
            }
            if (first == red) {
                ++redRows;
            } else {
                ASSERT_EQ(redRows, 0) << "blue below red at row " << y;
            }
        }
        EXPECT_NEAR(redRows / ratio, c.redRows, 1.0) << "value " << c.value;

        // The drawing is kept: painting again shows the same picture.
        gauge->repaint();
        EXPECT_EQ(gauge->grab().toImage(), image) << "value " << c.value;
    }
}

}  // namespace
}  // namespace qt_window::testing
