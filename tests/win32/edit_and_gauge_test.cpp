// The text boxes' own context menu, Tab into the explanation, and what a
// screen reader gets from the gauge, on the real window under Wine.

#include "context_menus.h"
#include "win32_text.h"
#include "window_fixture.h"

#include <oleacc.h>

#include <cstring>
#include <ostream>
#include <string>
#include <vector>

namespace win32_window::testing {
namespace {

// An entry of a menu as the user sees it: its text without the access-key
// mark ("-" for a separator) and whether it can be chosen.
struct Entry {
    std::wstring text;
    bool enabled;
    bool operator==(const Entry&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Entry& entry) {
    return out << Utf8(entry.text) << (entry.enabled ? " (on)" : " (off)");
}

std::vector<Entry> Entries(HMENU menu) {
    std::vector<Entry> entries;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[128] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 128;
        GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
        std::wstring shown = (info.fType & MFT_SEPARATOR) ? L"-" : text;
        std::erase(shown, L'&');
        entries.push_back({shown, (info.fType & MFT_SEPARATOR) || !(info.fState & MFS_DISABLED)});
    }
    return entries;
}

// The menu as it is built for the box now.
std::vector<Entry> MenuFor(HWND box) {
    HMENU menu = CreateContextMenu(box);
    std::vector<Entry> entries = Entries(menu);
    DestroyMenu(menu);
    return entries;
}

// What the system shows while `open` runs: the entries of the popup menu
// on screen, read from inside the menu's own loop, which is then ended.
template <typename Open>
std::vector<Entry> ShownMenu(Open&& open) {
    static std::vector<Entry> seen;
    seen.clear();
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
        HWND popup = FindWindowW(L"#32768", nullptr);
        if (popup == nullptr || !IsWindowVisible(popup) || !seen.empty()) return;
        seen = Entries(reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0)));
        EndMenu();
    });
    open();
    KillTimer(nullptr, timer);
    return seen;
}

void SetClipboard(const wchar_t* text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    if (text != nullptr) {
        const std::size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
        std::memcpy(GlobalLock(memory), text, bytes);
        GlobalUnlock(memory);
        SetClipboardData(CF_UNICODETEXT, memory);
    }
    CloseClipboard();
}

void Select(HWND box, int start, int end) { SendMessageW(box, EM_SETSEL, start, end); }

const Entry kSeparator{L"-", true};

TEST_F(WindowTest, TextBoxesHaveABulgarianMenuOfWhatApplies) {
    HWND lower = Find("Text2_0"), baseMaximum = Find("Text2_1"), explanation = Find("Text1_0");
    // As Qt's Bulgarian catalogue says Undo, Cut, Copy, Paste, Delete and Select All.
    const auto editable = [](bool undo, bool selection, bool paste) {
        return std::vector<Entry>{{L"Отмяна", undo},
                                  kSeparator,
                                  {L"Изрязване", selection},
                                  {L"Копиране", selection},
                                  {L"Поставяне", paste},
                                  {L"Изтриване", selection},
                                  kSeparator,
                                  {L"Избиране на всичко", true}};
    };
    const auto readOnly = [](bool selection) {
        return std::vector<Entry>{{L"Копиране", selection}, kSeparator, {L"Избиране на всичко", true}};
    };

    SetClipboard(nullptr);
    Select(lower, 0, 0);
    EXPECT_EQ(MenuFor(lower), editable(false, false, false));
    SetClipboard(L"5");
    Select(lower, 0, 1);
    Type(lower, L"7");  // "81" becomes "71", which can be undone
    Select(lower, 0, -1);
    EXPECT_EQ(MenuFor(lower), editable(true, true, true));

    for (HWND box : {baseMaximum, explanation}) {
        Select(box, 0, 0);
        EXPECT_EQ(MenuFor(box), readOnly(false));
        Select(box, 0, 3);
        EXPECT_EQ(MenuFor(box), readOnly(true));
    }
    SetWindowTextW(lower, L"");
    EXPECT_FALSE(MenuFor(lower).back().enabled) << "nothing to select";

    // What the system shows is this menu: on a right click, and from the
    // keyboard (Shift+F10 and the menu key send the same message).
    HWND upper = Find("Text2_2");
    Select(upper, 0, 0);
    const std::vector<Entry> shown = ShownMenu([&] {
        RECT box{};
        GetClientRect(upper, &box);
        Click(upper, {box.right / 2, box.bottom / 2}, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    });
    EXPECT_EQ(shown, editable(false, false, true));
    EXPECT_EQ(GetFocus(), upper);
    Select(explanation, 0, 0);
    EXPECT_EQ(ShownMenu([&] {
                  SendMessageW(explanation, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(explanation), MAKELPARAM(-1, -1));
              }),
              readOnly(false));
    EXPECT_EQ(GetFocus(), explanation);
}

TEST_F(WindowTest, TheMenusCommandsKeepTheTypingLimitAndTheLock) {
    HWND lower = Find("Text2_0"), baseMaximum = Find("Text2_1");
    SetClipboard(L"789");
    Select(lower, 0, -1);
    RunMenuCommand(lower, kEditPaste, {});
    EXPECT_EQ(Text(lower), L"78");
    RunMenuCommand(lower, kEditUndo, {});
    EXPECT_EQ(Text(lower), L"81");

    Select(lower, 0, 1);
    RunMenuCommand(lower, kEditCut, {});
    EXPECT_EQ(Text(lower), L"1");
    Select(lower, 0, 0);
    RunMenuCommand(lower, kEditPaste, {});
    EXPECT_EQ(Text(lower), L"81");
    RunMenuCommand(lower, kEditSelectAll, {});
    RunMenuCommand(lower, kEditDelete, {});
    EXPECT_EQ(Text(lower), L"");

    for (UINT command : {kEditPaste, kEditCut, kEditDelete, kEditUndo}) {
        RunMenuCommand(baseMaximum, kEditSelectAll, {});
        RunMenuCommand(baseMaximum, command, {});
        EXPECT_EQ(Text(baseMaximum), L"100") << "command " << command;
    }
    RunMenuCommand(baseMaximum, kEditCopy, {});
    RunMenuCommand(lower, kEditPaste, {});
    EXPECT_EQ(Text(lower), L"10");
}

TEST_F(WindowTest, TheScaleHasABulgarianMenuThatMovesIt) {
    HWND scale = Find("VScroll1");
    RECT bar{};
    GetClientRect(scale, &bar);
    POINT middle{bar.right / 2, bar.bottom / 2};
    // As Qt's Bulgarian catalogue names a scroll bar's commands.
    const std::vector<Entry> menu = {{L"Превъртайте тук", true},  kSeparator, {L"Отгоре", true},
                                     {L"Отдолу", true},           kSeparator, {L"Страница нагоре", true},
                                     {L"Страница надолу", true},  kSeparator, {L"Превъртане нагоре", true},
                                     {L"Превъртане надолу", true}};
    EXPECT_EQ(ShownMenu([&] { Click(scale, middle, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP); }), menu);

    // Each command moves the scale as its arrows and track do (by one, the
    // design's step); the gauge's readout follows.
    const struct {
        UINT command;
        int position;
    } steps[] = {{kScrollTop, 0},      {kScrollDown, 1}, {kScrollPageDown, 2},
                 {kScrollBottom, 100}, {kScrollUp, 99},  {kScrollPageUp, 98}};
    for (const auto& step : steps) {
        RunMenuCommand(scale, step.command, {});
        EXPECT_EQ(GetScrollPos(scale, SB_CTL), step.position) << "command " << step.command;
    }
    EXPECT_EQ(Text(Find("Label1_1")), L"Моментна стойност: 2");
    // "Scroll here" puts the thumb where the menu was opened.
    ClientToScreen(scale, &middle);
    RunMenuCommand(scale, kScrollHere, middle);
    EXPECT_NEAR(GetScrollPos(scale, SB_CTL), 50, 2);
    EXPECT_EQ(Text(Find("Label1_1")), L"Моментна стойност: " + std::to_wstring(100 - GetScrollPos(scale, SB_CTL)));
    EXPECT_TRUE(fatalMessages.empty());
}

TEST_F(WindowTest, TabIntoTheExplanationKeepsTheReadersPlace) {
    HWND explanation = Find("Text1_0"), lower = Find("Text2_0");
    Select(explanation, 0, 0);
    SendMessageW(explanation, EM_LINESCROLL, 0, 3);
    ASSERT_EQ(SendMessageW(explanation, EM_GETFIRSTVISIBLELINE, 0, 0), 3);

    SetFocus(Find("Command1_1"));
    Key(VK_TAB);  // round to the first in the tab order
    ASSERT_EQ(GetFocus(), explanation);
    DWORD start = 1, end = 2;
    SendMessageW(explanation, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, end) << "selected " << start << ".." << end;
    EXPECT_EQ(SendMessageW(explanation, EM_GETFIRSTVISIBLELINE, 0, 0), 3);

    // A threshold box is still selected whole, ready to be typed over.
    SetFocus(Find("VScroll1"));
    Key(VK_TAB);
    ASSERT_EQ(GetFocus(), lower);
    SendMessageW(lower, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 2u);
}

TEST_F(WindowTest, EscapeNeverClosesTheWindow) {
    // A multi-line edit control in a dialog takes Escape for the dialog's
    // Cancel and closes its parent; here only the close box ends the run.
    for (const char* name : {"Text1_0", "Picture1", "VScroll1", "Text2_0", "Text2_1", "Command1_0"}) {
        SetFocus(Find(name));
        Key(VK_ESCAPE);
        ASSERT_TRUE(form->Hwnd() != nullptr && IsWindowVisible(form->Hwnd())) << "Escape on " << name;
    }
}

// A reader's view of one control's accessible object.
class Accessible {
public:
    explicit Accessible(HWND control) {
        // IAccessible's identifier as oleacc.h declares it.
        EXPECT_EQ(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                             reinterpret_cast<void**>(&object_)),
                  S_OK);
    }
    ~Accessible() {
        if (object_ != nullptr) object_->Release();
    }
    Accessible(const Accessible&) = delete;
    Accessible& operator=(const Accessible&) = delete;

    std::wstring Name() const { return Text(&IAccessible::get_accName); }
    std::wstring Value() const { return Text(&IAccessible::get_accValue); }
    std::wstring Description() const { return Text(&IAccessible::get_accDescription); }
    LONG Role() const {
        VARIANT role{};
        if (object_ == nullptr || object_->get_accRole(Self(), &role) != S_OK || role.vt != VT_I4) return -1;
        return role.lVal;
    }

private:
    static VARIANT Self() {
        VARIANT self{};
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        return self;
    }
    std::wstring Text(HRESULT (STDMETHODCALLTYPE IAccessible::*property)(VARIANT, BSTR*)) const {
        BSTR text = nullptr;
        if (object_ == nullptr || (object_->*property)(Self(), &text) != S_OK || text == nullptr) return L"";
        std::wstring result(text, SysStringLen(text));
        SysFreeString(text);
        return result;
    }

    IAccessible* object_ = nullptr;
};

TEST_F(WindowTest, TheGaugeGivesTheTemperatureAsItsValueAndFollowsTheRun) {
    const Accessible gauge(Find("Picture1"));
    EXPECT_EQ(gauge.Name(), L"Термометър");
    EXPECT_EQ(gauge.Role(), ROLE_SYSTEM_PROGRESSBAR);
    EXPECT_EQ(gauge.Value(), L"0");
    EXPECT_EQ(gauge.Description(), L"Състояние на системата: Изключено");

    form->Timer1_Timer();  // 0 is at or below 81: the heater goes on
    EXPECT_EQ(gauge.Value(), L"1");
    EXPECT_EQ(gauge.Description(), L"Състояние на системата: Включено");
    SendMessageW(form->Hwnd(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 19),
                 reinterpret_cast<LPARAM>(Find("VScroll1")));
    EXPECT_EQ(gauge.Value(), L"81");
    EXPECT_TRUE(fatalMessages.empty());
}

}  // namespace
}  // namespace win32_window::testing
