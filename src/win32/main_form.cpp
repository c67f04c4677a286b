#include "main_form.h"

#include "clipboard.h"
#include "control_factory.h"
#include "dpi.h"
#include "handler_guard.h"
#include "numeric_text.h"
#include "texts.h"
#include "win32_text.h"

#include <oleacc.h>

#include <algorithm>
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
// Label1(1), which shows the temperature.
constexpr std::size_t kReadoutLabel = 1;

regulator::NumberFormat LocaleNumberFormat() {
    wchar_t separator[8] = {};
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8) > 1) {
        return regulator::NumberFormat{Utf8(separator)};
    }
    return {};
}

template <std::size_t N>
int IndexOf(const std::array<HWND, N>& controls, HWND control) {
    const auto found = std::find(controls.begin(), controls.end(), control);
    return found != controls.end() ? static_cast<int>(found - controls.begin()) : -1;
}

}  // namespace

MainForm::MainForm() : observation_(annotations_, ObservationHandlers()), logic_(*this, LocaleNumberFormat()) {
    fatalHandler_ = [this](const std::string& description) { ShowFatalErrorAndQuit(description); };
    RegisterWindowClass(kClassName, &MainForm::Procedure, kProgramIcon);

    // Created hidden on the primary screen, so that its DPI is known before
    // anything is measured.
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    CreateWindowExW(kWindowExStyle, kClassName, Wide(texts::WindowCaption()).c_str(), kWindowStyle, work.left, work.top,
                    1, 1, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    if (hwnd_ == nullptr) throw std::runtime_error("the window could not be created");
    try {
        dpi_ = DpiOfWindow(hwnd_);
        font_ = WindowFont(dpi_);
        background_ = SolidBrush(design::kWindowBackground);
        timer1_ = std::make_unique<Timer>(hwnd_, kTimer1Id, design::kTimerIntervalMs);
        BuildControls();
        AddObservationMenuItem();
        announcer_.Create(hwnd_, annotations_);
        navigation_.Attach(hwnd_, command1_, text1_[0]);
        Layout();
        SizeAndCentre(hwnd_, dpi_);
    } catch (...) {
        // No window may outlive the object its procedure points to.
        Destroy();
        throw;
    }
    logic_.Form_Load();
    // What screen readers find on the scroll bar before anything is
    // reported: the temperature at the start.
    logic_.Guarded([this] { vscroll1_.SetValueForReaders(logic_.CurrentTemperature()); });
}

MainForm::~MainForm() { Destroy(); }

// The view's events, to the logic.
ObservationWindow::Handlers MainForm::ObservationHandlers() {
    ObservationWindow::Handlers handlers;
    handlers.closed = [this] { logic_.Observation_Closed(); };
    handlers.copyBands = [this] { logic_.CopyBands_Click(); };
    handlers.failed = [this](const std::string& description) { logic_.Fail(description); };
    return handlers;
}

void MainForm::Destroy() {
    if (timer1_) timer1_->Stop();
    annotations_.Clear();
    closing_ = true;
    if (hwnd_ != nullptr) DestroyWindow(hwnd_);
}

// --- Building the window from the design ------------------------------------

void MainForm::BuildControls() {
    const auto table = design::WidgetTable();
    for (std::size_t row = 0; row < table.size(); ++row) {
        const WidgetSpec& spec = table[row];
        HWND control = CreateControl(spec, kFirstControlId + static_cast<int>(row));
        Keep(spec, control);
        controls_.push_back(control);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
        if (spec.background) SetColour(control, *spec.background);
        if (spec.accessibleName != nullptr) {
            annotations_.SetText(control, AccProperty::Name, Wide(spec.accessibleName));
        }
    }
}

HWND MainForm::CreateControl(const WidgetSpec& spec, int id) {
    HWND parent = spec.Has(design::kInFrame) ? frame1_.Hwnd() : hwnd_;
    switch (spec.kind) {
        case WidgetKind::PictureBox: {
            HWND gauge = picture1_.Create(parent, id, spec.background.value_or(design::kWindowBackground),
                                          Wide(spec.accessibleName != nullptr ? spec.accessibleName : ""), dpi_);
            // A progress bar whose value is the temperature.
            annotations_.SetRole(gauge, ROLE_SYSTEM_PROGRESSBAR);
            return gauge;
        }
        case WidgetKind::VScrollBar:
            return vscroll1_.Create(parent, id, annotations_);
        case WidgetKind::Frame:
            return frame1_.Create(parent, id, Wide(spec.text != nullptr ? spec.text : ""), spec.Has(design::kDisabled));
        default:
            return CreateStandardControl(spec, id, parent);
    }
}

// The control in its place of the widget arrays.
void MainForm::Keep(const WidgetSpec& spec, HWND control) {
    const auto index = static_cast<std::size_t>(spec.ArrayIndex());
    switch (spec.kind) {
        case WidgetKind::TextBox:
            (spec.Has(design::kMultiLine) ? text1_.at(index) : text2_.at(index)) = control;
            break;
        case WidgetKind::Label:
            label1_.at(index) = control;
            break;
        case WidgetKind::PushButton:
            command1_.at(index) = control;
            break;
        case WidgetKind::OptionButton:
            option1_.at(index) = control;
            break;
        case WidgetKind::PictureBox:
        case WidgetKind::VScrollBar:
        case WidgetKind::Frame:
            break;  // held by their own objects
        case WidgetKind::Table:
            throw std::logic_error("the window has no table");
    }
}

void MainForm::SetColour(HWND control, design::Rgb colour) {
    colours_.Set(control, colour);
    if (control == frame1_.Hwnd()) colours_.Set(frame1_.GroupBox(), colour);
}

// "Наблюдение\tF2" at the end of the system menu, checked while the view
// is open: ticked and unticked only where the logic shows or hides the view
// (ShowObservationView), also after its close box.
void MainForm::AddObservationMenuItem() {
    HMENU menu = GetSystemMenu(hwnd_, FALSE);
    if (menu == nullptr || !AppendMenuW(menu, MF_SEPARATOR, 0, nullptr) ||
        !AppendMenuW(menu, MF_STRING, kObservationCommand, Wide(texts::kObservationMenuItem).c_str())) {
        throw std::runtime_error("the window's menu could not be extended");
    }
}

void MainForm::CheckObservationMenuItem(bool checked) {
    CheckMenuItem(GetSystemMenu(hwnd_, FALSE), kObservationCommand,
                  MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void MainForm::Layout() {
    PlaceControls(design::WidgetTable(), controls_, dpi_);
    picture1_.SetDpi(dpi_);
}

void MainForm::ApplyDpi(UINT dpi, const RECT* suggested) {
    dpi_ = dpi;
    Font font = WindowFont(dpi_);
    for (HWND control : controls_) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
    font_ = std::move(font);  // the old one goes now that no control uses it
    Layout();
    RECT window{};
    GetWindowRect(hwnd_, &window);
    SizeWindow(hwnd_, suggested != nullptr ? POINT{suggested->left, suggested->top} : POINT{window.left, window.top},
               dpi_);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

HWND MainForm::Control(const char* name) const {
    const auto table = design::WidgetTable();
    for (std::size_t row = 0; row < table.size(); ++row) {
        if (std::string_view(table[row].name) == name) return controls_.at(row);
    }
    return nullptr;
}

void MainForm::Show() {
    ShowWindow(hwnd_, SW_SHOW);
    UpdateWindow(hwnd_);
    SetFocus(text1_[0]);
}

bool MainForm::PreTranslateMessage(MSG& message) {
    if (message.message == WM_KEYDOWN && message.wParam == VK_F2 && message.hwnd != nullptr) {
        const HWND window = GetAncestor(message.hwnd, GA_ROOT);
        if (window == hwnd_ || (window != nullptr && window == observation_.Hwnd())) {
            // Held down, the key repeats: it opens or closes the view once.
            constexpr LPARAM kWasDown = LPARAM{1} << 30;
            if ((message.lParam & kWasDown) == 0) logic_.Observation_Toggle();
            return true;
        }
    }
    return navigation_.PreTranslateMessage(message) || observation_.PreTranslateMessage(message);
}

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
    auto* form = static_cast<MainForm*>(AttachedObject(window, message, lParam));
    if (form == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCCREATE) form->hwnd_ = window;
    // Nothing may unwind into the system's code that called us.
    try {
        return form->HandleMessage(message, wParam, lParam);
    } catch (...) {
        try {
            form->logic_.Fail(regulator::CurrentErrorDescription());
        } catch (...) {
            PostQuitMessage(kFatalExitCode);
        }
        return 0;
    }
}

LRESULT MainForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (const std::optional<LRESULT> answer = navigation_.HandleMessage(message, wParam, lParam)) return *answer;
    switch (message) {
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED) {
                const int index = IndexOf(command1_, reinterpret_cast<HWND>(lParam));
                if (index >= 0) logic_.Command1_Click(index);
            }
            return 0;
        case WM_VSCROLL:
            if (reinterpret_cast<HWND>(lParam) == vscroll1_.Hwnd()) {
                logic_.Guarded([&] {
                    const auto value = ScrollBar::UserValue(LOWORD(wParam), HIWORD(wParam), logic_.Scale());
                    if (value) logic_.VScroll1_UserChange(*value);
                });
            }
            return 0;
        case WM_TIMER:
            if (timer1_ && wParam == timer1_->Id()) {
                if (timer1_->OnTimerMessage()) logic_.Timer1_Timer();
                return 0;
            }
            break;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            return ControlColourMessage(message, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            DrawColouredButton(item, colours_.BrushOf(item.hwndItem), font_.Get(), dpi_);
            return TRUE;
        }
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == kObservationCommand) {
                logic_.Observation_Toggle();
                return 0;
            }
            break;
        case WM_ERASEBKGND: {
            RECT client;
            GetClientRect(hwnd_, &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client, background_.Get());
            return 1;
        }
        case WM_DPICHANGED:
            logic_.Guarded([&] { ApplyDpi(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam)); });
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
    if (HBRUSH brush = colours_.Prepare(control, dc)) return reinterpret_cast<LRESULT>(brush);
    // Locked boxes can be read and selected, not edited; they keep the
    // white of an ordinary text box instead of the grey of a read-only one.
    if (IndexOf(text1_, control) >= 0 || IndexOf(text2_, control) >= 0) {
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    }
    return DefWindowProcW(hwnd_, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
}

void MainForm::ShowFatalErrorAndQuit(const std::string& description) {
    const bool shown = hwnd_ != nullptr && IsWindowVisible(hwnd_);
    MessageBoxW(shown ? hwnd_ : nullptr, Wide(regulator::FatalErrorMessage(description)).c_str(),
                Wide(texts::WindowCaption()).c_str(), MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
    if (hwnd_ != nullptr) {
        observation_.Show(hwnd_, false);
        ShowWindow(hwnd_, SW_HIDE);
    }
    PostQuitMessage(kFatalExitCode);
}

// --- The view ---------------------------------------------------------------

std::string MainForm::Text2(int index) const { return Utf8(WindowText(text2_.at(static_cast<std::size_t>(index)))); }

void MainForm::SetText2(int index, const std::string& text) {
    HWND box = text2_.at(static_cast<std::size_t>(index));
    const std::wstring wide = Wide(text);
    // Writing the text the box already holds leaves the user's caret and
    // selection alone.
    if (WindowText(box) != wide) SetWindowTextW(box, wide.c_str());
}

void MainForm::ShowVScroll1(const regulator::ScaleState& scale) { vscroll1_.Show(scale); }

void MainForm::ReportVScroll1Value(std::int16_t temperature) { vscroll1_.ReportValue(temperature); }

void MainForm::ShowOption1(int index) {
    for (std::size_t i = 0; i < option1_.size(); ++i) {
        const WPARAM state = static_cast<int>(i) == index ? BST_CHECKED : BST_UNCHECKED;
        if (SendMessageW(option1_[i], BM_GETCHECK, 0, 0) != static_cast<LRESULT>(state)) {
            SendMessageW(option1_[i], BM_SETCHECK, state, 0);
        }
    }
}

void MainForm::SetTimer1Enabled(bool enabled) {
    if (!timer1_) return;
    if (enabled) {
        timer1_->Start();  // enabling a running timer keeps its rhythm
    } else {
        timer1_->Stop();
    }
}

void MainForm::ShowReadout(const std::string& caption, std::int16_t temperature) {
    SetWindowTextW(label1_.at(kReadoutLabel), Wide(caption).c_str());
    annotations_.SetText(picture1_.Hwnd(), AccProperty::Value, Wide(regulator::IntegerToText(temperature)));
}

void MainForm::DescribeGauge(const std::string& description) {
    annotations_.SetText(picture1_.Hwnd(), AccProperty::Description, Wide(description));
}

void MainForm::Announce(regulator::Message message, const std::string& text) {
    announcer_.Announce(message, Wide(text));
}

void MainForm::ShowObservationView(bool shown) {
    observation_.Show(hwnd_, shown);
    CheckObservationMenuItem(shown);
}

void MainForm::PutOnClipboard(const std::string& text) {
    // A clipboard another program keeps busy loses nothing but this copy.
    if (!PutTextOnClipboard(hwnd_, text)) MessageBeep(MB_ICONWARNING);
}

}  // namespace win32_window
