// The real Win32 window under Wine on the tests' X server: its controls
// driven with window messages and real input, its looks read back from the
// screen's pixels.

#include "texts.h"
#include "widget_table.h"
#include "win32_text.h"
#include "window_fixture.h"

#include <oleacc.h>

#include <cmath>
#include <cstdio>
#include <iterator>

namespace win32_window::testing {
namespace {

// Every widget of the design, with its caption or start-up text; its
// geometry is the design table's, in pixels at 96 DPI (twips / 15). Option
// buttons lie within Frame1.
struct ExpectedWidget {
    const char* name;
    const wchar_t* text;  // nullptr: not checked
};
const ExpectedWidget kDesign[] = {
    {"Text1_0", nullptr},
    {"Text1_1", nullptr},
    {"Label1_0", L"Дулмери - температурен хистерезис"},
    {"Picture1", nullptr},
    {"VScroll1", nullptr},
    {"Label1_1", L"Моментна стойност: 0"},
    {"Text2_0", L"81"},
    {"Label1_2", L"Горен праг:"},
    {"Label1_3", L"Температура:"},
    {"Label1_4", L"Базова максимална стойност:"},
    {"Text2_1", L"100"},
    {"Text2_2", L"90"},
    {"Label1_5", L"Долен праг:"},
    {"Command1_0", L"Пусни"},
    {"Command1_1", L"Спри"},
    {"Frame1", L"Състояние на системата:"},
    {"Option1_0", L"Включено"},
    {"Option1_1", L"Изключено"},
};

constexpr LONG Pixels96(int twips) { return twips / design::kTwipsPerPixel; }

RECT RectInParent(HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::string Describe(const RECT& r) {
    return "{" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " + std::to_string(r.right) + ", " +
           std::to_string(r.bottom) + "}";
}

// Rounds halves away from zero, as the window's scaling does.
LONG Scaled(LONG pixels96, double factor) { return static_cast<LONG>(std::lround(pixels96 * factor)); }

void ExpectGeometry(MainForm& form, double factor) {
    for (const ExpectedWidget& expected : kDesign) {
        const design::WidgetSpec& spec = design::FindWidgetSpec(expected.name);
        const RECT want{Scaled(Pixels96(spec.left), factor), Scaled(Pixels96(spec.top), factor),
                        Scaled(Pixels96(spec.left + spec.width), factor),
                        Scaled(Pixels96(spec.top + spec.height), factor)};
        const RECT seen = RectInParent(form.Control(expected.name));
        EXPECT_TRUE(EqualRect(&seen, &want))
            << expected.name << " at " << Describe(seen) << ", expected " << Describe(want);
    }
    RECT client{};
    GetClientRect(form.Hwnd(), &client);
    EXPECT_EQ(client.right, Scaled(Pixels96(design::kClientWidthTwips), factor));
    EXPECT_EQ(client.bottom, Scaled(Pixels96(design::kClientHeightTwips), factor));
}

TEST_F(WindowTest, GeometryCaptionsAndStartUpTextsFollowTheDesign) {
    ASSERT_EQ(std::size(kDesign), design::WidgetTable().size());
    ExpectGeometry(*form, 1.0);
    for (const ExpectedWidget& expected : kDesign) {
        if (expected.text != nullptr) EXPECT_EQ(Text(Find(expected.name)), expected.text) << expected.name;
    }
    EXPECT_EQ(Text(form->Hwnd()), std::wstring(L"www.example.org  ") + L"Дулмери - терморегулатор");
    // Fixed size, close box only; centred on the work area.
    const LONG_PTR style = GetWindowLongPtrW(form->Hwnd(), GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    RECT window{}, work{};
    GetWindowRect(form->Hwnd(), &window);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_LE(std::abs((window.left + window.right) - (work.left + work.right)), 1);
    EXPECT_LE(std::abs((window.top + window.bottom) - (work.top + work.bottom)), 1);
    EXPECT_NE(GetClassLongPtrW(form->Hwnd(), GCLP_HICON), 0);
    EXPECT_NE(GetClassLongPtrW(form->Hwnd(), GCLP_HICONSM), 0);
    // The manifest asks for per-monitor awareness (Wine reports v1 for v2).
    using Awareness = DPI_AWARENESS (*)(DPI_AWARENESS_CONTEXT);
    const auto awareness = reinterpret_cast<Awareness>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetAwarenessFromDpiAwarenessContext")));
    ASSERT_NE(awareness, nullptr);
    EXPECT_EQ(awareness(GetThreadDpiAwarenessContext()), DPI_AWARENESS_PER_MONITOR_AWARE);
}

TEST_F(WindowTest, AChangeOfDpiRescalesEveryControlAndTheFont) {
    RECT suggested{};
    GetWindowRect(form->Hwnd(), &suggested);
    SendMessageW(form->Hwnd(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    ExpectGeometry(*form, 1.5);
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(Find("Text2_0"), WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_EQ(font.lfHeight, -24);
    SendMessageW(form->Hwnd(), WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&suggested));
    ExpectGeometry(*form, 1.0);
}

TEST_F(WindowTest, EveryControlUsesTimesNewRoman12PointCyrillic) {
    for (const ExpectedWidget& expected : kDesign) {
        const auto font = reinterpret_cast<HFONT>(SendMessageW(Find(expected.name), WM_GETFONT, 0, 0));
        if (std::string_view(expected.name) == "Picture1" || std::string_view(expected.name) == "VScroll1") continue;
        ASSERT_NE(font, nullptr) << expected.name;
        LOGFONTW logical{};
        GetObjectW(font, sizeof logical, &logical);
        EXPECT_STREQ(logical.lfFaceName, L"Times New Roman") << expected.name;
        EXPECT_EQ(logical.lfHeight, -16) << expected.name;  // 12 pt at 96 DPI
        EXPECT_EQ(logical.lfWeight, FW_NORMAL) << expected.name;
        EXPECT_EQ(logical.lfCharSet, RUSSIAN_CHARSET) << expected.name;
    }
    // What the system really draws with: a serif face with Cyrillic.
    HDC dc = GetDC(form->Hwnd());
    SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(Find("Label1_0"), WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    EXPECT_EQ(metrics.tmCharSet, RUSSIAN_CHARSET);
    EXPECT_EQ(metrics.tmPitchAndFamily & 0xf0, FF_ROMAN);
    ReleaseDC(form->Hwnd(), dc);
}

TEST_F(WindowTest, TextBoxesAreLockedLimitedAndShownAsDesigned) {
    HWND explanation = Find("Text1_0");
    EXPECT_EQ(Text(explanation), Wide(design::texts::Explanation()));
    const LONG_PTR style = GetWindowLongPtrW(explanation, GWL_STYLE);
    EXPECT_TRUE((style & ES_MULTILINE) && (style & ES_READONLY) && (style & WS_VSCROLL) && (style & WS_VISIBLE));
    EXPECT_EQ(GetFocus(), explanation);  // the focus at start
    HWND aphorism = Find("Text1_1");
    EXPECT_FALSE(IsWindowVisible(aphorism));
    EXPECT_EQ(Text(aphorism), Wide(design::texts::Aphorism()));

    Type(explanation, L"xyz");
    EXPECT_EQ(Text(explanation), Wide(design::texts::Explanation()));
    HWND baseMaximum = Find("Text2_1");
    Type(baseMaximum, L"5\b");
    EXPECT_EQ(Text(baseMaximum), L"100");
    for (const char* name : {"Text2_0", "Text2_1", "Text2_2"}) {
        EXPECT_TRUE(GetWindowLongPtrW(Find(name), GWL_STYLE) & ES_CENTER) << name;
    }
}

TEST_F(WindowTest, TheTypingLimitStopsTheUserButNotTheProgram) {
    HWND lower = Find("Text2_0"), upper = Find("Text2_2");
    SendMessageW(upper, EM_SETSEL, 0, -1);
    Type(upper, L"755");
    EXPECT_EQ(Text(upper), L"75");

    SetWindowTextW(lower, L"99");
    SetWindowTextW(upper, L"11");
    form->Timer1_Timer();  // validation: 99 / 11 becomes 11 / 13.2
    EXPECT_EQ(Text(lower), L"11");
    EXPECT_EQ(Text(upper), L"13.2");
    SendMessageW(upper, EM_SETSEL, 4, 4);
    Type(upper, L"9");
    EXPECT_EQ(Text(upper), L"13.2");  // full: nothing more can be typed
    Type(upper, L"\b");
    EXPECT_EQ(Text(upper), L"13.");  // but it can be shortened

    // A rewrite with the same text leaves the caret and selection alone.
    SetWindowTextW(upper, L"90");
    SetWindowTextW(lower, L"81");
    SendMessageW(lower, EM_SETSEL, 1, 2);
    form->Timer1_Timer();
    DWORD start = 0, end = 0;
    SendMessageW(lower, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 1u);
    EXPECT_EQ(end, 2u);
}

TEST_F(WindowTest, StartTicksAndStopDriveTheIndicatorsAndTheReadout) {
    HWND on = Find("Option1_0"), off = Find("Option1_1"), readout = Find("Label1_1");
    EXPECT_EQ(GetScrollPos(Find("VScroll1"), SB_CTL), 100);
    EXPECT_EQ(SendMessageW(off, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_FALSE(form->Timer1().IsRunning());

    SendMessageW(Find("Command1_0"), BM_CLICK, 0, 0);
    ASSERT_TRUE(form->Timer1().IsRunning());
    EXPECT_EQ(form->Timer1().Schedule().PeriodUs(), 100000);
    const std::int64_t due = form->Timer1().Schedule().NextDueUs();
    Sleep(5);
    SendMessageW(Find("Command1_0"), BM_CLICK, 0, 0);
    EXPECT_EQ(form->Timer1().Schedule().NextDueUs(), due);  // still the one timer, in its rhythm

    for (int i = 0; i < 10; ++i) form->Timer1_Timer();
    EXPECT_EQ(GetScrollPos(Find("VScroll1"), SB_CTL), 90);
    EXPECT_EQ(Text(readout), L"Моментна стойност: 10");
    EXPECT_EQ(SendMessageW(on, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageW(off, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_DOUBLE_EQ(form->Regulator().GaugeRatio(), 0.9);

    SendMessageW(Find("Command1_1"), BM_CLICK, 0, 0);
    EXPECT_FALSE(form->Timer1().IsRunning());
    EXPECT_EQ(SendMessageW(off, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_TRUE(form->Regulator().State().HeaterOn);
    EXPECT_TRUE(fatalMessages.empty());
}

TEST_F(WindowTest, TabFollowsTheDesignOrderAndTheKeyboardPressesButtons) {
    ASSERT_EQ(GetFocus(), Find("Text1_0"));
    std::vector<std::string> visited;
    const char* names[] = {"Text1_0", "Picture1", "VScroll1",   "Text2_0",
                           "Text2_1", "Text2_2",  "Command1_0", "Command1_1"};
    for (int i = 0; i < 8; ++i) {
        Key(VK_TAB);
        std::string name = "?";
        for (const char* candidate : names) {
            if (GetFocus() == form->Control(candidate)) name = candidate;
        }
        visited.push_back(name);
    }
    EXPECT_EQ(visited, (std::vector<std::string>{"Picture1", "VScroll1", "Text2_0", "Text2_1", "Text2_2", "Command1_0",
                                                 "Command1_1", "Text1_0"}));

    SetFocus(Find("Command1_0"));
    Key(VK_SPACE);
    EXPECT_TRUE(form->Timer1().IsRunning());
    SetFocus(Find("Command1_1"));
    Key(VK_RETURN);
    EXPECT_FALSE(form->Timer1().IsRunning());
    SetFocus(Find("Command1_0"));
    Key(VK_RETURN);
    EXPECT_TRUE(form->Timer1().IsRunning());
}

TEST_F(WindowTest, TheScaleMovesByOneAndADragCountsOnRelease) {
    HWND scale = Find("VScroll1"), readout = Find("Label1_1");
    const auto scroll = [&](WORD request, int position = 0) {
        SendMessageW(form->Hwnd(), WM_VSCROLL, MAKEWPARAM(request, position), reinterpret_cast<LPARAM>(scale));
    };
    SetFocus(scale);
    Key(VK_UP);  // the scroll bar's own keyboard handling
    EXPECT_EQ(GetScrollPos(scale, SB_CTL), 99);
    EXPECT_EQ(Text(readout), L"Моментна стойност: 1");
    scroll(SB_PAGEUP);
    EXPECT_EQ(GetScrollPos(scale, SB_CTL), 98);
    scroll(SB_LINEDOWN);
    EXPECT_EQ(GetScrollPos(scale, SB_CTL), 99);

    // Real clicks on the arrows and the track.
    RECT bar{};
    GetClientRect(scale, &bar);
    Click(scale, {bar.right / 2, 5});  // the up arrow
    EXPECT_EQ(GetScrollPos(scale, SB_CTL), 98);
    Click(scale, {bar.right / 2, bar.bottom / 3});  // the track above the thumb
    EXPECT_EQ(GetScrollPos(scale, SB_CTL), 97);
    Click(scale, {bar.right / 2, bar.bottom - 5});  // the down arrow
    EXPECT_EQ(GetScrollPos(scale, SB_CTL), 98);
    EXPECT_EQ(Text(readout), L"Моментна стойност: 2");

    // While the thumb is dragged nothing changes; on release the gauge follows.
    scroll(SB_THUMBTRACK, 19);
    EXPECT_EQ(Text(readout), L"Моментна стойност: 2");
    scroll(SB_THUMBPOSITION, 19);
    EXPECT_EQ(GetScrollPos(scale, SB_CTL), 19);
    EXPECT_EQ(Text(readout), L"Моментна стойност: 81");
    EXPECT_DOUBLE_EQ(form->Regulator().GaugeRatio(), 0.19);
    // At the ends a step goes no further.
    scroll(SB_THUMBPOSITION, 0);
    scroll(SB_LINEUP);
    EXPECT_EQ(GetScrollPos(scale, SB_CTL), 0);
    EXPECT_TRUE(fatalMessages.empty());
}

TEST_F(WindowTest, TheOptionButtonsIgnoreRealClicksAndAreDrawnInTheirColours) {
    HWND on = Find("Option1_0"), off = Find("Option1_1");
    RECT box{};
    GetClientRect(on, &box);
    Click(on, {8, box.bottom / 2});  // on its circle
    Click(on, {box.right / 2, box.bottom / 2});
    EXPECT_EQ(SendMessageW(on, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageW(off, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_TRUE(IsWindowEnabled(on));
    EXPECT_FALSE(GetWindowLongPtrW(on, GWL_STYLE) & WS_TABSTOP);

    Settle();
    for (const auto& [option, colour] : {std::pair{on, RGB(255, 128, 0)}, std::pair{off, RGB(0, 192, 0)}}) {
        const ScreenPixels pixels(ClientOnScreen(option));
        EXPECT_EQ(pixels.At(pixels.Width() - 3, 2), colour) << Hex(pixels.At(pixels.Width() - 3, 2));
        // The caption is drawn in black, not in the grey of a disabled control.
        int black = 0, grey = 0;
        for (int y = 0; y < pixels.Height(); ++y) {
            for (int x = 20; x < pixels.Width(); ++x) {
                black += pixels.At(x, y) == RGB(0, 0, 0);
                grey += pixels.At(x, y) == GetSysColor(COLOR_GRAYTEXT);
            }
        }
        EXPECT_GT(black, 20);
        EXPECT_EQ(grey, 0);
    }
}

TEST_F(WindowTest, ColoursShowAsDesigned) {
    const ScreenPixels pixels(ClientOnScreen(form->Hwnd()));
    const COLORREF label = RGB(255, 192, 128);
    const struct {
        const char* what;
        POINT at;
        COLORREF colour;
    } cases[] = {
        {"window background", {470, 5}, RGB(192, 192, 255)},
        {"title label", {398, 22}, label},
        {"readout label", {414, 230}, label},
        {"temperature label", {102, 46}, label},
        {"start button", {172, 188}, RGB(0, 255, 0)},
        {"stop button", {372, 188}, RGB(255, 0, 0)},
        {"start button, right", {244, 180}, RGB(0, 255, 0)},
        {"frame inside", {136 + 164, 112 + 50}, RGB(192, 192, 255)},
        {"on option", {136 + 16 + 102, 112 + 24 + 22}, RGB(255, 128, 0)},
        {"off option", {136 + 216 + 102, 112 + 24 + 22}, RGB(0, 192, 0)},
        {"gauge at start", {56, 136}, RGB(100, 130, 230)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(pixels.At(c.at.x, c.at.y), c.colour)
            << c.what << " at " << c.at.x << "," << c.at.y << ": " << Hex(pixels.At(c.at.x, c.at.y));
    }
    // Locked boxes look like ordinary ones: mostly the white of a text box
    // (the system's window colour), not the grey of a read-only one.
    for (const char* locked : {"Text1_0", "Text2_1"}) {
        const ScreenPixels box(ClientOnScreen(Find(locked)));
        int white = 0;
        for (int y = 0; y < box.Height(); ++y) {
            for (int x = 0; x < box.Width(); ++x) white += box.At(x, y) == GetSysColor(COLOR_WINDOW);
        }
        EXPECT_GT(white, box.Width() * box.Height() / 2) << locked;
    }
}

struct GaugeCase {
    int value;
    int redRows;  // of the 173 rows inside the border
};

// Every row inside the border is all red or all blue, red only below blue;
// the number of red rows.
int RedRows(const ScreenPixels& inside, int value) {
    int red = 0;
    for (int y = 0; y < inside.Height(); ++y) {
        const COLORREF first = inside.At(0, y);
        EXPECT_TRUE(first == RGB(210, 30, 30) || first == RGB(100, 130, 230))
            << "value " << value << " row " << y << ": " << Hex(first);
        for (int x = 1; x < inside.Width(); ++x) {
            if (inside.At(x, y) != first) {
                ADD_FAILURE() << "value " << value << " at " << x << "," << y << ": " << Hex(inside.At(x, y));
                return -1;
            }
        }
        if (first == RGB(210, 30, 30)) {
            ++red;
        } else if (red > 0) {
            ADD_FAILURE() << "value " << value << ": blue below red at row " << y;
        }
    }
    return red;
}

TEST_F(WindowTest, GaugeSplitsRedBelowAndBlueAboveTheLevelAndKeepsItsDrawing) {
    HWND gauge = Find("Picture1");
    // Value 19: the level lies 0.19 x 177 = 33.6 px below the top of the
    // drawing area, so 173 - 34 rows are red, about 81 % of the column.
    for (const GaugeCase c : {GaugeCase{19, 139}, GaugeCase{100, 0}, GaugeCase{0, 173}, GaugeCase{50, 84}}) {
        SendMessageW(form->Hwnd(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, c.value),
                     reinterpret_cast<LPARAM>(Find("VScroll1")));
        Settle();
        const ScreenPixels inside(ClientOnScreen(gauge));
        ASSERT_EQ(inside.Height(), 173);
        EXPECT_EQ(RedRows(inside, c.value), c.redRows) << "value " << c.value;

        // Covering and uncovering the window shows the same drawing.
        RECT area = ClientOnScreen(form->Hwnd());
        HWND cover = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | WS_VISIBLE, area.left, area.top,
                                     area.right - area.left, area.bottom - area.top, nullptr, nullptr, nullptr,
                                     nullptr);
        Settle();
        EXPECT_FALSE(ScreenPixels(ClientOnScreen(gauge)) == inside) << "the cover did not cover";
        DestroyWindow(cover);
        Settle();
        EXPECT_TRUE(ScreenPixels(ClientOnScreen(gauge)) == inside) << "value " << c.value;
    }
}

TEST_F(WindowTest, AFatalErrorStopsTheRunAndIsReportedOnce) {
    SendMessageW(Find("Command1_0"), BM_CLICK, 0, 0);
    ASSERT_TRUE(form->Timer1().IsRunning());
    // A thumb released outside Min..Max: the scroll bar's fatal error.
    SendMessageW(form->Hwnd(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 150),
                 reinterpret_cast<LPARAM>(Find("VScroll1")));
    ASSERT_EQ(fatalMessages.size(), 1u);
    EXPECT_EQ(fatalMessages[0].rfind("Недопустима стойност на свойство", 0), 0u) << fatalMessages[0];
    EXPECT_TRUE(form->HasFailed());
    EXPECT_FALSE(form->Timer1().IsRunning());
    form->Timer1_Timer();  // a tick already queued does nothing more
    SendMessageW(Find("Command1_0"), BM_CLICK, 0, 0);
    EXPECT_EQ(fatalMessages.size(), 1u);
    EXPECT_FALSE(form->Timer1().IsRunning());
    EXPECT_EQ(GetScrollPos(Find("VScroll1"), SB_CTL), 100);
}

// IAccessible's interface identifier, as oleacc.h declares it (the copy in
// MinGW's import library does not match what Wine's oleacc answers to).
constexpr IID kIAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

TEST_F(WindowTest, ControlsHaveNamesAScreenReaderCanSpeak) {
    const struct {
        const char* control;
        const wchar_t* name;
    } cases[] = {
        {"Text2_0", L"Долен праг"},  {"Text2_1", L"Базова максимална стойност"},
        {"Text2_2", L"Горен праг"},  {"VScroll1", L"Температура"},
        {"Picture1", L"Термометър"}, {"Text1_0", L"Обяснение"},
        {"Text1_1", L"Афоризъм"},    {"Command1_0", L"Пусни"},
        {"Option1_0", L"Включено"},  {"Label1_1", L"Моментна стойност: 0"},
    };
    for (const auto& c : cases) {
        IAccessible* accessible = nullptr;
        ASSERT_EQ(AccessibleObjectFromWindow(Find(c.control), static_cast<DWORD>(OBJID_CLIENT), kIAccessible,
                                             reinterpret_cast<void**>(&accessible)),
                  S_OK)
            << c.control;
        VARIANT self{};
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        BSTR name = nullptr;
        accessible->get_accName(self, &name);
        EXPECT_STREQ(name != nullptr ? name : L"", c.name) << c.control;
        SysFreeString(name);
        accessible->Release();
    }
}

// Run on its own with the user's locale Bulgarian (LC_ALL=bg_BG.UTF-8 for
// Wine, tests/win32/CMakeLists.txt): numbers are written with a comma and
// read only up to it. The locale and its separator are checked first, so
// that the test cannot pass in a locale that writes a point.
class BulgarianLocale : public WindowTest {};

TEST_F(BulgarianLocale, FractionsAreWrittenWithACommaAndTheNextTickReadsTheWholePart) {
    wchar_t locale[LOCALE_NAME_MAX_LENGTH] = {};
    GetUserDefaultLocaleName(locale, LOCALE_NAME_MAX_LENGTH);
    wchar_t separator[8] = {};
    GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8);
    const std::string seen =
        "the user's locale is " + Utf8(locale) + ", its decimal separator \"" + Utf8(separator) + "\"";
    std::printf("%s\n", seen.c_str());
    RecordProperty("user_locale", Utf8(locale));
    ASSERT_STREQ(locale, L"bg-BG") << "this test needs the Bulgarian locale: " << seen;
    ASSERT_STREQ(separator, L",") << seen;
    EXPECT_EQ(form->Regulator().Format().decimalSeparator, ",");
    HWND lower = Find("Text2_0"), upper = Find("Text2_2");
    SetWindowTextW(lower, L"99");
    SetWindowTextW(upper, L"11");
    form->Timer1_Timer();
    EXPECT_EQ(Text(lower), L"11");
    EXPECT_EQ(Text(upper), L"13,2");
    form->Timer1_Timer();
    EXPECT_EQ(Text(upper), L"13");
}

// Run on its own in a Wine prefix whose system DPI is 144 (150 %).
class Dpi144 : public WindowTest {};

TEST_F(Dpi144, TheWindowIsLaidOutFromTwipsAtItsDpiAndTheGaugeStaysExact) {
    ASSERT_EQ(form->Dpi(), 144u) << "this test needs a system DPI of 144";
    ExpectGeometry(*form, 1.5);
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(Find("Label1_0"), WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_EQ(font.lfHeight, -24);  // 12 pt at 144 DPI

    HWND gauge = Find("Picture1");
    RECT outer{};
    GetWindowRect(gauge, &outer);
    for (const int value : {19, 100, 0}) {
        SendMessageW(form->Hwnd(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, value),
                     reinterpret_cast<LPARAM>(Find("VScroll1")));
        Settle();
        const ScreenPixels inside(ClientOnScreen(gauge));
        // The level lies value % of the outer height below the top of the inside.
        const int level = static_cast<int>(std::lround(value / 100.0 * (outer.bottom - outer.top)));
        EXPECT_EQ(RedRows(inside, value), std::max(0, inside.Height() - level)) << "value " << value;
    }
    const ScreenPixels pixels(ClientOnScreen(form->Hwnd()));
    EXPECT_EQ(pixels.At(Scaled(172, 1.5), Scaled(188, 1.5)), RGB(0, 255, 0));
    EXPECT_EQ(pixels.At(Scaled(254, 1.5), Scaled(158, 1.5)), RGB(255, 128, 0));
}

}  // namespace
}  // namespace win32_window::testing
