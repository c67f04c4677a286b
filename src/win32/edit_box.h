#pragma once

// The window's text boxes on top of the system's edit control, with two
// changes:
//   - the context menu (right click, Shift+F10, the menu key) is the
//     program's own, in Bulgarian whatever the system's language: undo, cut,
//     copy, paste, delete and select all, each enabled only where it
//     applies; a read-only box offers copy and select all only. Paste goes
//     through the edit control, so a box's typing limit holds for it;
//   - optionally, Tab into the box leaves its selection and its scroll
//     position alone, instead of selecting the whole text (which also
//     scrolls a long text to its end);
//   - Escape does nothing (a multi-line edit control would close the
//     window, as it closes a dialog).

#include <windows.h>

namespace win32_window {

enum class TabEntry {
    SelectAll,  // the dialog manager's way: ready to type over
    KeepPlace,  // for a long text being read
};

// Subclasses the edit control for the rest of its life.
void CustomiseEditBox(HWND edit, TabEntry tab);

// The menu's command identifiers.
enum EditCommand : UINT {
    kEditUndo = 1,
    kEditCut,
    kEditCopy,
    kEditPaste,
    kEditDelete,
    kEditSelectAll,
};

// The context menu for the box's present state; the caller destroys it.
HMENU CreateEditMenu(HWND edit);
// Carries out one of the menu's commands on the box.
void RunEditCommand(HWND edit, UINT command);

}  // namespace win32_window
