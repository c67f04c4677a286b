#include "context_menus.h"

#include "texts.h"
#include "win32_text.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <new>
#include <optional>

namespace win32_window {
namespace {

namespace texts = design::texts;

enum class Kind { EditBox, ScrollBar };

// What a customised control is, kept by its subclass.
struct Customisation {
    Kind kind;
    TabEntry tab;
};

constexpr UINT_PTR kSubclassId = 1;

LRESULT CALLBACK Procedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data);

DWORD_PTR Pack(Customisation customisation) {
    return static_cast<DWORD_PTR>(customisation.kind) << 8 | static_cast<DWORD_PTR>(customisation.tab);
}
Customisation Unpack(DWORD_PTR data) { return {static_cast<Kind>(data >> 8), static_cast<TabEntry>(data & 0xff)}; }

// Which of the two the control is, by its window class.
std::optional<Kind> KindOf(HWND control) {
    wchar_t name[16] = {};
    GetClassNameW(control, name, 16);
    if (lstrcmpiW(name, WC_EDITW) == 0) return Kind::EditBox;
    if (lstrcmpiW(name, WC_SCROLLBARW) == 0) return Kind::ScrollBar;
    return std::nullopt;
}

bool IsReadOnly(HWND edit) { return (GetWindowLongPtrW(edit, GWL_STYLE) & ES_READONLY) != 0; }

bool HasSelection(HWND edit) {
    DWORD start = 0, end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return start != end;
}

void Append(HMENU menu, UINT command, const char* text, bool enabled = true) {
    AppendMenuW(menu, MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED), command, Wide(text).c_str());
}

void AppendSeparator(HMENU menu) { AppendMenuW(menu, MF_SEPARATOR, 0, nullptr); }

void BuildEditMenu(HWND edit, HMENU menu) {
    const bool selection = HasSelection(edit);
    if (IsReadOnly(edit)) {
        Append(menu, kEditCopy, texts::kMenuCopy, selection);
    } else {
        Append(menu, kEditUndo, texts::kMenuUndo, SendMessageW(edit, EM_CANUNDO, 0, 0) != 0);
        AppendSeparator(menu);
        Append(menu, kEditCut, texts::kMenuCut, selection);
        Append(menu, kEditCopy, texts::kMenuCopy, selection);
        Append(menu, kEditPaste, texts::kMenuPaste, IsClipboardFormatAvailable(CF_UNICODETEXT) != 0);
        Append(menu, kEditDelete, texts::kMenuDelete, selection);
    }
    AppendSeparator(menu);
    Append(menu, kEditSelectAll, texts::kMenuSelectAll, GetWindowTextLengthW(edit) > 0);
}

void BuildScrollMenu(HMENU menu) {
    Append(menu, kScrollHere, texts::kMenuScrollHere);
    AppendSeparator(menu);
    Append(menu, kScrollTop, texts::kMenuTop);
    Append(menu, kScrollBottom, texts::kMenuBottom);
    AppendSeparator(menu);
    Append(menu, kScrollPageUp, texts::kMenuPageUp);
    Append(menu, kScrollPageDown, texts::kMenuPageDown);
    AppendSeparator(menu);
    Append(menu, kScrollUp, texts::kMenuScrollUp);
    Append(menu, kScrollDown, texts::kMenuScrollDown);
}

// Each edit command is one of the edit control's own messages.
struct EditCommand {
    UINT command;
    UINT message;
    LPARAM lParam;
    bool changesText;  // refused by a read-only box
};

constexpr EditCommand kEditCommands[] = {
    {kEditUndo, EM_UNDO, 0, true},    {kEditCut, WM_CUT, 0, true},
    {kEditCopy, WM_COPY, 0, false},   {kEditPaste, WM_PASTE, 0, true},  // the edit control cuts it to its typing limit
    {kEditDelete, WM_CLEAR, 0, true}, {kEditSelectAll, EM_SETSEL, -1, false},
};

void RunEditCommand(HWND edit, UINT command) {
    for (const EditCommand& entry : kEditCommands) {
        if (entry.command != command) continue;
        if (!entry.changesText || !IsReadOnly(edit)) SendMessageW(edit, entry.message, 0, entry.lParam);
        return;
    }
}

// The position whose thumb would be centred at the screen point's height.
int PositionAt(HWND bar, POINT at) {
    SCROLLBARINFO info{};
    info.cbSize = sizeof info;
    SCROLLINFO range{};
    range.cbSize = sizeof range;
    range.fMask = SIF_RANGE | SIF_PAGE;
    if (!GetScrollBarInfo(bar, OBJID_CLIENT, &info) || !GetScrollInfo(bar, SB_CTL, &range)) return 0;
    const int thumb = info.xyThumbBottom - info.xyThumbTop;
    const int travel = info.rcScrollBar.bottom - info.rcScrollBar.top - 2 * info.dxyLineButton - thumb;
    const int span = range.nMax - range.nMin - std::max<int>(static_cast<int>(range.nPage) - 1, 0);
    if (travel <= 0) return range.nMin;
    const double offset = at.y - info.rcScrollBar.top - info.dxyLineButton - thumb / 2.0;
    const int position = range.nMin + static_cast<int>(std::lround(offset * span / travel));
    return std::clamp(position, range.nMin, range.nMin + span);
}

// Each scroll command is one of the scroll bar's own requests.
constexpr struct {
    UINT command;
    WORD request;
} kScrollCommands[] = {
    {kScrollHere, SB_THUMBPOSITION}, {kScrollTop, SB_TOP},   {kScrollBottom, SB_BOTTOM}, {kScrollPageUp, SB_PAGEUP},
    {kScrollPageDown, SB_PAGEDOWN},  {kScrollUp, SB_LINEUP}, {kScrollDown, SB_LINEDOWN},
};

void RunScrollCommand(HWND bar, UINT command, POINT at) {
    const auto entry = std::find_if(std::begin(kScrollCommands), std::end(kScrollCommands),
                                    [command](const auto& e) { return e.command == command; });
    if (entry == std::end(kScrollCommands)) return;
    const WORD request = entry->request;
    const WORD position = request == SB_THUMBPOSITION ? static_cast<WORD>(PositionAt(bar, at)) : 0;
    HWND window = GetParent(bar);
    const auto from = reinterpret_cast<LPARAM>(bar);
    SendMessageW(window, WM_VSCROLL, MAKEWPARAM(request, position), from);
    SendMessageW(window, WM_VSCROLL, MAKEWPARAM(SB_ENDSCROLL, 0), from);
}

// Where a menu opened from the keyboard goes: under an edit box's caret
// when it is in view, otherwise in the middle of the control; in screen
// coordinates.
POINT KeyboardMenuPoint(HWND control) {
    RECT client{};
    GetClientRect(control, &client);
    POINT at{(client.left + client.right) / 2, (client.top + client.bottom) / 2};
    POINT caret{};
    if (KindOf(control) == Kind::EditBox && GetFocus() == control && GetCaretPos(&caret) && PtInRect(&client, caret)) {
        TEXTMETRICW metrics{};
        HDC dc = GetDC(control);
        HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
        GetTextMetricsW(dc, &metrics);
        SelectObject(dc, previous);
        ReleaseDC(control, dc);
        at = {caret.x, caret.y + metrics.tmHeight};
    }
    ClientToScreen(control, &at);
    return at;
}

void ShowMenu(HWND control, LPARAM position) {
    if (GetFocus() != control) SetFocus(control);
    POINT at{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    if (at.x == -1 && at.y == -1) at = KeyboardMenuPoint(control);
    HMENU menu = CreateContextMenu(control);
    if (menu == nullptr) return;
    const UINT command = static_cast<UINT>(
        TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y,
                       0, control, nullptr));
    DestroyMenu(menu);
    if (command != 0) RunMenuCommand(control, command, at);
}

LRESULT CALLBACK Procedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    const Customisation customisation = Unpack(data);
    switch (message) {
        case WM_CONTEXTMENU:
            // Nothing may unwind into the system's menu loop or window code;
            // without memory for the menu there is simply no menu.
            try {
                ShowMenu(control, lParam);
            } catch (...) {
            }
            return 0;
        case WM_KEYDOWN:
            // Under the dialog manager a multi-line edit control takes
            // Escape for a dialog's Cancel and closes its parent window;
            // here only the close box ends the run.
            if (customisation.kind == Kind::EditBox && wParam == VK_ESCAPE) return 0;
            break;
        case WM_GETDLGCODE: {
            LRESULT code = DefSubclassProc(control, message, wParam, lParam);
            if (customisation.tab == TabEntry::KeepPlace) code &= ~static_cast<LRESULT>(DLGC_HASSETSEL);
            return code;
        }
        case WM_NCDESTROY:
            RemoveWindowSubclass(control, &Procedure, kSubclassId);
            break;
        default:
            break;
    }
    return DefSubclassProc(control, message, wParam, lParam);
}

void Customise(HWND control, Kind kind, TabEntry tab) {
    if (!SetWindowSubclass(control, &Procedure, kSubclassId, Pack({kind, tab}))) throw std::bad_alloc();
}

}  // namespace

void CustomiseEditBox(HWND edit, TabEntry tab) { Customise(edit, Kind::EditBox, tab); }

void CustomiseScrollBar(HWND bar) { Customise(bar, Kind::ScrollBar, TabEntry::SelectAll); }

HMENU CreateContextMenu(HWND control) {
    const std::optional<Kind> kind = KindOf(control);
    if (!kind) return nullptr;
    HMENU menu = CreatePopupMenu();
    if (menu == nullptr) return nullptr;
    try {
        if (kind == Kind::EditBox) {
            BuildEditMenu(control, menu);
        } else {
            BuildScrollMenu(menu);
        }
    } catch (...) {
        DestroyMenu(menu);
        throw;
    }
    return menu;
}

void RunMenuCommand(HWND control, UINT command, POINT at) {
    const std::optional<Kind> kind = KindOf(control);
    if (!kind) return;
    if (kind == Kind::EditBox) {
        RunEditCommand(control, command);
    } else {
        RunScrollCommand(control, command, at);
    }
}

}  // namespace win32_window
