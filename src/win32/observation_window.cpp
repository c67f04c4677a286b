#include "observation_window.h"

#include "dpi.h"
#include "handler_guard.h"
#include "texts.h"
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
constexpr ClientTwips kClient{design::kObservationWidthTwips, design::kObservationHeightTwips};
// Control identifiers: kFirstControlId + the widget's row in the view's table.
constexpr int kFirstControlId = 100;
// Around a column header's text, at 96 DPI.
constexpr int kColumnPaddingPixels = 12;

bool Named(const WidgetSpec& spec, std::string_view name) { return spec.name == name; }

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
        navigation_.Attach(hwnd_, {&copyBands_, 1}, trace_.Hwnd());
        Layout();
        SizeWindow(hwnd_, {beside.right, beside.top}, dpi_, kClient);
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
            PlotBox& box = Named(spec, "Trace") ? trace_ : loop_;
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
            if (Named(spec, "Figure_0") || Named(spec, "Figure_1") || Named(spec, "Figure_2")) {
                figures_.at(static_cast<std::size_t>(spec.ArrayIndex())) = label;
            }
            return label;
        }
        case WidgetKind::PushButton: {
            HWND button = CreateStandardControl(spec, id, hwnd_);
            if (spec.background) colours_.Set(button, *spec.background);
            if (Named(spec, "CopyBands")) copyBands_ = button;
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
    for (std::size_t i = 0; i < texts::kBandsTableHeaders.size(); ++i) {
        std::wstring header = Wide(texts::kBandsTableHeaders[i]);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_SUBITEM | LVCF_FMT;
        column.fmt = LVCFMT_LEFT;
        column.pszText = header.data();
        column.iSubItem = static_cast<int>(i);
        if (SendMessageW(table, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column)) < 0) {
            throw std::runtime_error("a column of the table could not be made");
        }
    }
    return table;
}

void ObservationWindow::Layout() {
    PlaceControls(design::ObservationTable(), controls_, dpi_);
    trace_.SetDpi(dpi_);
    loop_.SetDpi(dpi_);
    FitColumns();
}

// The header in the smaller font, so that the five headers fit side by
// side; each column as wide as its header, and what width is left shared
// among them.
void ObservationWindow::FitColumns() {
    headerFont_ = WindowFont(dpi_, kSmallFontPointSize);
    const auto header = reinterpret_cast<HWND>(SendMessageW(bands_, LVM_GETHEADER, 0, 0));
    SendMessageW(header, WM_SETFONT, reinterpret_cast<WPARAM>(headerFont_.Get()), TRUE);

    constexpr std::size_t kColumns = texts::kBandsTableHeaders.size();
    std::array<int, kColumns> widths{};
    const int padding = MulDiv(kColumnPaddingPixels, static_cast<int>(dpi_), design::kStandardDpi);
    HDC dc = GetDC(header);
    HGDIOBJ previous = SelectObject(dc, headerFont_.Get());
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

// To the right of the owner where its screen has room; else to its left;
// else as far right as the screen goes. The tops level where the screen
// allows.
void ObservationWindow::PlaceBeside(HWND owner) {
    RECT beside{}, own{};
    GetWindowRect(owner, &beside);
    GetWindowRect(hwnd_, &own);
    const LONG width = own.right - own.left, height = own.bottom - own.top;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    LONG left = beside.right;
    if (left + width > work.right) left = beside.left - width >= work.left ? beside.left - width : work.right - width;
    left = std::max(left, work.left);
    const LONG top = std::max(work.top, std::min(beside.top, work.bottom - height));
    SetWindowPos(hwnd_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
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
               dpi_, kClient);
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
        PlaceBeside(owner);
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
    if (trace_.Show(picture.trace)) Describe(trace_);
    if (loop_.Show(picture.loop)) Describe(loop_);
    for (std::size_t i = 0; i < figures_.size(); ++i) {
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
            // Its close box hides it; the main window's closing destroys it.
            Show(GetWindow(hwnd_, GW_OWNER), false);
            handlers_.closed();
            return 0;
        case WM_NCDESTROY:
            SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
            hwnd_ = nullptr;
            controls_.clear();
            figures_ = {};
            bands_ = copyBands_ = nullptr;
            figureTexts_ = {};
            rows_.clear();
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

}  // namespace win32_window
