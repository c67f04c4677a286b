#include "control_factory.h"

#include "context_menus.h"
#include "texts.h"
#include "win32_text.h"

#include <stdexcept>

namespace win32_window {
namespace {

namespace texts = design::texts;
using design::WidgetKind;
using design::WidgetSpec;

// What the user may type into a box marked kTwoCharacters.
constexpr WPARAM kTwoCharacters = 2;
// The focus rectangle of a coloured button lies this far inside its edge.
constexpr int kFocusInsetPixels = 4;

HICON LoadIconSized(HINSTANCE instance, const wchar_t* name, int widthMetric, int heightMetric) {
    return static_cast<HICON>(LoadImageW(instance, name, IMAGE_ICON, GetSystemMetrics(widthMetric),
                                         GetSystemMetrics(heightMetric), LR_DEFAULTCOLOR));
}

HWND CreateTextBox(const WidgetSpec& spec, int id, HWND parent, DWORD visible) {
    DWORD style = visible | WS_TABSTOP;
    std::wstring text = spec.text != nullptr ? Wide(spec.text) : std::wstring();
    if (spec.Has(design::kMultiLine)) {
        style |= ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL;
        text = Wide(spec.ArrayIndex() == 0 ? texts::Explanation() : texts::Aphorism());
    } else {
        style |= ES_AUTOHSCROLL;
    }
    if (spec.Has(design::kLocked)) style |= ES_READONLY;
    if (spec.Has(design::kCentred)) style |= ES_CENTER;
    HWND box = CreateChild(L"EDIT", text, style, WS_EX_CLIENTEDGE, parent, id);
    // Limits what the user types or pastes; the program's own text (13.2
    // after validation) is written whole.
    if (spec.Has(design::kTwoCharacters)) SendMessageW(box, EM_SETLIMITTEXT, kTwoCharacters, 0);
    // Tab into the long explanation keeps the reader's place instead of
    // selecting all of it.
    CustomiseEditBox(box, spec.Has(design::kMultiLine) ? TabEntry::KeepPlace : TabEntry::SelectAll);
    return box;
}

}  // namespace

void RegisterWindowClass(const wchar_t* className, WNDPROC procedure, const wchar_t* iconName) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    if (GetClassInfoExW(instance, className, &windowClass)) return;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    if (iconName != nullptr) {
        windowClass.hIcon = LoadIconSized(instance, iconName, SM_CXICON, SM_CYICON);
        windowClass.hIconSm = LoadIconSized(instance, iconName, SM_CXSMICON, SM_CYSMICON);
    }
    windowClass.lpszClassName = className;
    if (RegisterClassExW(&windowClass) == 0) throw std::runtime_error("a window class could not be registered");
}

HWND CreateChild(const wchar_t* className, const std::wstring& text, DWORD style, DWORD exStyle, HWND parent, int id,
                 void* object) {
    HWND child = CreateWindowExW(exStyle, className, text.c_str(), WS_CHILD | WS_CLIPSIBLINGS | style, 0, 0, 0, 0,
                                 parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                                 object);
    if (child == nullptr) throw std::runtime_error("a control of the window could not be created");
    return child;
}

void* AttachedObject(HWND window, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        void* object = reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
    }
    return reinterpret_cast<void*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

HWND CreateStandardControl(const WidgetSpec& spec, int id, HWND parent) {
    const std::wstring caption = spec.text != nullptr ? Wide(spec.text) : std::wstring();
    const DWORD visible = spec.Has(design::kInvisible) ? 0 : WS_VISIBLE;
    switch (spec.kind) {
        case WidgetKind::TextBox:
            return CreateTextBox(spec, id, parent, visible);
        case WidgetKind::Label:
            return CreateChild(L"STATIC", caption,
                               visible | SS_NOPREFIX | (spec.Has(design::kCentred) ? SS_CENTER : SS_LEFT), 0, parent,
                               id);
        case WidgetKind::PushButton:
            // Owner-drawn where the button shows its colour, which the
            // system's own buttons do not.
            return CreateChild(L"BUTTON", caption,
                               visible | WS_TABSTOP | (spec.Has(design::kShowsColour) ? BS_OWNERDRAW : BS_PUSHBUTTON),
                               0, parent, id);
        case WidgetKind::OptionButton:
            // Automatic, as option buttons are: only a disabled frame keeps
            // a click from selecting one. The first of the array starts the
            // group.
            return CreateChild(L"BUTTON", caption,
                               visible | (spec.ArrayIndex() == 0 ? WS_GROUP : 0) | BS_AUTORADIOBUTTON, 0, parent, id);
        case WidgetKind::PictureBox:
        case WidgetKind::VScrollBar:
        case WidgetKind::Frame:
        case WidgetKind::Table:
            break;
    }
    throw std::logic_error(std::string(spec.name) + " is not a standard control");
}

void ControlColours::Set(HWND control, design::Rgb colour) {
    entries_.push_back({control, ToColorRef(colour), SolidBrush(colour)});
}

const ControlColours::Entry* ControlColours::Find(HWND control) const {
    for (const Entry& entry : entries_) {
        if (entry.control == control) return &entry;
    }
    return nullptr;
}

HBRUSH ControlColours::BrushOf(HWND control) const {
    const Entry* entry = Find(control);
    return entry != nullptr ? entry->brush.Get() : nullptr;
}

HBRUSH ControlColours::Prepare(HWND control, HDC dc) const {
    const Entry* entry = Find(control);
    if (entry == nullptr) return nullptr;
    SetBkColor(dc, entry->colour);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    return entry->brush.Get();
}

void DrawColouredButton(const DRAWITEMSTRUCT& item, HBRUSH face, HFONT font, UINT dpi) {
    RECT rect = item.rcItem;
    FillRect(item.hDC, &rect, face != nullptr ? face : GetSysColorBrush(COLOR_BTNFACE));
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    DrawEdge(item.hDC, &rect, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    const std::wstring caption = WindowText(item.hwndItem);
    RECT text = item.rcItem;
    if (pressed) OffsetRect(&text, 1, 1);
    HGDIOBJ previous = SelectObject(item.hDC, font);
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor(COLOR_BTNTEXT));
    DrawTextW(item.hDC, caption.c_str(), static_cast<int>(caption.size()), &text,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(item.hDC, previous);
    if (item.itemState & ODS_FOCUS) {
        RECT focus = item.rcItem;
        const int inset = MulDiv(kFocusInsetPixels, static_cast<int>(dpi), design::kStandardDpi);
        InflateRect(&focus, -inset, -inset);
        DrawFocusRect(item.hDC, &focus);
    }
}

}  // namespace win32_window
