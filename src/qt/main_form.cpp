#include "main_form.h"

#include "accessibility.h"
#include "design_qt.h"
#include "fatal_error.h"
#include "numeric_text.h"
#include "program_icon.h"
#include "scroll_bar_style.h"
#include "texts.h"
#include "widget_table.h"

#include <QAccessible>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QTimer>

#include <cmath>
#include <vector>

namespace qt_window {
namespace {

using design::WidgetKind;
using design::WidgetSpec;
namespace texts = design::texts;

regulator::NumberFormat LocaleNumberFormat() {
    return regulator::NumberFormat{QLocale().decimalPoint().toStdString()};
}

// The widget's background colour. Qt fills it before each paint, except for
// the gauge, which paints its whole area itself.
void SetBackground(QWidget* widget, design::Rgb colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, QColor(ToQRgb(colour)));
    widget->setPalette(palette);
    widget->setBackgroundRole(QPalette::Window);  // buttons default to the Button role
    widget->setAutoFillBackground(qobject_cast<Gauge*>(widget) == nullptr);
}

// Fusion paints button colours as gradients; a style sheet with an explicit
// border paints the exact colour, with a raised border like a classic button.
QString ButtonStyleSheet(design::Rgb colour) {
    const QString background = QColor(ToQRgb(colour)).name();
    return QStringLiteral(
               "QPushButton { background-color: %1; color: black; border: 2px outset #d4d0c8; }"
               "QPushButton:pressed { border-style: inset; }"
               "QPushButton:focus { border: 2px solid black; }")
        .arg(background);
}

}  // namespace

MainForm::MainForm(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      regulator_(*this, LocaleNumberFormat()),
      scrollBarStyle_(std::make_unique<ScrollBarStyle>()) {
    fatalHandler_ = [this](const QString& message) { ShowFatalErrorAndQuit(message); };
    InstallAccessibility();
    BuildWidgets();
    Form_Load();
}

MainForm::~MainForm() {
    // The scroll bar's style goes with the window's fields, before the
    // widgets: hand the bar back to the application's style first.
    vscroll1_->setStyle(nullptr);
}

void MainForm::BuildWidgets() {
    setObjectName(QStringLiteral("MainForm"));
    heaterAnnouncements_ = {new Announcement(Text(texts::kOn), this), new Announcement(Text(texts::kOff), this)};
    runAnnouncements_ = {new Announcement(Text(texts::kRunStarted), this),
                         new Announcement(Text(texts::kRunStopped), this)};
    runAnnouncements_[1]->Show();  // created stopped
    setWindowTitle(Text(texts::WindowCaption()));
    setWindowIcon(ProgramIcon());
    setFixedSize(design::kClientWidthTwips / design::kTwipsPerPixel,
                 design::kClientHeightTwips / design::kTwipsPerPixel);
    SetBackground(this, design::kWindowBackground);
    const QFont windowFont = WindowFont();
    setFont(windowFont);

    std::vector<QWidget*> tabChain;
    for (const WidgetSpec& spec : design::WidgetTable()) {
        const int index = spec.ArrayIndex();
        const QString caption = spec.text != nullptr ? Text(spec.text) : QString();
        QWidget* widget = nullptr;
        switch (spec.kind) {
            case WidgetKind::TextBox:
                if (spec.Has(design::kMultiLine)) {
                    auto* box = new QPlainTextEdit(this);
                    box->setPlainText(Text(index == 0 ? texts::Explanation() : texts::Aphorism())
                                          .replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
                    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
                    box->setReadOnly(spec.Has(design::kLocked));
                    box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
                    box->setTabChangesFocus(true);
                    box->setFocusPolicy(Qt::StrongFocus);
                    text1_.at(index) = box;
                    widget = box;
                } else {
                    auto* box = new ThresholdBox(this);
                    if (spec.Has(design::kCentred)) box->setAlignment(Qt::AlignCenter);
                    box->setReadOnly(spec.Has(design::kLocked));
                    if (spec.Has(design::kTwoCharacters)) box->SetTypingLimit(2);
                    text2_.at(index) = box;
                    widget = box;
                }
                break;
            case WidgetKind::Label: {
                auto* label = new QLabel(caption, this);
                label->setAlignment(Qt::AlignTop | (spec.Has(design::kCentred) ? Qt::AlignHCenter : Qt::AlignLeft));
                label1_.at(index) = label;
                widget = label;
                break;
            }
            case WidgetKind::PictureBox:
                picture1_ = new Gauge(this);
                picture1_->setFocusPolicy(Qt::StrongFocus);
                widget = picture1_;
                break;
            case WidgetKind::VScrollBar:
                // Created at the bottom: maximum 100, position 100, temperature 0.
                vscroll1_ = new QScrollBar(Qt::Vertical, this);
                vscroll1_->setObjectName(QString::fromLatin1(spec.name));  // before accessibility looks at it
                vscroll1_->setRange(design::kScaleCreatedMin, design::kScaleCreatedMax);
                vscroll1_->setValue(design::kScaleCreatedValue);
                vscroll1_->setSingleStep(1);
                vscroll1_->setPageStep(1);
                // Report a drag once, when the thumb is released.
                vscroll1_->setTracking(false);
                vscroll1_->setFocusPolicy(Qt::StrongFocus);
                vscroll1_->setStyle(scrollBarStyle_.get());
                connect(vscroll1_, &QScrollBar::valueChanged, this, &MainForm::VScroll1_Change);
                widget = vscroll1_;
                break;
            case WidgetKind::PushButton: {
                auto* button = new QPushButton(caption, this);
                button->setStyleSheet(ButtonStyleSheet(*spec.background));
                // Enter presses the focused button, as Space does.
                button->setAutoDefault(true);
                connect(button, &QPushButton::clicked, this, [this, index] { Command1_Click(index); });
                command1_.at(index) = button;
                widget = button;
                break;
            }
            case WidgetKind::Frame:
                // The frame stays enabled so its option buttons are not greyed;
                // the buttons themselves ignore mouse and keyboard.
                frame1_ = new QGroupBox(caption, this);
                frame1_->setFocusPolicy(Qt::NoFocus);
                // An etched line with the caption set into it, filled with the
                // frame's own colour (Fusion would shade the inside).
                frame1_->setStyleSheet(QStringLiteral(
                    "QGroupBox { background-color: %1; border: 2px groove #a0a0c8; margin-top: 9px; }"
                    "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0 2px; }")
                                           .arg(QColor(ToQRgb(*spec.background)).name()));
                frame1_->setAccessibleName(caption);
                widget = frame1_;
                break;
            case WidgetKind::OptionButton: {
                auto* option = new QRadioButton(caption, frame1_);
                option->setAttribute(Qt::WA_TransparentForMouseEvents);
                option->setFocusPolicy(Qt::NoFocus);
                option1_.at(index) = option;
                widget = option;
                break;
            }
        }
        widget->setObjectName(QString::fromLatin1(spec.name));
        // Every widget uses the window's font; say so explicitly, since a
        // style sheet on a parent would otherwise reset its children's font.
        widget->setFont(windowFont);
        widget->setGeometry(PixelGeometry(spec));
        if (spec.accessibleName != nullptr) widget->setAccessibleName(Text(spec.accessibleName));
        if (spec.background && spec.kind != WidgetKind::PushButton) SetBackground(widget, *spec.background);
        if (spec.Has(design::kInvisible)) widget->setVisible(false);
        if (widget->focusPolicy() & Qt::TabFocus && !spec.Has(design::kInvisible)) tabChain.push_back(widget);
    }
    for (std::size_t i = 1; i < tabChain.size(); ++i) setTabOrder(tabChain[i - 1], tabChain[i]);
    text1_[0]->setFocus();

    timer1_ = new QTimer(this);
    timer1_->setObjectName(QStringLiteral("Timer1"));
    timer1_->setInterval(design::kTimerIntervalMs);
    timer1_->setTimerType(Qt::PreciseTimer);
    connect(timer1_, &QTimer::timeout, this, &MainForm::Timer1_Timer);

    // Opens centred on the screen.
    if (const QScreen* screen = this->screen()) {
        setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), screen->availableGeometry()));
    }
}

template <typename Handler>
void MainForm::Guarded(Handler&& handler) {
    texts::RunGuarded(failed_, handler, [this](const std::string& description) { Fail(Text(description)); });
}

void MainForm::Fail(const QString& message) {
    failed_ = true;
    timer1_->stop();
    fatalHandler_(message);
}

void MainForm::ShowFatalErrorAndQuit(const QString& message) {
    QMessageBox box(QMessageBox::Critical, Text(texts::WindowCaption()),
                    Text(texts::FatalErrorMessage(message.toStdString())), QMessageBox::Ok,
                    isVisible() ? this : nullptr);
    box.exec();
    hide();
    QCoreApplication::exit(kFatalExitCode);
}

void MainForm::Form_Load() { Guarded([this] { regulator_.Form_Load(); }); }
void MainForm::Command1_Click(int index) {
    Guarded([this, index] {
        regulator_.Command1_Click(index);
        if (index == 0 || index == 1) Announce(runAnnouncements_, index);
    });
}
void MainForm::Timer1_Timer() { Guarded([this] { regulator_.Timer1_Timer(); }); }
void MainForm::VScroll1_Change() { Guarded([this] { regulator_.VScroll1_Change(); }); }

std::string MainForm::Text2(int index) const { return text2_.at(index)->text().toStdString(); }

void MainForm::SetText2(int index, const std::string& text) {
    text2_.at(index)->WriteText(QString::fromStdString(text));
}

std::int16_t MainForm::VScroll1Max() const { return static_cast<std::int16_t>(vscroll1_->maximum()); }
std::int16_t MainForm::VScroll1Min() const { return static_cast<std::int16_t>(vscroll1_->minimum()); }
std::int16_t MainForm::VScroll1Value() const { return static_cast<std::int16_t>(vscroll1_->value()); }

// The change event runs synchronously and directly, not through the signal,
// so a fatal error inside it reaches the guard of the handler that moved the
// position.
template <typename Change>
void MainForm::ChangeScale(Change&& change) {
    const int before = vscroll1_->value();
    {
        const QSignalBlocker blocker(vscroll1_);
        change();
    }
    if (vscroll1_->value() != before) regulator_.VScroll1_Change();
}

void MainForm::SetVScroll1Max(std::int16_t max) {
    ChangeScale([&] { vscroll1_->setMaximum(max); });
}

void MainForm::SetVScroll1Min(std::int16_t min) {
    ChangeScale([&] { vscroll1_->setMinimum(min); });
}

void MainForm::SetVScroll1Value(std::int16_t value) {
    regulator::CheckScaleValue(VScroll1Min(), VScroll1Max(), value);
    // Only the tick sets the position; its steps are not spoken (a user's own
    // changes of the scroll bar are).
    ChangeScale([&] {
        const SilentAccessibility silent;
        vscroll1_->setValue(value);
    });
}

void MainForm::SelectOption1(int index) {
    QRadioButton* option = option1_.at(index);
    if (option->isChecked()) return;
    option->setChecked(true);  // the group clears the other one
    // The gauge, which Tab reaches, carries the state in its description,
    // read with it; the announcement speaks the switch wherever the focus is.
    picture1_->setAccessibleDescription(Text(texts::kSystemState) + QLatin1Char(' ') + option->text());
    Announce(heaterAnnouncements_, index);
}

void MainForm::Announce(const std::array<Announcement*, 2>& group, int index) {
    group.at(1 - index)->Hide();
    group.at(index)->Show();
}

void MainForm::SetTimer1Enabled(bool enabled) {
    if (!enabled) {
        timer1_->stop();
    } else if (!timer1_->isActive()) {
        timer1_->start();  // enabling a running timer keeps its rhythm
    }
}

void MainForm::DrawGauge() {
    const double width = std::floor(picture1_->WidthTwips());
    const double height = picture1_->HeightTwips();
    const double level = regulator_.GaugeRatio() * height;
    picture1_->Cls();
    picture1_->FillBox({0, height}, {width, level}, QColor(ToQRgb(design::kGaugeRed)));  // the temperature's share
    picture1_->FillBox({0, level}, {width, 0}, QColor(ToQRgb(design::kGaugeBlue)));
    const std::int16_t temperature = regulator::GuardedSubtract(VScroll1Max(), VScroll1Value());
    label1_[1]->setText(Text(texts::kReadoutPrefix) +
                        QString::fromStdString(regulator::IntegerToText(temperature)));
    picture1_->SetAccessibleValue(temperature);
}

}  // namespace qt_window
