#include "edit_box.h"

#include "texts.h"
#include "win32_text.h"

#include <windowsx.h>

#include <new>

namespace win32_window {
namespace {

namespace texts = design::texts;

constexpr const wchar_t* kProperty = L"DulmeriEditBox";

struct Subclass {
    WNDPROC previous;
    TabEntry tab;
};

Subclass* SubclassOf(HWND edit) { return static_cast<Subclass*>(GetPropW(edit, kProperty)); }

bool IsReadOnly(HWND edit) { return (GetWindowLongPtrW(edit, GWL_STYLE) & ES_READONLY) != 0; }

bool HasSelection(HWND edit) {
    DWORD start = 0, end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return start != end;
}

void Append(HMENU menu, UINT command, const char* text, bool enabled) {
    AppendMenuW(menu, MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED), command, Wide(text).c_str());
}

// Where a menu opened from the keyboard goes: under the caret when it is
// in view, otherwise in the middle of the box; in screen coordinates.
POINT KeyboardMenuPoint(HWND edit) {
    RECT client{};
    GetClientRect(edit, &client);
    POINT at{(client.left + client.right) / 2, (client.top + client.bottom) / 2};
    POINT caret{};
    if (GetFocus() == edit && GetCaretPos(&caret) && PtInRect(&client, caret)) {
        TEXTMETRICW metrics{};
        HDC dc = GetDC(edit);
        HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(edit, WM_GETFONT, 0, 0)));
        GetTextMetricsW(dc, &metrics);
        SelectObject(dc, previous);
        ReleaseDC(edit, dc);
        at = {caret.x, caret.y + metrics.tmHeight};
    }
    ClientToScreen(edit, &at);
    return at;
}

void ShowMenu(HWND edit, LPARAM position) {
    if (GetFocus() != edit) SetFocus(edit);
    POINT at{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    if (at.x == -1 && at.y == -1) at = KeyboardMenuPoint(edit);
    HMENU menu = CreateEditMenu(edit);
    if (menu == nullptr) return;
    const UINT command = static_cast<UINT>(
        TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, at.x,
                       at.y, 0, edit, nullptr));
    DestroyMenu(menu);
    if (command != 0) RunEditCommand(edit, command);
}

LRESULT CALLBACK EditProcedure(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    Subclass* subclass = SubclassOf(edit);
    if (subclass == nullptr) return DefWindowProcW(edit, message, wParam, lParam);
    const WNDPROC previous = subclass->previous;
    switch (message) {
        case WM_CONTEXTMENU:
            // Nothing may unwind into the system's menu loop or window code;
            // without memory for the menu there is simply no menu.
            try {
                ShowMenu(edit, lParam);
            } catch (...) {
            }
            return 0;
        case WM_KEYDOWN:
            // Under the dialog manager a multi-line edit control takes
            // Escape for a dialog's Cancel and closes its parent window;
            // here only the close box ends the run.
            if (wParam == VK_ESCAPE) return 0;
            break;
        case WM_GETDLGCODE: {
            LRESULT code = CallWindowProcW(previous, edit, message, wParam, lParam);
            if (subclass->tab == TabEntry::KeepPlace) code &= ~static_cast<LRESULT>(DLGC_HASSETSEL);
            return code;
        }
        case WM_NCDESTROY:
            SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
            RemovePropW(edit, kProperty);
            delete subclass;
            break;
        default:
            break;
    }
    return CallWindowProcW(previous, edit, message, wParam, lParam);
}

}  // namespace

void CustomiseEditBox(HWND edit, TabEntry tab) {
    if (SubclassOf(edit) != nullptr) return;
    auto* subclass = new Subclass{nullptr, tab};
    if (!SetPropW(edit, kProperty, subclass)) {
        delete subclass;
        throw std::bad_alloc();
    }
    subclass->previous =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&EditProcedure)));
}

HMENU CreateEditMenu(HWND edit) {
    HMENU menu = CreatePopupMenu();
    if (menu == nullptr) return nullptr;
    const bool selection = HasSelection(edit);
    const bool text = GetWindowTextLengthW(edit) > 0;
    try {
        if (IsReadOnly(edit)) {
            Append(menu, kEditCopy, texts::kMenuCopy, selection);
        } else {
            Append(menu, kEditUndo, texts::kMenuUndo, SendMessageW(edit, EM_CANUNDO, 0, 0) != 0);
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            Append(menu, kEditCut, texts::kMenuCut, selection);
            Append(menu, kEditCopy, texts::kMenuCopy, selection);
            Append(menu, kEditPaste, texts::kMenuPaste, IsClipboardFormatAvailable(CF_UNICODETEXT) != 0);
            Append(menu, kEditDelete, texts::kMenuDelete, selection);
        }
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        Append(menu, kEditSelectAll, texts::kMenuSelectAll, text);
    } catch (...) {
        DestroyMenu(menu);
        throw;
    }
    return menu;
}

void RunEditCommand(HWND edit, UINT command) {
    const bool readOnly = IsReadOnly(edit);
    switch (command) {
        case kEditUndo:
            if (!readOnly) SendMessageW(edit, EM_UNDO, 0, 0);
            break;
        case kEditCut:
            if (!readOnly) SendMessageW(edit, WM_CUT, 0, 0);
            break;
        case kEditCopy:
            SendMessageW(edit, WM_COPY, 0, 0);
            break;
        case kEditPaste:
            // The edit control cuts what it pastes to its typing limit.
            if (!readOnly) SendMessageW(edit, WM_PASTE, 0, 0);
            break;
        case kEditDelete:
            if (!readOnly) SendMessageW(edit, WM_CLEAR, 0, 0);
            break;
        case kEditSelectAll:
            SendMessageW(edit, EM_SETSEL, 0, -1);
            break;
        default:
            break;
    }
}

}  // namespace win32_window
