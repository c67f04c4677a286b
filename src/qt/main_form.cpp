#include "main_form.h"

#include "accessibility.h"
#include "design_qt.h"
#include "handler_guard.h"
#include "program_icon.h"
#include "texts.h"
#include "wayland_frame.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QHideEvent>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

namespace qt_window {
namespace {

using design::WidgetKind;
using design::WidgetSpec;
namespace texts = design::texts;

regulator::NumberFormat LocaleNumberFormat() { return regulator::NumberFormat{QLocale().decimalPoint().toStdString()}; }

// The widget's background colour. Qt fills it before each paint, except for
// the gauge, which paints its whole area itself.
void SetBackground(QWidget* widget, design::Rgb colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, QColor(ToQRgb(colour)));
    widget->setPalette(palette);
    widget->setBackgroundRole(QPalette::Window);  // buttons default to the Button role
    widget->setAutoFillBackground(qobject_cast<Gauge*>(widget) == nullptr);
}

// An etched line with the caption set into it, filled with the frame's own
// colour (Fusion would shade the inside).
QString FrameStyleSheet(design::Rgb colour) {
    return QStringLiteral(
               "QGroupBox { background-color: %1; border: 2px groove %2; margin-top: %3px; }"
               "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0 2px; }")
        .arg(ColourName(colour), ColourName(design::kFrameLine))
        .arg(design::kFrameLineInsetPixels);
}

// A widget the user cannot operate. A frame stays enabled, so that its
// contents are not greyed; they ignore mouse and keyboard instead.
void MakeInert(QWidget* widget, WidgetKind kind) {
    if (kind != WidgetKind::Frame) {
        widget->setEnabled(false);
        return;
    }
    widget->setFocusPolicy(Qt::NoFocus);
    for (QWidget* content : widget->findChildren<QWidget*>()) {
        content->setAttribute(Qt::WA_TransparentForMouseEvents);
        content->setFocusPolicy(Qt::NoFocus);
    }
}

}  // namespace

MainForm::MainForm(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      logic_(*this, LocaleNumberFormat()),
      announcer_(this),
      timer1_(new Timer(this)) {
    fatalHandler_ = [this](const QString& description) { ShowFatalErrorAndQuit(description); };
    connect(timer1_, &QTimer::timeout, this, [this] { logic_.Timer1_Timer(); });
    InstallAccessibility();
    logic_.Guarded([this] { BuildWidgets(); });
    logic_.Form_Load();
}

void MainForm::BuildWidgets() {
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(Text(texts::WindowCaption()));
    setWindowIcon(ProgramIcon());
    setFixedSize(design::TwipsToWholePixels(design::kClientWidthTwips),
                 design::TwipsToWholePixels(design::kClientHeightTwips));
    SetBackground(this, design::kWindowBackground);
    const QFont windowFont = WindowFont();
    setFont(windowFont);

    const auto table = design::WidgetTable();
    std::vector<QWidget*> widgets;  // as the table
    for (const WidgetSpec& spec : table) {
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
                vscroll1_ = new ScrollBar(this);
                connect(vscroll1_, &QScrollBar::valueChanged, this,
                        [this](int value) { logic_.VScroll1_UserChange(value); });
                widget = vscroll1_;
                break;
            case WidgetKind::PushButton: {
                auto* button = new QPushButton(caption, this);
                if (spec.Has(design::kShowsColour) && spec.background) {
                    button->setStyleSheet(ColouredButtonStyleSheet(*spec.background));
                }
                // Enter presses the focused button, as Space does.
                button->setAutoDefault(true);
                connect(button, &QPushButton::clicked, this, [this, index] { logic_.Command1_Click(index); });
                command1_.at(index) = button;
                widget = button;
                break;
            }
            case WidgetKind::Frame:
                frame1_ = new QGroupBox(caption, this);
                if (spec.background) frame1_->setStyleSheet(FrameStyleSheet(*spec.background));
                frame1_->setAccessibleName(caption);
                widget = frame1_;
                break;
            case WidgetKind::OptionButton: {
                auto* option =
                    new QRadioButton(caption, spec.Has(design::kInFrame) ? static_cast<QWidget*>(frame1_) : this);
                option1_.at(index) = option;
                widget = option;
                break;
            }
            case WidgetKind::Table:
                throw std::logic_error(std::string("the main window has no table such as ") + spec.name);
        }
        widget->setObjectName(QString::fromLatin1(spec.name));
        // Every widget uses the window's font; say so explicitly, since a
        // style sheet on a parent would otherwise reset its children's font.
        widget->setFont(windowFont);
        widget->setGeometry(PixelGeometry(spec));
        if (spec.accessibleName != nullptr) widget->setAccessibleName(Text(spec.accessibleName));
        if (spec.background && spec.kind != WidgetKind::PushButton) SetBackground(widget, *spec.background);
        if (spec.Has(design::kInvisible)) widget->setVisible(false);
        widgets.push_back(widget);
    }

    BuildObservationEntry();

    // Once every widget is in place, so that a frame's contents are there.
    std::vector<QWidget*> tabChain;
    for (std::size_t i = 0; i < table.size(); ++i) {
        const WidgetSpec& spec = table[i];
        if (spec.Has(design::kDisabled)) MakeInert(widgets[i], spec.kind);
        const bool reachable = !spec.Has(design::kInvisible) && !spec.Has(design::kDisabled);
        if (reachable && (widgets[i]->focusPolicy() & Qt::TabFocus)) tabChain.push_back(widgets[i]);
    }
    for (std::size_t i = 1; i < tabChain.size(); ++i) setTabOrder(tabChain[i - 1], tabChain[i]);
    text1_[0]->setFocus();

    // Opens centred on the screen.
    if (const QScreen* screen = this->screen()) {
        setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), screen->availableGeometry()));
    }
}

// The view "Наблюдение" opens and closes with F2 in any of the program's
// windows, and with the item of Picture1's context menu (a right click,
// Shift+F10, the menu key): one checkable action, checked while it is open.
void MainForm::BuildObservationEntry() {
    // The item's text, then its key after a tab.
    const QString item = Text(texts::kObservationMenuItem);
    observationAction_ = new QAction(item.section(QLatin1Char('\t'), 0, 0), this);
    observationAction_->setObjectName(QStringLiteral("ObservationAction"));
    observationAction_->setShortcut(QKeySequence(item.section(QLatin1Char('\t'), 1), QKeySequence::PortableText));
    observationAction_->setShortcutContext(Qt::ApplicationShortcut);
    observationAction_->setCheckable(true);
    addAction(observationAction_);
    connect(observationAction_, &QAction::triggered, this, [this] {
        logic_.Observation_Toggle();
        // Checked as the view is, whatever the click made of it.
        observationAction_->setChecked(logic_.ObservationShown());
    });

    picture1Menu_ = new QMenu(this);
    picture1Menu_->setObjectName(QStringLiteral("Picture1Menu"));
    picture1Menu_->addAction(observationAction_);
    picture1_->installEventFilter(this);
}

bool MainForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched != picture1_ || event->type() != QEvent::ContextMenu) return QWidget::eventFilter(watched, event);
    const auto* request = static_cast<QContextMenuEvent*>(event);
    picture1Menu_->popup(request->globalPos());
    // Asked for from the keyboard, the menu's item is ready for Enter.
    if (request->reason() == QContextMenuEvent::Keyboard) picture1Menu_->setActiveAction(observationAction_);
    return true;
}

std::string MainForm::Text2(int index) const { return text2_.at(index)->text().toStdString(); }

void MainForm::SetText2(int index, const std::string& text) {
    text2_.at(index)->WriteText(QString::fromStdString(text));
}

void MainForm::ShowVScroll1(const regulator::ScaleState& scale) { vscroll1_->Show(scale); }

void MainForm::ReportVScroll1Value(std::int16_t temperature) { vscroll1_->ReportValue(temperature); }

void MainForm::ShowOption1(int index) { option1_.at(index)->setChecked(true); }

void MainForm::SetTimer1Enabled(bool enabled) { timer1_->SetEnabled(enabled); }

double MainForm::Picture1WidthTwips() const { return picture1_->WidthTwips(); }
double MainForm::Picture1HeightTwips() const { return picture1_->HeightTwips(); }
void MainForm::Picture1Cls() { picture1_->Cls(); }
void MainForm::Picture1FillBox(const regulator::GaugeBox& box) { picture1_->FillBox(box); }

void MainForm::ShowReadout(const std::string& caption, std::int16_t temperature) {
    label1_.at(1)->setText(Text(caption));
    picture1_->SetAccessibleValue(temperature);
}

// The gauge, which Tab reaches, carries the heater's state in its
// description, read with it.
void MainForm::DescribeGauge(const std::string& description) { picture1_->setAccessibleDescription(Text(description)); }

void MainForm::Announce(regulator::Message message, const std::string& text) { announcer_.Announce(message, text); }

// Beside the main window: a window of its own where Qt places windows; in
// the main window's own frame on Wayland, where the compositor would.
void MainForm::ShowObservationView(bool shown) {
    auto* frame = qobject_cast<WaylandFrame*>(window());
    if (shown) {
        if (observation_ == nullptr) {
            observation_ = new ObservationWindow(this);
            connect(observation_, &ObservationWindow::copyBandsClicked, this, [this] { logic_.CopyBands_Click(); });
            connect(observation_, &ObservationWindow::closedByUser, this, [this] { logic_.Observation_Closed(); });
        }
        if (frame != nullptr) {
            // As high as the screen leaves under the view's title bar.
            int height = design::kObservationHeightTwips;
            if (const QScreen* screen = frame->screen()) {
                const int room =
                    screen->availableGeometry().height() - WaylandFrame::kTitleHeight - 2 * WaylandFrame::kBorder;
                height = std::min(height, room * design::kTwipsPerInch / design::kStandardDpi);
            }
            if (!observation_->isVisible()) observation_->LayOut(height);
            frame->ShowSide(observation_);
        } else {
            observation_->ShowBeside(window());
        }
    } else if (observation_ != nullptr) {
        if (frame != nullptr) {
            frame->HideSide();
        } else {
            // Closed from the view itself: the keyboard goes back to the main window.
            if (observation_->isActiveWindow()) window()->activateWindow();
            observation_->hide();
        }
    }
    observationAction_->setChecked(shown);
}

void MainForm::ShowObservation(const regulator::ObservationPicture& picture) {
    if (observation_ != nullptr) observation_->Show(picture);
}

int MainForm::ObservationHeightTwips() const {
    return observation_ != nullptr ? observation_->HeightTwips() : design::kObservationHeightTwips;
}

void MainForm::PutOnClipboard(const std::string& text) { QGuiApplication::clipboard()->setText(Text(text)); }

// The main window closed, or the program ends: the view closes with it.
void MainForm::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (event->spontaneous() || observation_ == nullptr || !observation_->isVisible()) return;
    logic_.Observation_Closed();
}

void MainForm::ShowFatalError(const std::string& description) { fatalHandler_(Text(description)); }

void MainForm::ShowFatalErrorAndQuit(const QString& description) {
    QMessageBox box(QMessageBox::Critical, Text(texts::WindowCaption()),
                    Text(regulator::FatalErrorMessage(description.toStdString())), QMessageBox::Ok,
                    isVisible() ? this : nullptr);
    box.exec();
    hide();
    QCoreApplication::exit(kFatalExitCode);
}

}  // namespace qt_window
