#pragma once

// The system's controls made from the rows of the design's widget table,
// and the plumbing every window of the program shares: its window classes
// and child windows, and the object a window of its own classes belongs to.

#include "widget_table.h"

#include <windows.h>

#include <string>

namespace win32_window {

// Registers one of the program's window classes, once; `iconName` names
// the icon resource of a top-level window.
void RegisterWindowClass(const wchar_t* className, WNDPROC procedure, const wchar_t* iconName = nullptr);

// A child window, placed later (dpi.h). `object` is what the window
// belongs to (AttachedObject). Throws when the system cannot make it.
HWND CreateChild(const wchar_t* className, const std::wstring& text, DWORD style, DWORD exStyle, HWND parent, int id,
                 void* object = nullptr);

// For the window procedure of one of the program's classes: the object the
// window was created for, or null before WM_NCCREATE and once the object
// has let go of the window.
void* AttachedObject(HWND window, UINT message, LPARAM lParam);

// A text box, label, push button or option button as the row describes it:
// its caption, styles and flags. Text boxes get their Bulgarian context
// menu (context_menus.h). Other kinds have classes of their own (gauge.h,
// scroll_bar.h, frame.h).
HWND CreateStandardControl(const design::WidgetSpec& spec, int id, HWND parent);

}  // namespace win32_window
