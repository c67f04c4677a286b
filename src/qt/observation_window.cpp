#include "observation_window.h"

#include "design_qt.h"
#include "fixed_size_window.h"
#include "plot_widget.h"
#include "texts.h"
#include "widget_table.h"

#include <QAccessibleWidget>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QWindow>

#include <algorithm>
#include <mutex>
#include <stdexcept>
#include <string_view>

namespace qt_window {
namespace {

using design::WidgetKind;
using design::WidgetSpec;
namespace texts = design::texts;

// The widget's name without its array index: "Figure_1" -> "Figure".
std::string_view BaseName(const WidgetSpec& spec) {
    const std::string_view name = spec.name;
    return name.substr(0, name.find('_'));
}

void SetBackground(QWidget* widget, QPalette::ColorRole role, design::Rgb colour, bool fill) {
    QPalette palette = widget->palette();
    palette.setColor(role, QColor(ToQRgb(colour)));
    widget->setPalette(palette);
    widget->setAutoFillBackground(fill);
}

// Screen readers see the view as a window (a frame), named by its title.
QAccessibleInterface* ViewAccessibleFactory(const QString&, QObject* object) {
    if (auto* view = qobject_cast<ObservationWindow*>(object)) return new QAccessibleWidget(view, QAccessible::Window);
    return nullptr;
}

}  // namespace

ObservationWindow::ObservationWindow(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
    static std::once_flag installed;
    std::call_once(installed, [] { QAccessible::installFactory(ViewAccessibleFactory); });
    BuildWidgets();
}

void ObservationWindow::BuildWidgets() {
    setObjectName(QStringLiteral("Observation"));
    setWindowTitle(Text(texts::kObservationTitle));
    setWindowIcon(parentWidget()->windowIcon());
    setFixedSize(design::TwipsToWholePixels(design::kObservationWidthTwips),
                 design::TwipsToWholePixels(design::kObservationHeightTwips));
    SetBackground(this, QPalette::Window, design::kWindowBackground, true);
    const QFont windowFont = WindowFont();
    setFont(windowFont);

    std::vector<QWidget*> tabChain;
    for (const WidgetSpec& spec : design::ObservationTable()) {
        const QString caption = spec.text != nullptr ? Text(spec.text) : QString();
        const std::string_view name = BaseName(spec);
        QWidget* widget = nullptr;
        switch (spec.kind) {
            case WidgetKind::Label: {
                auto* label = new QLabel(caption, this);
                label->setAlignment(Qt::AlignTop | (spec.Has(design::kCentred) ? Qt::AlignHCenter : Qt::AlignLeft));
                if (name == "Figure") figures_.at(spec.ArrayIndex()) = label;
                widget = label;
                break;
            }
            case WidgetKind::PictureBox: {
                auto* plot = new PlotWidget(this);
                (name == "Trace" ? trace_ : loop_) = plot;
                widget = plot;
                break;
            }
            case WidgetKind::Table: {
                bands_ = new QTableWidget(0, static_cast<int>(texts::kBandsTableHeaders.size()), this);
                QStringList headers;
                for (std::string_view header : texts::kBandsTableHeaders) {
                    headers << QString::fromUtf8(header.data(), static_cast<qsizetype>(header.size()));
                }
                bands_->setHorizontalHeaderLabels(headers);
                bands_->verticalHeader()->hide();
                bands_->setEditTriggers(QAbstractItemView::NoEditTriggers);
                bands_->setSelectionBehavior(QAbstractItemView::SelectRows);
                bands_->setSelectionMode(QAbstractItemView::SingleSelection);
                // Tab leaves the table for the button; the arrows move within it.
                bands_->setTabKeyNavigation(false);
                bands_->setWordWrap(false);
                // Each column as wide as its header, the last one taking the rest;
                // each row as high as its text.
                bands_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
                bands_->horizontalHeader()->setStretchLastSection(true);
                bands_->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
                widget = bands_;
                break;
            }
            case WidgetKind::PushButton:
                copyBands_ = new QPushButton(caption, this);
                if (spec.Has(design::kShowsColour) && spec.background) {
                    copyBands_->setStyleSheet(ColouredButtonStyleSheet(*spec.background));
                }
                copyBands_->setAutoDefault(true);
                connect(copyBands_, &QPushButton::clicked, this, &ObservationWindow::copyBandsClicked);
                widget = copyBands_;
                break;
            default:
                throw std::logic_error(std::string("the view has no widget of the kind of ") + spec.name);
        }
        widget->setObjectName(QString::fromLatin1(spec.name));
        if (spec.kind == WidgetKind::Table) {
            QFont tableFont = windowFont;
            tableFont.setPointSize(kTablePointSize);
            widget->setFont(tableFont);
            bands_->horizontalHeader()->setFont(tableFont);  // a header has a font of its own
        } else {
            widget->setFont(windowFont);
        }
        widget->setGeometry(PixelGeometry(spec));
        if (spec.accessibleName != nullptr) widget->setAccessibleName(Text(spec.accessibleName));
        if (spec.background && spec.kind != WidgetKind::PushButton) {
            const bool table = spec.kind == WidgetKind::Table, plot = spec.kind == WidgetKind::PictureBox;
            SetBackground(widget, table ? QPalette::Base : QPalette::Window, *spec.background, !table && !plot);
        }
        if (widget->focusPolicy() & Qt::TabFocus) tabChain.push_back(widget);
    }
    if (trace_ == nullptr || loop_ == nullptr || bands_ == nullptr || copyBands_ == nullptr ||
        std::find(figures_.begin(), figures_.end(), nullptr) != figures_.end()) {
        throw std::logic_error("the view's table lacks one of its widgets");
    }
    for (std::size_t i = 1; i < tabChain.size(); ++i) setTabOrder(tabChain[i - 1], tabChain[i]);
    tabChain.front()->setFocus();
}

void ObservationWindow::ShowBeside(QWidget* mainWindow) {
    if (isVisible()) {
        raise();
        return;
    }
    // Before the first showing the view's frame is not known yet: it is
    // taken to be as wide as the main window's.
    const QRect main = mainWindow->frameGeometry();
    QSize frame = frameGeometry().size() - this->size();
    if (frame.isNull()) frame = main.size() - mainWindow->size();
    const QSize size = this->size() + frame;
    QPoint place(main.right() + 1 + kGapPixels, main.top());
    if (const QScreen* screen = mainWindow->screen()) {
        const QRect free = screen->availableGeometry();
        if (place.x() + size.width() - 1 > free.right()) {
            const int left = main.left() - kGapPixels - size.width();
            place.setX(left >= free.left() ? left : free.right() + 1 - size.width());
        }
        place.setY(std::max(free.top(), std::min(place.y(), free.bottom() + 1 - size.height())));
    }
    move(place);
    // A secondary window of the main one: it keeps the program from ending
    // no longer than the main window does.
    winId();
    if (QWindow* window = windowHandle()) window->setTransientParent(mainWindow->windowHandle());
    show();
    if (QGuiApplication::platformName() == QLatin1String("wayland") &&
        findChild<FixedSizeWindowGuard*>(QString(), Qt::FindDirectChildrenOnly) == nullptr) {
        new FixedSizeWindowGuard(this);
    }
}

void ObservationWindow::Show(const regulator::ObservationPicture& picture) {
    trace_->SetPlot(picture.trace);
    loop_->SetPlot(picture.loop);
    for (std::size_t i = 0; i < figures_.size(); ++i) {
        if (picture.figures[i] == shownFigures_[i]) continue;
        shownFigures_[i] = picture.figures[i];
        figures_[i]->setText(Text(shownFigures_[i]));
    }
    ShowRows(picture.rows);
}

void ObservationWindow::ShowRows(const std::vector<std::array<std::string, 5>>& rows) {
    if (rows == shownRows_) return;
    const int before = bands_->rowCount();
    bands_->setRowCount(static_cast<int>(rows.size()));
    for (int row = 0; row < bands_->rowCount(); ++row) {
        for (int column = 0; column < bands_->columnCount(); ++column) {
            const QString text = Text(rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)]);
            QTableWidgetItem* item = bands_->item(row, column);
            if (item == nullptr) {
                item = new QTableWidgetItem(text);
                item->setTextAlignment(Qt::AlignCenter);
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
                bands_->setItem(row, column, item);
            } else if (item->text() != text) {
                item->setText(text);
            }
        }
    }
    // A band tried anew is the last row: keep it in sight.
    if (bands_->rowCount() > before) bands_->scrollToBottom();
    shownRows_ = rows;
}

void ObservationWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closedByUser();
}

}  // namespace qt_window
