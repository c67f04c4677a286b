#include "observation_window.h"

#include "design_qt.h"
#include "plot_widget.h"
#include "texts.h"
#include "view_design.h"
#include "view_placement.h"
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
#include <cmath>
#include <mutex>
#include <stdexcept>
#include <string_view>

namespace qt_window {
namespace {

using design::WidgetKind;
using design::WidgetSpec;
namespace texts = design::texts;
namespace view = design::view;

void SetBackground(QWidget* widget, QPalette::ColorRole role, design::Rgb colour, bool fill) {
    QPalette palette = widget->palette();
    palette.setColor(role, QColor(ToQRgb(colour)));
    widget->setPalette(palette);
    widget->setAutoFillBackground(fill);
}

Qt::Alignment CellAlignment() {
    switch (view::kCellAlignment) {
        case view::Alignment::Left:
            return Qt::AlignLeft | Qt::AlignVCenter;
        case view::Alignment::Right:
            return Qt::AlignRight | Qt::AlignVCenter;
        case view::Alignment::Centre:
            break;
    }
    return Qt::AlignCenter;
}

regulator::ScreenRect ToScreenRect(const QRect& rect) { return {rect.left(), rect.top(), rect.width(), rect.height()}; }

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
    SetBackground(this, QPalette::Window, design::kWindowBackground, true);
    const QFont windowFont = WindowFont();
    setFont(windowFont);
    QFont tableFont = windowFont;
    tableFont.setPointSize(view::kTablePointSize);

    std::vector<QWidget*> tabChain;
    for (const WidgetSpec& spec : design::ObservationTable()) {
        const QString caption = spec.text != nullptr ? Text(spec.text) : QString();
        QWidget* widget = nullptr;
        switch (spec.kind) {
            case WidgetKind::Label: {
                auto* label = new QLabel(caption, this);
                label->setAlignment(Qt::AlignTop | (spec.Has(design::kCentred) ? Qt::AlignHCenter : Qt::AlignLeft));
                if (spec.text == nullptr) figures_.push_back(label);
                widget = label;
                break;
            }
            case WidgetKind::PictureBox: {
                auto* plot = new PlotWidget(this);
                plots_.push_back(plot);
                widget = plot;
                break;
            }
            case WidgetKind::Table: {
                if (bands_ != nullptr) throw std::logic_error("the view has one table only");
                bands_ = new QTableWidget(0, static_cast<int>(texts::kBandsTableHeaders.size()), this);
                QStringList headers;
                for (std::string_view header : texts::kBandsTableHeaders) {
                    headers << QString::fromUtf8(header.data(), static_cast<qsizetype>(header.size()));
                }
                bands_->setHorizontalHeaderLabels(headers);
                bands_->horizontalHeader()->setDefaultAlignment(CellAlignment());
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
            case WidgetKind::PushButton: {
                // The view's one button copies its table.
                auto* button = new QPushButton(caption, this);
                if (spec.Has(design::kShowsColour) && spec.background) {
                    button->setStyleSheet(ColouredButtonStyleSheet(*spec.background));
                }
                button->setAutoDefault(true);
                connect(button, &QPushButton::clicked, this, &ObservationWindow::copyBandsClicked);
                widget = button;
                break;
            }
            default:
                throw std::logic_error(std::string("the view has no widget of the kind of ") + spec.name);
        }
        widget->setObjectName(QString::fromLatin1(spec.name));
        if (spec.kind == WidgetKind::Table) {
            widget->setFont(tableFont);
            bands_->horizontalHeader()->setFont(tableFont);  // a header has a font of its own
        } else {
            widget->setFont(windowFont);
        }
        if (spec.accessibleName != nullptr) widget->setAccessibleName(Text(spec.accessibleName));
        if (spec.background && spec.kind != WidgetKind::PushButton) {
            const bool table = spec.kind == WidgetKind::Table, plot = spec.kind == WidgetKind::PictureBox;
            SetBackground(widget, table ? QPalette::Base : QPalette::Window, *spec.background, !table && !plot);
        }
        if (widget->focusPolicy() & Qt::TabFocus) tabChain.push_back(widget);
        widgets_.push_back(widget);
    }
    if (bands_ == nullptr) throw std::logic_error("the view's table lacks its table of bands");
    shownFigures_.resize(figures_.size());
    for (std::size_t i = 1; i < tabChain.size(); ++i) setTabOrder(tabChain[i - 1], tabChain[i]);
    if (!tabChain.empty()) tabChain.front()->setFocus();
    LayOut(design::kObservationHeightTwips);
}

void ObservationWindow::LayOut(int clientHeightTwips) {
    const std::vector<regulator::TwipsBox> boxes = regulator::LayOutObservation(clientHeightTwips);
    for (std::size_t i = 0; i < widgets_.size() && i < boxes.size(); ++i) {
        const regulator::TwipsBox& box = boxes[i];
        widgets_[i]->setGeometry(design::TwipsToWholePixels(box.left), design::TwipsToWholePixels(box.top),
                                 design::TwipsToWholePixels(box.width), design::TwipsToWholePixels(box.height));
    }
    setFixedSize(design::TwipsToWholePixels(design::kObservationWidthTwips),
                 design::TwipsToWholePixels(clientHeightTwips));
    heightTwips_ = clientHeightTwips;
}

void ObservationWindow::ShowBeside(QWidget* mainWindow) {
    if (isVisible()) {
        raise();
        return;
    }
    // The frames' margins. Before the first showing the view's are not
    // known yet: they are taken to be the main window's.
    const QRect main = mainWindow->frameGeometry();
    QMargins margins(geometry().left() - frameGeometry().left(), geometry().top() - frameGeometry().top(),
                     frameGeometry().right() - geometry().right(), frameGeometry().bottom() - geometry().bottom());
    if (frameGeometry().size() == size()) {
        const QRect inner = mainWindow->geometry();
        margins = QMargins(inner.left() - main.left(), inner.top() - main.top(), main.right() - inner.right(),
                           main.bottom() - inner.bottom());
    }
    const int frameWidth = margins.left() + margins.right(), frameHeight = margins.top() + margins.bottom();
    const int mainTopMargin = mainWindow->geometry().top() - main.top();
    int clientHeight = design::TwipsToWholePixels(design::kObservationHeightTwips);
    QPoint place(main.right() + 1 + view::kGapPixels, main.top());
    if (const QScreen* screen = mainWindow->screen()) {
        regulator::PlacementRequest request;
        request.work = ToScreenRect(screen->availableGeometry());
        request.main = ToScreenRect(main);
        request.viewWidth = design::TwipsToWholePixels(design::kObservationWidthTwips) + frameWidth;
        request.viewHeight = clientHeight + frameHeight;
        request.viewLeastHeight = design::TwipsToWholePixels(regulator::LeastObservationHeightTwips()) + frameHeight;
        request.mainControlsBottom =
            mainTopMargin + static_cast<int>(std::ceil(design::TwipsToPixels(regulator::MainControlsBottomTwips())));
        request.gap = view::kGapPixels;
        const regulator::ViewPlacement placement = regulator::PlaceView(request);
        if (placement.main != request.main) mainWindow->move(placement.main.left, placement.main.top);
        place = QPoint(placement.view.left, placement.view.top);
        clientHeight = std::max(1, placement.view.height - frameHeight);
    }
    // Whole pixels of the client area, in twips.
    LayOut(std::min(design::kObservationHeightTwips, clientHeight * design::kTwipsPerInch / design::kStandardDpi));
    move(place);
    // A secondary window of the main one: it keeps the program from ending
    // no longer than the main window does.
    winId();
    if (QWindow* window = windowHandle()) window->setTransientParent(mainWindow->windowHandle());
    show();
}

void ObservationWindow::Show(const regulator::ObservationPicture& picture) {
    for (std::size_t i = 0; i < plots_.size() && i < picture.plots.size(); ++i) plots_[i]->SetPlot(picture.plots[i]);
    for (std::size_t i = 0; i < figures_.size() && i < picture.figures.size(); ++i) {
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
                item->setTextAlignment(CellAlignment());
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

// The close box only asks: the window's logic hides the view.
void ObservationWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    emit closedByUser();
}

}  // namespace qt_window
