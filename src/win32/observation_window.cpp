#include "observation_window.h"

#include "dpi.h"
#include "handler_guard.h"
#include "texts.h"
#include "view_design.h"
#include "view_placement.h"
#include "win32_text.h"

#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <stdexcept>
#include <string_view>

namespace win32_window {
namespace {

using design::WidgetKind;
using design::WidgetSpec;
namespace texts = design::texts;

// Like the main window, a fixed single border with the close box only; a
// pop-up, as a dialog box is, which the system keeps above its owner.
constexpr DWORD kWindowStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kWindowExStyle = WS_EX_CONTROLPARENT;
// Control identifiers: kFirstControlId + the widget's row in the view's table.
constexpr int kFirstControlId = 100;
// Around a column header's text, at 96 DPI.
constexpr int kColumnPaddingPixels = 12;

int Pixels(int twips, UINT dpi) { return design::TwipsToWholePixels(twips, static_cast<int>(dpi)); }
int Scaled(int pixels96, UINT dpi) { return MulDiv(pixels96, static_cast<int>(dpi), design::kStandardDpi); }

// The design's cell alignment as a list view column's format.
int ColumnFormat() {
    switch (design::view::kCellAlignment) {
        case design::view::Alignment::Left:
            return LVCFMT_LEFT;
        case design::view::Alignment::Centre:
            return LVCFMT_CENTER;
        case design::view::Alignment::Right:
            return LVCFMT_RIGHT;
    }
    return LVCFMT_LEFT;
}

regulator::ScreenRect ToScreenRect(const RECT& r) {
    return {static_cast<int>(r.left), static_cast<int>(r.top), static_cast<int>(r.right - r.left),
            static_cast<int>(r.bottom - r.top)};
}

void RegisterListView() {
    static const bool registered = [] {
        INITCOMMONCONTROLSEX classes{sizeof classes, ICC_LISTVIEW_CLASSES};
        return InitCommonControlsEx(&classes) != FALSE;
    }();
    if (!registered) throw std::runtime_error("the table control is not available");
}

void SetCell(HWND table, int row, int column, const std::string& text) {
    std::wstring wide = Wide(text);
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = wide.data();
    SendMessageW(table, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

}  // namespace

ObservationWindow::ObservationWindow(Annotations& annotations, Handlers handlers)
    : annotations_(annotations), handlers_(std::move(handlers)) {}

ObservationWindow::~ObservationWindow() {
    if (hwnd_ != nullptr) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

// --- Building the window from the design ------------------------------------

void ObservationWindow::Create(HWND owner) {
    RegisterWindowClass(kClassName, &ObservationWindow::Procedure, kProgramIcon);
    RECT beside{};
    GetWindowRect(owner, &beside);
    // Made hidden where it will be shown, so that it is measured at the DPI
    // of that screen.
    CreateWindowExW(kWindowExStyle, kClassName, Wide(texts::kObservationTitle).c_str(), kWindowStyle, beside.right,
                    beside.top, 1, 1, owner, nullptr, GetModuleHandleW(nullptr), this);
    if (hwnd_ == nullptr) throw std::runtime_error("the view could not be created");
    try {
        dpi_ = DpiOfWindow(hwnd_);
        font_ = WindowFont(dpi_);
        background_ = SolidBrush(design::kWindowBackground);
        BuildControls();
        navigation_.Attach(hwnd_, {&copyBands_, 1}, plots_.empty() ? nullptr : plots_.front()->Hwnd());
        Layout();
        SizeWindow(hwnd_, {beside.right, beside.top}, dpi_, {design::kObservationWidthTwips, clientHeightTwips_});
    } catch (...) {
        DestroyWindow(hwnd_);
        throw;
    }
}

void ObservationWindow::BuildControls() {
    const auto table = design::ObservationTable();
    for (std::size_t row = 0; row < table.size(); ++row) {
        const WidgetSpec& spec = table[row];
        HWND control = CreateControl(spec, kFirstControlId + static_cast<int>(row));
        controls_.push_back(control);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
        if (spec.accessibleName != nullptr) {
            annotations_.SetText(control, AccProperty::Name, Wide(spec.accessibleName));
        }
    }
}

HWND ObservationWindow::CreateControl(const WidgetSpec& spec, int id) {
    switch (spec.kind) {
        case WidgetKind::PictureBox: {
            PlotBox& box = *plots_.emplace_back(std::make_unique<PlotBox>());
            HWND drawing = box.Create(hwnd_, id, spec.background.value_or(design::kWindowBackground),
                                      Wide(spec.accessibleName != nullptr ? spec.accessibleName : ""), dpi_);
            annotations_.SetRole(drawing, ROLE_SYSTEM_CHART);
            return drawing;
        }
        case WidgetKind::Table:
            return bands_ = CreateTable(spec, id);
        case WidgetKind::Label: {
            HWND label = CreateStandardControl(spec, id, hwnd_);
            // Labels without a colour of their own lie on the window's.
            colours_.Set(label, spec.background.value_or(design::kWindowBackground));
            if (spec.text == nullptr) figures_.push_back(label);
            return label;
        }
        case WidgetKind::PushButton: {
            HWND button = CreateStandardControl(spec, id, hwnd_);
            if (spec.background) colours_.Set(button, *spec.background);
            copyBands_ = button;
            return button;
        }
        default:
            return CreateStandardControl(spec, id, hwnd_);
    }
}

// A list view in report view: a table with a header row, which screen
// readers read as one. The user selects whole rows; the columns keep the
// bands' order.
HWND ObservationWindow::CreateTable(const WidgetSpec& spec, int id) {
    RegisterListView();
    HWND table =
        CreateChild(WC_LISTVIEWW, L"",
                    WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER,
                    WS_EX_CLIENTEDGE, hwnd_, id);
    const LPARAM extended = LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES;
    SendMessageW(table, LVM_SETEXTENDEDLISTVIEWSTYLE, static_cast<WPARAM>(extended), extended);
    if (spec.background) {
        SendMessageW(table, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(ToColorRef(*spec.background)));
        SendMessageW(table, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(ToColorRef(*spec.background)));
    }
    // A list view's first column is always aligned left: the columns are
    // made after an empty one, which then goes, so that every column has the
    // design's alignment.
    LVCOLUMNW placeholder{};
    placeholder.mask = LVCF_WIDTH;
    if (SendMessageW(table, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&placeholder)) != 0) {
        throw std::runtime_error("a column of the table could not be made");
    }
    for (std::size_t i = 0; i < texts::kBandsTableHeaders.size(); ++i) {
        std::wstring header = Wide(texts::kBandsTableHeaders[i]);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_SUBITEM | LVCF_FMT;
        column.fmt = ColumnFormat();
        column.pszText = header.data();
        column.iSubItem = static_cast<int>(i);
        if (SendMessageW(table, LVM_INSERTCOLUMNW, i + 1, reinterpret_cast<LPARAM>(&column)) < 0) {
            throw std::runtime_error("a column of the table could not be made");
        }
    }
    if (!SendMessageW(table, LVM_DELETECOLUMN, 0, 0)) throw std::runtime_error("the table could not be made");
    return table;
}

// Each widget in its box of the layout for the client height.
void ObservationWindow::Layout() {
    const std::vector<regulator::TwipsBox> boxes = regulator::LayOutObservation(clientHeightTwips_);
    for (std::size_t row = 0; row < boxes.size() && row < controls_.size(); ++row) {
        const regulator::TwipsBox& box = boxes[row];
        const int left = Pixels(box.left, dpi_), top = Pixels(box.top, dpi_);
        SetWindowPos(controls_[row], nullptr, left, top, Pixels(box.left + box.width, dpi_) - left,
                     Pixels(box.top + box.height, dpi_) - top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    for (const auto& plot : plots_) plot->SetDpi(dpi_);
    FitColumns();
}

// The header and the cells in the design's table font; each column as wide
// as its header, and what width is left shared among them.
void ObservationWindow::FitColumns() {
    Font font = WindowFont(dpi_, design::view::kTablePointSize);
    const auto header = reinterpret_cast<HWND>(SendMessageW(bands_, LVM_GETHEADER, 0, 0));
    SendMessageW(bands_, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
    SendMessageW(header, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
    tableFont_ = std::move(font);  // the old one goes now that no control uses it

    constexpr std::size_t kColumns = texts::kBandsTableHeaders.size();
    std::array<int, kColumns> widths{};
    const int padding = MulDiv(kColumnPaddingPixels, static_cast<int>(dpi_), design::kStandardDpi);
    HDC dc = GetDC(header);
    HGDIOBJ previous = SelectObject(dc, tableFont_.Get());
    for (std::size_t i = 0; i < kColumns; ++i) {
        const std::wstring text = Wide(texts::kBandsTableHeaders[i]);
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        widths[i] = static_cast<int>(size.cx) + padding;
    }
    SelectObject(dc, previous);
    ReleaseDC(header, dc);

    // Room for a vertical scroll bar, which comes with more rows than show.
    RECT client{};
    GetClientRect(bands_, &client);
    int left = static_cast<int>(client.right) - GetSystemMetrics(SM_CXVSCROLL);
    for (const int width : widths) left -= width;
    for (std::size_t i = 0; i < kColumns; ++i) {
        const int share = std::max(0, left) / static_cast<int>(kColumns - i);
        left -= share;
        SendMessageW(bands_, LVM_SETCOLUMNWIDTH, i, MAKELPARAM(widths[i] + share, 0));
    }
}

// Where regulator::PlaceView puts the view and the owner on the owner's
// screen: the owner moved if it must be, the view sized to the height it
// is given and laid out in it.
void ObservationWindow::Place(HWND owner) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor);
    RECT main{};
    GetWindowRect(owner, &main);
    POINT clientTop{0, 0};
    ClientToScreen(owner, &clientTop);
    const UINT mainDpi = DpiOfWindow(owner);
    const int width = Pixels(design::kObservationWidthTwips, dpi_);
    const RECT outer = OuterRectForClient(hwnd_, width, Pixels(design::kObservationHeightTwips, dpi_), dpi_);
    const RECT least = OuterRectForClient(hwnd_, width, Pixels(regulator::LeastObservationHeightTwips(), dpi_), dpi_);
    const int frameHeight = (outer.bottom - outer.top) - Pixels(design::kObservationHeightTwips, dpi_);

    regulator::PlacementRequest request;
    request.work = ToScreenRect(monitor.rcWork);
    request.main = ToScreenRect(main);
    request.viewWidth = static_cast<int>(outer.right - outer.left);
    request.viewHeight = static_cast<int>(outer.bottom - outer.top);
    request.viewLeastHeight = static_cast<int>(least.bottom - least.top);
    request.mainControlsBottom =
        static_cast<int>(clientTop.y - main.top) + Pixels(regulator::MainControlsBottomTwips(), mainDpi);
    request.gap = Scaled(design::view::kGapPixels, dpi_);
    const regulator::ViewPlacement placement = regulator::PlaceView(request);

    if (placement.main != request.main) {
        SetWindowPos(owner, nullptr, placement.main.left, placement.main.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // The client height in whole twips that fit the height given.
    const int clientPixels = std::max(1, placement.view.height - frameHeight);
    int twips =
        std::min(design::kObservationHeightTwips, MulDiv(clientPixels, design::kTwipsPerInch, static_cast<int>(dpi_)));
    while (twips > 0 && Pixels(twips, dpi_) > clientPixels) --twips;
    if (twips != clientHeightTwips_) {
        clientHeightTwips_ = twips;
        Layout();
    }
    SizeWindow(hwnd_, {placement.view.left, placement.view.top}, dpi_,
               {design::kObservationWidthTwips, clientHeightTwips_});
}

void ObservationWindow::ApplyDpi(UINT dpi, const RECT* suggested) {
    dpi_ = dpi;
    Font font = WindowFont(dpi_);
    for (HWND control : controls_) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
    font_ = std::move(font);  // the old one goes now that no control uses it
    Layout();
    RECT window{};
    GetWindowRect(hwnd_, &window);
    SizeWindow(hwnd_, suggested != nullptr ? POINT{suggested->left, suggested->top} : POINT{window.left, window.top},
               dpi_, {design::kObservationWidthTwips, clientHeightTwips_});
    InvalidateRect(hwnd_, nullptr, TRUE);
}

HWND ObservationWindow::Control(const char* name) const {
    const auto table = design::ObservationTable();
    for (std::size_t row = 0; row < table.size() && row < controls_.size(); ++row) {
        if (std::string_view(table[row].name) == name) return controls_[row];
    }
    return nullptr;
}

// --- What the logic shows ---------------------------------------------------

void ObservationWindow::Show(HWND owner, bool shown) {
    if (shown) {
        if (hwnd_ == nullptr) Create(owner);
        Place(owner);
        ShowWindow(hwnd_, SW_SHOW);
        return;
    }
    if (hwnd_ == nullptr || !IsWindowVisible(hwnd_)) return;
    const bool active = GetActiveWindow() == hwnd_;
    ShowWindow(hwnd_, SW_HIDE);
    if (active && IsWindowVisible(owner)) SetActiveWindow(owner);
}

void ObservationWindow::Draw(const regulator::ObservationPicture& picture) {
    if (hwnd_ == nullptr) return;
    for (std::size_t i = 0; i < plots_.size() && i < picture.plots.size(); ++i) {
        if (plots_[i]->Show(picture.plots[i])) Describe(*plots_[i]);
    }
    figureTexts_.resize(figures_.size());
    for (std::size_t i = 0; i < figures_.size() && i < picture.figures.size(); ++i) {
        if (figureTexts_[i] == picture.figures[i]) continue;
        figureTexts_[i] = picture.figures[i];
        SetWindowTextW(figures_[i], Wide(figureTexts_[i]).c_str());
    }
    ShowRows(picture.rows);
}

void ObservationWindow::Describe(const PlotBox& box) {
    annotations_.SetText(box.Hwnd(), AccProperty::Description, Wide(box.Description()));
}

void ObservationWindow::ShowRows(const std::vector<std::array<std::string, 5>>& rows) {
    for (std::size_t row = 0; row < rows.size(); ++row) {
        const int index = static_cast<int>(row);
        if (row == rows_.size()) {
            std::wstring first = Wide(rows[row][0]);
            LVITEMW item{};
            item.mask = LVIF_TEXT;
            item.iItem = index;
            item.pszText = first.data();
            if (SendMessageW(bands_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)) != index) {
                throw std::runtime_error("a row of the table could not be made");
            }
            for (int column = 1; column < static_cast<int>(rows[row].size()); ++column) {
                SetCell(bands_, index, column, rows[row][static_cast<std::size_t>(column)]);
            }
            rows_.push_back(rows[row]);
            continue;
        }
        for (std::size_t column = 0; column < rows[row].size(); ++column) {
            if (rows_[row][column] == rows[row][column]) continue;
            rows_[row][column] = rows[row][column];
            SetCell(bands_, index, static_cast<int>(column), rows_[row][column]);
        }
    }
    while (rows_.size() > rows.size()) {
        rows_.pop_back();
        SendMessageW(bands_, LVM_DELETEITEM, rows_.size(), 0);
    }
}

// --- Messages ---------------------------------------------------------------

LRESULT CALLBACK ObservationWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* view = static_cast<ObservationWindow*>(AttachedObject(window, message, lParam));
    if (view == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCCREATE) view->hwnd_ = window;
    // Nothing may unwind into the system's code that called us.
    try {
        return view->HandleMessage(message, wParam, lParam);
    } catch (...) {
        try {
            view->handlers_.failed(regulator::CurrentErrorDescription());
        } catch (...) {
            PostQuitMessage(design::kFatalExitCode);
        }
        return 0;
    }
}

LRESULT ObservationWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (const std::optional<LRESULT> answer = navigation_.HandleMessage(message, wParam, lParam)) return *answer;
    switch (message) {
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED && reinterpret_cast<HWND>(lParam) == copyBands_) handlers_.copyBands();
            return 0;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            if (HBRUSH brush = colours_.Prepare(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam))) {
                return reinterpret_cast<LRESULT>(brush);
            }
            break;
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            DrawColouredButton(item, colours_.BrushOf(item.hwndItem), font_.Get(), dpi_);
            return TRUE;
        }
        case WM_ERASEBKGND: {
            RECT client;
            GetClientRect(hwnd_, &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client, background_.Get());
            return 1;
        }
        case WM_DPICHANGED:
            ApplyDpi(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_CLOSE:
            // Its close box asks the logic, which tells it to hide; the main
            // window's closing destroys it.
            handlers_.closed();
            return 0;
        case WM_NCDESTROY:
            SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
            hwnd_ = nullptr;
            controls_.clear();
            plots_.clear();
            figures_.clear();
            bands_ = copyBands_ = nullptr;
            figureTexts_.clear();
            rows_.clear();
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

}  // namespace win32_window
