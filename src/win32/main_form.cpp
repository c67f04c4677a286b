#include "main_form.h"

#include "dpi.h"
#include "context_menus.h"
#include "fatal_error.h"
#include "numeric_text.h"
#include "texts.h"
#include "win32_text.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace win32_window {
namespace {

using design::WidgetKind;
using design::WidgetSpec;
namespace texts = design::texts;

constexpr UINT_PTR kTimer1Id = 1;
// A fixed single border with the close box only: no minimise, no maximise,
// no resizing.
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kWindowExStyle = WS_EX_CONTROLPARENT;
constexpr const wchar_t* kFrameClassName = L"DulmeriFrame";
constexpr const wchar_t* kIconName = L"IDI_ICON1";  // packaging/windows/dulmeri.rc

COLORREF ToColorRef(design::Rgb colour) { return RGB(colour.r, colour.g, colour.b); }

regulator::NumberFormat LocaleNumberFormat() {
    wchar_t separator[8] = {};
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8) > 1) {
        return regulator::NumberFormat{Utf8(separator)};
    }
    return {};
}

HFONT CreateWindowFont(UINT dpi) {
    // Times New Roman, regular, with the Cyrillic character set; FF_ROMAN
    // keeps a serif face where the font itself is missing.
    return CreateFontW(FontHeight(design::kFontPointSize, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                       RUSSIAN_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_ROMAN, Wide(design::kFontFamily).c_str());
}

HMENU ControlId(int id) { return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)); }

HWND Create(const wchar_t* className, const std::wstring& text, DWORD style, DWORD exStyle, HWND parent, int id) {
    HWND control = CreateWindowExW(exStyle, className, text.c_str(), WS_CHILD | WS_CLIPSIBLINGS | style, 0, 0, 0, 0,
                                   parent, ControlId(id), GetModuleHandleW(nullptr), nullptr);
    if (control == nullptr) throw std::runtime_error("a control of the window could not be created");
    return control;
}

// Frame1's container: a plain child window that holds the option buttons
// and the group box that draws the frame. It is the window that is
// disabled, so the option buttons inside ignore the mouse but are drawn
// normally; it passes its children's notifications and colour requests on
// to the form.
LRESULT CALLBACK FrameProcedure(HWND frame, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
        case WM_DRAWITEM:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            return SendMessageW(GetParent(frame), message, wParam, lParam);
        case WM_SETFONT:
            SetWindowLongPtrW(frame, GWLP_USERDATA, static_cast<LONG_PTR>(wParam));
            return 0;
        case WM_GETFONT:
            return GetWindowLongPtrW(frame, GWLP_USERDATA);
        case WM_ERASEBKGND: {
            RECT client;
            GetClientRect(frame, &client);
            const auto brush = reinterpret_cast<HBRUSH>(SendMessageW(
                GetParent(frame), WM_CTLCOLORSTATIC, wParam, reinterpret_cast<LPARAM>(frame)));
            FillRect(reinterpret_cast<HDC>(wParam), &client, brush != nullptr ? brush : GetSysColorBrush(COLOR_BTNFACE));
            return 1;
        }
        default:
            return DefWindowProcW(frame, message, wParam, lParam);
    }
}

void RegisterClasses(WNDPROC formProcedure) {
    static const bool registered = [formProcedure] {
        const HINSTANCE instance = GetModuleHandleW(nullptr);
        WNDCLASSEXW form{};
        form.cbSize = sizeof form;
        form.lpfnWndProc = formProcedure;
        form.hInstance = instance;
        form.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        form.hIcon = static_cast<HICON>(LoadImageW(instance, kIconName, IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                                   GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR));
        form.hIconSm = static_cast<HICON>(LoadImageW(instance, kIconName, IMAGE_ICON,
                                                     GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                                     LR_DEFAULTCOLOR));
        form.lpszClassName = MainForm::kClassName;
        WNDCLASSEXW frame{};
        frame.cbSize = sizeof frame;
        frame.lpfnWndProc = FrameProcedure;
        frame.hInstance = instance;
        frame.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        frame.lpszClassName = kFrameClassName;
        return RegisterClassExW(&form) != 0 && RegisterClassExW(&frame) != 0;
    }();
    if (!registered) throw std::runtime_error("the window classes could not be registered");
}

}  // namespace

MainForm::MainForm() : regulator_(*this, LocaleNumberFormat()) {
    fatalHandler_ = [this](const std::string& description) { ShowFatalErrorAndQuit(description); };
    RegisterClasses(&MainForm::Procedure);

    // Created hidden on the primary screen, so that its DPI is known before
    // anything is measured.
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    hwnd_ = CreateWindowExW(kWindowExStyle, kClassName, Wide(texts::WindowCaption()).c_str(), kWindowStyle, work.left,
                            work.top, 1, 1, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    if (hwnd_ == nullptr) throw std::runtime_error("the window could not be created");
    try {
        dpi_ = DpiOfWindow(hwnd_);
        font_ = CreateWindowFont(dpi_);
        background_ = CreateSolidBrush(ToColorRef(design::kWindowBackground));
        timer1_ = std::make_unique<DriftFreeTimer>(hwnd_, kTimer1Id, design::kTimerIntervalMs);
        BuildControls();
        Layout();
        PlaceAndCentre();
    } catch (...) {
        // No window may outlive the object its procedure points to.
        Release();
        throw;
    }
    Form_Load();
}

MainForm::~MainForm() { Release(); }

void MainForm::Release() {
    if (timer1_) timer1_->Stop();
    annotations_.Clear();
    closing_ = true;
    if (hwnd_ != nullptr) DestroyWindow(hwnd_);
    for (const ControlColour& colour : colours_) DeleteObject(colour.brush);
    colours_.clear();
    if (background_ != nullptr) DeleteObject(background_);
    if (font_ != nullptr) DeleteObject(font_);
    background_ = nullptr;
    font_ = nullptr;
}

// --- Building the window from the design ------------------------------------

void MainForm::BuildControls() {
    const auto table = design::WidgetTable();
    for (std::size_t row = 0; row < table.size(); ++row) {
        const WidgetSpec& spec = table[row];
        const int id = kFirstControlId + static_cast<int>(row);
        HWND control = CreateControl(spec, id);
        controls_.push_back(control);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        if (spec.background) SetColour(control, *spec.background);
        if (spec.accessibleName != nullptr) annotations_.SetName(control, Wide(spec.accessibleName));
    }
    // The frame's border lies under its option buttons.
    SetWindowPos(groupBox_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    lastFocus_ = text1_[0];
}

HWND MainForm::CreateControl(const WidgetSpec& spec, int id) {
    const int index = spec.ArrayIndex();
    const std::wstring caption = spec.text != nullptr ? Wide(spec.text) : std::wstring();
    const DWORD visible = spec.Has(design::kInvisible) ? 0 : WS_VISIBLE;
    HWND parent = spec.Has(design::kInFrame) ? frame1_ : hwnd_;
    switch (spec.kind) {
        case WidgetKind::TextBox: {
            // An edit box is named by the static text just before it; its
            // visible label is elsewhere in the table's order, so a hidden
            // one carrying its name goes first.
            if (spec.accessibleName != nullptr) {
                HWND name = Create(L"STATIC", Wide(spec.accessibleName), SS_NOPREFIX, 0, parent, -1);
                SendMessageW(name, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
                nameLabels_.emplace_back(name, &spec);
            }
            DWORD style = visible | WS_TABSTOP;
            std::wstring text = caption;
            if (spec.Has(design::kMultiLine)) {
                style |= ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL;
                text = Wide(index == 0 ? texts::Explanation() : texts::Aphorism());
            } else {
                style |= ES_AUTOHSCROLL;
            }
            if (spec.Has(design::kLocked)) style |= ES_READONLY;
            if (spec.Has(design::kCentred)) style |= ES_CENTER;
            HWND box = Create(L"EDIT", text, style, WS_EX_CLIENTEDGE, parent, id);
            // Limits what the user types or pastes; the program's own text
            // (13.2 after validation) is written whole.
            if (spec.Has(design::kTwoCharacters)) SendMessageW(box, EM_SETLIMITTEXT, 2, 0);
            // A Bulgarian context menu; Tab into the long explanation keeps
            // the reader's place instead of selecting all of it.
            CustomiseEditBox(box, spec.Has(design::kMultiLine) ? TabEntry::KeepPlace : TabEntry::SelectAll);
            if (spec.Has(design::kMultiLine)) {
                text1_.at(static_cast<std::size_t>(index)) = box;
            } else {
                text2_.at(static_cast<std::size_t>(index)) = box;
            }
            return box;
        }
        case WidgetKind::Label: {
            const DWORD align = spec.Has(design::kCentred) ? SS_CENTER : SS_LEFT;
            HWND label = Create(L"STATIC", caption, visible | SS_NOPREFIX | align, 0, parent, id);
            label1_.at(static_cast<std::size_t>(index)) = label;
            return label;
        }
        case WidgetKind::PictureBox: {
            HWND gauge = picture1_.Create(parent, id, RECT{}, *spec.background, Wide(spec.accessibleName), dpi_);
            if (gauge == nullptr) throw std::runtime_error("the gauge could not be created");
            return gauge;
        }
        case WidgetKind::VScrollBar: {
            // The window text is the name where no annotation service is.
            vscroll1_ = Create(L"SCROLLBAR", Wide(spec.accessibleName), visible | WS_TABSTOP | SBS_VERT, 0, parent, id);
            SetScrollRange(vscroll1_, SB_CTL, design::kScaleCreatedMin, design::kScaleCreatedMax, FALSE);
            SetScrollPos(vscroll1_, SB_CTL, design::kScaleCreatedValue, FALSE);
            CustomiseScrollBar(vscroll1_);  // a Bulgarian context menu
            return vscroll1_;
        }
        case WidgetKind::PushButton: {
            // Owner-drawn, so the button shows its colour exactly.
            HWND button = Create(L"BUTTON", caption, visible | WS_TABSTOP | BS_OWNERDRAW, 0, parent, id);
            command1_.at(static_cast<std::size_t>(index)) = button;
            return button;
        }
        case WidgetKind::Frame: {
            const DWORD disabled = spec.Has(design::kDisabled) ? WS_DISABLED : 0;
            frame1_ = Create(kFrameClassName, caption, visible | disabled, 0, parent, id);
            groupBox_ = Create(L"BUTTON", caption, WS_VISIBLE | BS_GROUPBOX, 0, frame1_, -1);
            SendMessageW(groupBox_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
            return frame1_;
        }
        case WidgetKind::OptionButton: {
            // Automatic, as option buttons are: only the disabled frame
            // keeps a click from selecting one.
            const DWORD group = index == 0 ? WS_GROUP : 0;
            HWND option = Create(L"BUTTON", caption, visible | group | BS_AUTORADIOBUTTON, 0, parent, id);
            option1_.at(static_cast<std::size_t>(index)) = option;
            return option;
        }
    }
    throw std::logic_error("unknown widget kind");
}

void MainForm::SetColour(HWND control, design::Rgb colour) {
    colours_.push_back({control, ToColorRef(colour), CreateSolidBrush(ToColorRef(colour))});
    if (control == frame1_) colours_.push_back({groupBox_, ToColorRef(colour), CreateSolidBrush(ToColorRef(colour))});
}

void MainForm::Layout() {
    const auto table = design::WidgetTable();
    for (std::size_t row = 0; row < table.size(); ++row) {
        const RECT r = WidgetRect(table[row], dpi_);
        SetWindowPos(controls_[row], nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    for (const auto& [label, spec] : nameLabels_) {
        const RECT r = WidgetRect(*spec, dpi_);
        SetWindowPos(label, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RECT frame{};
    GetClientRect(frame1_, &frame);
    SetWindowPos(groupBox_, nullptr, 0, 0, frame.right, frame.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
    picture1_.SetDpi(dpi_);
}

SIZE MainForm::SizeForClient() const {
    const int clientWidth = TwipsToPixels(design::kClientWidthTwips, dpi_);
    const int clientHeight = TwipsToPixels(design::kClientHeightTwips, dpi_);
    const RECT outer = OuterRectForClient(clientWidth, clientHeight, kWindowStyle, kWindowExStyle, dpi_);
    return {outer.right - outer.left, outer.bottom - outer.top};
}

void MainForm::MoveAndSize(POINT origin) {
    SIZE size = SizeForClient();
    SetWindowPos(hwnd_, nullptr, origin.x, origin.y, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    // Where the border and caption the system really draws differ from what
    // it computed for this DPI, the window is corrected once, so the client
    // area always has the design's size.
    RECT client{};
    GetClientRect(hwnd_, &client);
    const LONG dx = TwipsToPixels(design::kClientWidthTwips, dpi_) - client.right;
    const LONG dy = TwipsToPixels(design::kClientHeightTwips, dpi_) - client.bottom;
    if (dx != 0 || dy != 0) {
        SetWindowPos(hwnd_, nullptr, 0, 0, size.cx + dx, size.cy + dy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void MainForm::PlaceAndCentre() {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& work = monitor.rcWork;
    MoveAndSize({0, 0});
    RECT window{};
    GetWindowRect(hwnd_, &window);
    const LONG width = window.right - window.left, height = window.bottom - window.top;
    SetWindowPos(hwnd_, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainForm::ApplyDpi(UINT dpi, const RECT* suggested) {
    dpi_ = dpi;
    HFONT previous = font_;
    font_ = CreateWindowFont(dpi_);
    for (HWND control : controls_) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    for (const auto& [label, spec] : nameLabels_) SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    SendMessageW(groupBox_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    DeleteObject(previous);
    Layout();
    RECT window{};
    GetWindowRect(hwnd_, &window);
    MoveAndSize(suggested != nullptr ? POINT{suggested->left, suggested->top} : POINT{window.left, window.top});
    InvalidateRect(hwnd_, nullptr, TRUE);
}

HWND MainForm::Control(const char* name) const {
    const auto table = design::WidgetTable();
    for (std::size_t row = 0; row < table.size(); ++row) {
        if (std::string_view(table[row].name) == name) return controls_[row];
    }
    return nullptr;
}

void MainForm::Show() {
    ShowWindow(hwnd_, SW_SHOW);
    UpdateWindow(hwnd_);
    SetFocus(text1_[0]);
}

bool MainForm::PreTranslateMessage(MSG& message) { return hwnd_ != nullptr && IsDialogMessageW(hwnd_, &message); }

int MainForm::RunMessageLoop() {
    MSG message;
    for (;;) {
        const BOOL result = GetMessageW(&message, nullptr, 0, 0);
        if (result == 0) return static_cast<int>(message.wParam);
        if (result == -1) return kFatalExitCode;
        if (!PreTranslateMessage(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

// --- Messages ---------------------------------------------------------------

LRESULT CALLBACK MainForm::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* created = static_cast<MainForm*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        created->hwnd_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    }
    auto* form = reinterpret_cast<MainForm*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (form == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    // Nothing may unwind into the system's code that called us.
    try {
        return form->HandleMessage(message, wParam, lParam);
    } catch (...) {
        try {
            if (!form->failed_) form->Fail(texts::UnexpectedErrorDescription({}));
        } catch (...) {
            PostQuitMessage(kFatalExitCode);
        }
        return 0;
    }
}

LRESULT MainForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED) {
                for (std::size_t i = 0; i < command1_.size(); ++i) {
                    if (reinterpret_cast<HWND>(lParam) == command1_[i]) Command1_Click(static_cast<int>(i));
                }
            }
            return 0;
        case DM_GETDEFID: {
            // Enter presses the focused button, as Space does.
            HWND focus = GetFocus();
            for (HWND button : command1_) {
                if (focus == button) return MAKELRESULT(GetDlgCtrlID(button), DC_HASDEFID);
            }
            return 0;
        }
        case WM_NEXTDLGCTL: {
            // Edit boxes ask for the next control this way, as in a dialog.
            HWND next = LOWORD(lParam) != 0 ? reinterpret_cast<HWND>(wParam)
                                            : GetNextDlgTabItem(hwnd_, GetFocus(), wParam != 0);
            if (next != nullptr) {
                SetFocus(next);
                if (SendMessageW(next, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageW(next, EM_SETSEL, 0, -1);
            }
            return 0;
        }
        case WM_VSCROLL:
            if (reinterpret_cast<HWND>(lParam) == vscroll1_) {
                OnScroll(LOWORD(wParam), static_cast<std::int16_t>(HIWORD(wParam)));
            }
            return 0;
        case WM_TIMER:
            if (wParam == timer1_->Id()) {
                if (timer1_->OnTimerMessage()) Timer1_Timer();
                return 0;
            }
            break;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            return ControlColourMessage(message, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_DRAWITEM:
            DrawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        case WM_ERASEBKGND: {
            RECT client;
            GetClientRect(hwnd_, &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client, background_);
            return 1;
        }
        case WM_DPICHANGED:
            ApplyDpi(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_ACTIVATE:
            // Like a dialog, the window gives the focus back to the control
            // that had it when it was last active.
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus != nullptr && IsChild(hwnd_, focus)) lastFocus_ = focus;
            }
            break;
        case WM_SETFOCUS:
            if (lastFocus_ != nullptr && IsWindow(lastFocus_)) SetFocus(lastFocus_);
            return 0;
        case WM_CLOSE:
            DestroyWindow(hwnd_);
            return 0;
        case WM_DESTROY:
            // Closing the window ends the program; nothing is saved.
            if (timer1_) timer1_->Stop();
            if (!closing_) PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY:
            SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
            hwnd_ = nullptr;
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT MainForm::ControlColourMessage(UINT message, HDC dc, HWND control) {
    for (const ControlColour& colour : colours_) {
        if (colour.control == control) {
            SetBkColor(dc, colour.colour);
            SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
            return reinterpret_cast<LRESULT>(colour.brush);
        }
    }
    // Locked boxes can be read and selected, not edited; they keep the
    // white of an ordinary text box instead of the grey of a read-only one.
    if (std::find(text1_.begin(), text1_.end(), control) != text1_.end() ||
        std::find(text2_.begin(), text2_.end(), control) != text2_.end()) {
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    }
    return DefWindowProcW(hwnd_, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
}

void MainForm::DrawButton(const DRAWITEMSTRUCT& item) {
    HBRUSH brush = GetSysColorBrush(COLOR_BTNFACE);
    for (const ControlColour& colour : colours_) {
        if (colour.control == item.hwndItem) brush = colour.brush;
    }
    RECT rect = item.rcItem;
    FillRect(item.hDC, &rect, brush);
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    DrawEdge(item.hDC, &rect, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    const std::wstring caption = WindowText(item.hwndItem);
    RECT text = item.rcItem;
    if (pressed) OffsetRect(&text, 1, 1);
    HGDIOBJ previous = SelectObject(item.hDC, font_);
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor(COLOR_BTNTEXT));
    DrawTextW(item.hDC, caption.c_str(), static_cast<int>(caption.size()), &text,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(item.hDC, previous);
    if (item.itemState & ODS_FOCUS) {
        RECT focus = item.rcItem;
        const int inset = MulDiv(4, static_cast<int>(dpi_), kStandardDpi);
        InflateRect(&focus, -inset, -inset);
        DrawFocusRect(item.hDC, &focus);
    }
}

void MainForm::OnScroll(WORD request, std::int16_t thumbPosition) {
    Guarded([&] {
        const int value = VScroll1Value();
        int target = value;
        switch (request) {
            case SB_LINEUP:
            case SB_PAGEUP:  // arrow and track clicks both move by one
                target = value - 1;
                break;
            case SB_LINEDOWN:
            case SB_PAGEDOWN:
                target = value + 1;
                break;
            case SB_TOP:
                target = VScroll1Min();
                break;
            case SB_BOTTOM:
                target = VScroll1Max();
                break;
            case SB_THUMBPOSITION:
                // The thumb was released: its position as reported. One
                // outside Min..Max is the scroll bar's fatal error.
                SetVScroll1Value(thumbPosition);
                return;
            default:
                // SB_THUMBTRACK: a drag counts once, when it ends.
                return;
        }
        SetVScroll1Value(static_cast<std::int16_t>(std::clamp(target, int{VScroll1Min()}, int{VScroll1Max()})));
    });
}

// --- Handlers ---------------------------------------------------------------

template <typename Handler>
void MainForm::Guarded(Handler&& handler) {
    texts::RunGuarded(failed_, handler, [this](const std::string& description) { Fail(description); });
}

void MainForm::Fail(const std::string& description) {
    failed_ = true;
    timer1_->Stop();
    fatalHandler_(description);
}

void MainForm::ShowFatalErrorAndQuit(const std::string& description) {
    const bool shown = hwnd_ != nullptr && IsWindowVisible(hwnd_);
    MessageBoxW(shown ? hwnd_ : nullptr, Wide(texts::FatalErrorMessage(description)).c_str(),
                Wide(texts::WindowCaption()).c_str(), MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
    if (hwnd_ != nullptr) ShowWindow(hwnd_, SW_HIDE);
    PostQuitMessage(kFatalExitCode);
}

void MainForm::Form_Load() { Guarded([this] { regulator_.Form_Load(); }); }
void MainForm::Command1_Click(int index) { Guarded([this, index] { regulator_.Command1_Click(index); }); }
void MainForm::Timer1_Timer() { Guarded([this] { regulator_.Timer1_Timer(); }); }
void MainForm::VScroll1_Change() { Guarded([this] { regulator_.VScroll1_Change(); }); }

// --- Widget operations ------------------------------------------------------

std::string MainForm::Text2(int index) const { return Utf8(WindowText(text2_.at(static_cast<std::size_t>(index)))); }

void MainForm::SetText2(int index, const std::string& text) {
    HWND box = text2_.at(static_cast<std::size_t>(index));
    const std::wstring wide = Wide(text);
    // Writing the text the box already holds leaves the user's caret and
    // selection alone.
    if (WindowText(box) == wide) return;
    SetWindowTextW(box, wide.c_str());
}

std::int16_t MainForm::VScroll1Max() const {
    int min = 0, max = 0;
    GetScrollRange(vscroll1_, SB_CTL, &min, &max);
    return static_cast<std::int16_t>(max);
}

std::int16_t MainForm::VScroll1Min() const {
    int min = 0, max = 0;
    GetScrollRange(vscroll1_, SB_CTL, &min, &max);
    return static_cast<std::int16_t>(min);
}

std::int16_t MainForm::VScroll1Value() const { return static_cast<std::int16_t>(GetScrollPos(vscroll1_, SB_CTL)); }

// The change event runs synchronously and directly, so a fatal error inside
// it reaches the guard of the handler that moved the position.
template <typename Change>
void MainForm::ChangeScale(Change&& change) {
    const std::int16_t before = VScroll1Value();
    change();
    if (VScroll1Value() != before) regulator_.VScroll1_Change();
}

void MainForm::SetVScroll1Max(std::int16_t max) {
    ChangeScale([&] { SetScrollRange(vscroll1_, SB_CTL, VScroll1Min(), max, TRUE); });
}

void MainForm::SetVScroll1Min(std::int16_t min) {
    ChangeScale([&] { SetScrollRange(vscroll1_, SB_CTL, min, VScroll1Max(), TRUE); });
}

void MainForm::SetVScroll1Value(std::int16_t value) {
    regulator::CheckScaleValue(VScroll1Min(), VScroll1Max(), value);
    ChangeScale([&] { SetScrollPos(vscroll1_, SB_CTL, value, TRUE); });
}

void MainForm::SelectOption1(int index) {
    for (std::size_t i = 0; i < option1_.size(); ++i) {
        const WPARAM state = static_cast<int>(i) == index ? BST_CHECKED : BST_UNCHECKED;
        if (SendMessageW(option1_[i], BM_GETCHECK, 0, 0) != static_cast<LRESULT>(state)) {
            SendMessageW(option1_[i], BM_SETCHECK, state, 0);
        }
    }
    // The gauge, which Tab reaches, carries the state in its description.
    picture1_.SetAccessibleDescription(Wide(texts::kSystemState) + L' ' +
                                       WindowText(option1_.at(static_cast<std::size_t>(index))));
}

void MainForm::SetTimer1Enabled(bool enabled) {
    if (enabled) {
        timer1_->Start();  // enabling a running timer keeps its rhythm
    } else {
        timer1_->Stop();
    }
}

void MainForm::DrawGauge() {
    const double width = std::floor(picture1_.WidthTwips());
    const double height = picture1_.HeightTwips();
    const double level = regulator_.GaugeRatio() * height;
    picture1_.Cls();
    picture1_.FillBox({0, height}, {width, level}, design::kGaugeRed);  // the temperature's share
    picture1_.FillBox({0, level}, {width, 0}, design::kGaugeBlue);
    const std::int16_t temperature = regulator::GuardedSubtract(VScroll1Max(), VScroll1Value());
    const std::wstring value = Wide(regulator::IntegerToText(temperature));
    SetWindowTextW(label1_[1], (Wide(texts::kReadoutPrefix) + value).c_str());
    picture1_.SetAccessibleValue(value);
}

}  // namespace win32_window
