#pragma once

// The window's text boxes and its scroll bar on top of the system's
// controls, with their own context menus (right click, Shift+F10, the menu
// key), in Bulgarian whatever the system's language and in the words the
// Linux build's menus use.
//
// A text box's menu offers undo, cut, copy, paste, delete and select all,
// each enabled only where it applies; a read-only box offers copy and
// select all only. Paste goes through the edit control, so a box's typing
// limit holds for it. Besides:
//   - optionally, Tab into the box leaves its selection and its scroll
//     position alone, instead of selecting the whole text (which also
//     scrolls a long text to its end);
//   - Escape does nothing (a multi-line edit control would close the
//     window, as it closes a dialog).
//
// The scroll bar's menu moves it as its arrows and track do: scroll here,
// top, bottom, page up and down, scroll up and down. Each command reaches
// the window as the scroll bar's own WM_VSCROLL.

#include <windows.h>

namespace win32_window {

enum class TabEntry {
    SelectAll,  // the dialog manager's way: ready to type over
    KeepPlace,  // for a long text being read
};

// Subclass the control for the rest of its life.
void CustomiseEditBox(HWND edit, TabEntry tab);
void CustomiseScrollBar(HWND bar);

// The menus' command identifiers.
enum MenuCommand : UINT {
    kEditUndo = 1,
    kEditCut,
    kEditCopy,
    kEditPaste,
    kEditDelete,
    kEditSelectAll,
    kScrollHere,
    kScrollTop,
    kScrollBottom,
    kScrollPageUp,
    kScrollPageDown,
    kScrollUp,
    kScrollDown,
};

// The control's context menu for its present state; the caller destroys it.
HMENU CreateContextMenu(HWND control);
// Carries out one of the menu's commands; `at` is where the menu was
// opened, in screen coordinates (the place "scroll here" means).
void RunMenuCommand(HWND control, UINT command, POINT at);

}  // namespace win32_window
