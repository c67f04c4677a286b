#pragma once

// The system's controls made from the rows of the design's widget table,
// and the plumbing every window of the program shares: its window classes
// and child windows, the object a window of its own classes belongs to,
// and the controls that show a colour of the design.

#include "gdi_object.h"
#include "widget_table.h"

#include <windows.h>

#include <string>
#include <vector>

namespace win32_window {

// The program's icon (packaging/windows/dulmeri.rc), in its windows' captions.
inline constexpr const wchar_t* kProgramIcon = L"IDI_ICON1";

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

// The window procedure of a focusable box that paints all of itself (the
// gauge, the view's drawings): Box keeps its window in hwnd_ and paints it in
// Paint(); a click or Tab gives it the focus, and a change of focus repaints
// it (its focus rectangle).
template <typename Box>
LRESULT CALLBACK PaintedBoxProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* box = static_cast<Box*>(AttachedObject(window, message, lParam));
    if (box != nullptr) {
        switch (message) {
            case WM_NCCREATE:
                box->hwnd_ = window;
                break;
            case WM_PAINT:
                box->Paint();
                return 0;
            case WM_ERASEBKGND:
                return 1;  // WM_PAINT covers every pixel
            case WM_SETFOCUS:
            case WM_KILLFOCUS:
                InvalidateRect(window, nullptr, FALSE);
                break;
            case WM_LBUTTONDOWN:
                SetFocus(window);
                return 0;
            case WM_NCDESTROY:
                SetWindowLongPtrW(window, GWLP_USERDATA, 0);
                box->hwnd_ = nullptr;
                break;
            default:
                break;
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// A text box, label, push button or option button as the row describes it:
// its caption, styles and flags. Text boxes get their Bulgarian context
// menu (context_menus.h). Other kinds have classes of their own (gauge.h,
// scroll_bar.h, frame.h).
HWND CreateStandardControl(const design::WidgetSpec& spec, int id, HWND parent);

// The colours of the controls that show one: what a window answers to
// WM_CTLCOLORSTATIC and WM_CTLCOLORBTN for them, and the face of a button
// it draws itself.
class ControlColours {
public:
    void Set(HWND control, design::Rgb colour);
    // The brush of the control's colour, or null for a control without one.
    HBRUSH BrushOf(HWND control) const;
    // For WM_CTLCOLOR...: the device context set to draw on the control's
    // colour in the system's text colour, and the brush; null for a control
    // without a colour.
    HBRUSH Prepare(HWND control, HDC dc) const;

private:
    struct Entry {
        HWND control;
        COLORREF colour;
        Brush brush;
    };
    const Entry* Find(HWND control) const;
    std::vector<Entry> entries_;
};

// A button that shows its colour (kShowsColour), drawn for WM_DRAWITEM:
// its face in the colour, a raised edge (sunken while pressed), the
// caption centred in the font, the focus rectangle inside.
void DrawColouredButton(const DRAWITEMSTRUCT& item, HBRUSH face, HFONT font, UINT dpi);

}  // namespace win32_window
