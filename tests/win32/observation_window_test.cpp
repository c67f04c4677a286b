// The view "Наблюдение" of the real window under Wine: opened and closed
// with F2, the system menu's item and its close box; after a run of known
// ticks its figures, its table and the clipboard; the trace's pixels
// between the dashed threshold lines; what screen readers read of it.
// Ticks are driven directly, with the system's timer stopped.

#include "observation_view.h"
#include "texts.h"
#include "view_design.h"
#include "view_placement.h"
#include "win32_text.h"
#include "window_fixture.h"

#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <string_view>
#include <string>
#include <vector>

namespace win32_window::testing {
namespace {

namespace texts = design::texts;

// IAccessible's interface identifier, as oleacc.h declares it (the copy in
// MinGW's import library does not match what Wine's oleacc answers to).
constexpr IID kIAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// The run every test here makes: the thresholds 81 and 90, the climb from
// 0 to 90 and ten whole cycles of 18 ticks.
constexpr int kRunTicks = 90 + 18 * 10;

class ObservationTest : public WindowTest {
protected:
    HWND View() const { return form->Observation().Hwnd(); }
    HWND ViewControl(const char* name) const {
        HWND control = form->Observation().Control(name);
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    bool MenuChecked() const {
        const UINT state =
            GetMenuState(GetSystemMenu(form->Hwnd(), FALSE), MainForm::kObservationCommand, MF_BYCOMMAND);
        EXPECT_NE(state, static_cast<UINT>(-1)) << "no such item in the system menu";
        return (state & MF_CHECKED) != 0;
    }
    // "Пусни", with the ticks left to the test.
    void Start() {
        SendMessageW(Find("Command1_0"), BM_CLICK, 0, 0);
        KillTimer(form->Hwnd(), form->Timer1().Id());
    }
    void Ticks(int count) {
        for (int i = 0; i < count; ++i) form->Timer1_Timer();
    }
    // "Пусни", then the view opened with F2 from the main window, then the
    // run. (Under Wine a window that is activated comes above the windows
    // it owns, which Windows never lets happen: the main window is
    // activated before the view opens, so that the view is seen whole.)
    void StartOpenAndRun(int ticks) {
        Start();
        SetFocus(Find("Text1_0"));
        Key(VK_F2);
        ASSERT_TRUE(View() != nullptr && IsWindowVisible(View()));
        Ticks(ticks);
        SettleView();
    }
    void SettleView() {
        Settle();
        if (View() != nullptr) RedrawWindow(View(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        GdiFlush();
        Pump(form.get());
    }
    // The name of the control with the focus, among the view's.
    std::string Focused() const {
        for (const design::WidgetSpec& spec : design::ObservationTable()) {
            if (GetFocus() == form->Observation().Control(spec.name)) return spec.name;
        }
        return "?";
    }
    // The view's rows of these kinds, in the table's order.
    static std::vector<const design::WidgetSpec*> Rows(std::initializer_list<design::WidgetKind> kinds) {
        std::vector<const design::WidgetSpec*> rows;
        for (const design::WidgetSpec& spec : design::ObservationTable()) {
            if (std::find(kinds.begin(), kinds.end(), spec.kind) != kinds.end()) rows.push_back(&spec);
        }
        return rows;
    }
    // The labels that show figures.
    static std::vector<const design::WidgetSpec*> FigureRows() {
        std::vector<const design::WidgetSpec*> rows;
        for (const design::WidgetSpec* spec : Rows({design::WidgetKind::Label})) {
            if (spec->text == nullptr) rows.push_back(spec);
        }
        return rows;
    }
    // Every control of the view in its box of the layout for the client
    // height it was given, at its DPI.
    void ExpectLaidOut() const {
        const UINT dpi = form->Observation().Dpi();
        const int height = form->Observation().ClientHeightTwips();
        RECT client{};
        GetClientRect(View(), &client);
        EXPECT_EQ(client.right, design::TwipsToWholePixels(design::kObservationWidthTwips, static_cast<int>(dpi)));
        EXPECT_EQ(client.bottom, design::TwipsToWholePixels(height, static_cast<int>(dpi)));
        const auto pixels = [dpi](int twips) { return design::TwipsToWholePixels(twips, static_cast<int>(dpi)); };
        const auto boxes = regulator::LayOutObservation(height);
        const auto table = design::ObservationTable();
        ASSERT_EQ(boxes.size(), table.size());
        for (std::size_t i = 0; i < table.size(); ++i) {
            RECT shown{};
            GetWindowRect(form->Observation().Control(table[i].name), &shown);
            MapWindowPoints(nullptr, View(), reinterpret_cast<POINT*>(&shown), 2);
            const regulator::TwipsBox& box = boxes[i];
            EXPECT_EQ(shown.left, pixels(box.left)) << table[i].name;
            EXPECT_EQ(shown.top, pixels(box.top)) << table[i].name;
            EXPECT_EQ(shown.right, pixels(box.left + box.width)) << table[i].name;
            EXPECT_EQ(shown.bottom, pixels(box.top + box.height)) << table[i].name;
        }
    }
    // The view beside the main window: within the work area, a gap from
    // the window, over none of it.
    void ExpectBesideTheWindow() const {
        RECT work{}, main{}, view{};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        GetWindowRect(form->Hwnd(), &main);
        GetWindowRect(View(), &view);
        EXPECT_GE(view.left, work.left);
        EXPECT_GE(view.top, work.top);
        EXPECT_LE(view.right, work.right);
        EXPECT_LE(view.bottom, work.bottom);
        RECT overlap{};
        EXPECT_FALSE(IntersectRect(&overlap, &main, &view)) << "the view covers the window";
        const int gap = MulDiv(design::view::kGapPixels, static_cast<int>(form->Observation().Dpi()), 96);
        EXPECT_TRUE(view.left == main.right + gap || view.right + gap == main.left || view.top == main.bottom + gap)
            << "view at " << view.left << "," << view.top << ", window " << main.left << ".." << main.right;
    }
    regulator::ObservationPicture Expected() const {
        return regulator::DrawObservation(form->Logic().Observation(), form->Regulator().Format());
    }
};

std::wstring Cell(HWND table, int row, int column) {
    wchar_t text[256] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 256;
    SendMessageW(table, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return text;
}

std::wstring ClipboardText() {
    std::wstring text;
    if (!OpenClipboard(nullptr)) return L"(the clipboard could not be opened)";
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* locked = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = locked;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

void PutOnClipboardFromTest(const wchar_t* text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    const std::size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    std::memcpy(GlobalLock(memory), text, bytes);
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
}

struct Accessible {
    std::wstring name, description;
    LONG role = 0;
};

Accessible ReadAccessible(HWND control) {
    Accessible read;
    IAccessible* accessible = nullptr;
    if (AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), kIAccessible,
                                   reinterpret_cast<void**>(&accessible)) != S_OK) {
        ADD_FAILURE() << "no accessible object";
        return read;
    }
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    for (auto [property, out] : {std::pair{&IAccessible::get_accName, &read.name},
                                 std::pair{&IAccessible::get_accDescription, &read.description}}) {
        BSTR text = nullptr;
        if ((accessible->*property)(self, &text) == S_OK && text != nullptr) *out = std::wstring(text);
        SysFreeString(text);
    }
    VARIANT role{};
    if (accessible->get_accRole(self, &role) == S_OK && role.vt == VT_I4) read.role = role.lVal;
    accessible->Release();
    return read;
}

TEST_F(ObservationTest, F2TheSystemMenuAndTheCloseBoxOpenAndCloseTheViewBesideTheWindow) {
    HWND main = form->Hwnd();
    EXPECT_EQ(View(), nullptr) << "closed at start";
    wchar_t item[64] = {};
    GetMenuStringW(GetSystemMenu(main, FALSE), MainForm::kObservationCommand, item, 64, MF_BYCOMMAND);
    EXPECT_EQ(std::wstring(item), Wide(texts::kObservationMenuItem));
    EXPECT_FALSE(MenuChecked());

    // With room on its right, the view opens there, level with the window,
    // which stays where it is.
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT centred{};
    GetWindowRect(main, &centred);
    SetWindowPos(main, nullptr, work.left, work.top + 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ASSERT_EQ(GetFocus(), Find("Text1_0"));
    Key(VK_F2);
    ASSERT_NE(View(), nullptr);
    EXPECT_TRUE(IsWindowVisible(View()));
    EXPECT_TRUE(form->Logic().ObservationShown());
    EXPECT_TRUE(MenuChecked());
    EXPECT_EQ(GetWindow(View(), GW_OWNER), main);
    EXPECT_EQ(Text(View()), Wide(texts::kObservationTitle));
    RECT beside{}, view{}, client{};
    GetWindowRect(main, &beside);
    GetWindowRect(View(), &view);
    GetClientRect(View(), &client);
    EXPECT_EQ(beside.left, work.left);
    EXPECT_EQ(beside.top, work.top + 20);
    EXPECT_EQ(view.left, beside.right + design::view::kGapPixels);
    EXPECT_EQ(view.top, std::min(beside.top, work.bottom - (view.bottom - view.top))) << "level where it can be";
    // As high as designed, or as the screen where it is lower.
    if (form->Observation().ClientHeightTwips() < design::kObservationHeightTwips) {
        EXPECT_GE(view.bottom - view.top, work.bottom - work.top - 2) << "made lower than the screen";
    }
    ExpectLaidOut();
    ExpectBesideTheWindow();

    // The view is active with its first drawing focused; Tab visits the
    // drawings, the table and the button, and comes round.
    EXPECT_EQ(GetActiveWindow(), View());
    std::vector<std::string> stops;
    for (const design::WidgetSpec* spec :
         Rows({design::WidgetKind::PictureBox, design::WidgetKind::Table, design::WidgetKind::PushButton})) {
        stops.push_back(spec->name);
    }
    ASSERT_GE(stops.size(), 2u);
    EXPECT_EQ(Focused(), stops.front());
    std::vector<std::string> visited;
    for (std::size_t i = 0; i < stops.size(); ++i) {
        Key(VK_TAB);
        visited.push_back(Focused());
    }
    std::rotate(stops.begin(), stops.begin() + 1, stops.end());
    EXPECT_EQ(visited, stops);

    // F2 in the view's table closes it; the window has its focus back.
    SetFocus(ViewControl("Bands"));
    Key(VK_F2);
    EXPECT_FALSE(IsWindowVisible(View()));
    EXPECT_FALSE(form->Logic().ObservationShown());
    EXPECT_FALSE(MenuChecked());
    EXPECT_EQ(GetFocus(), Find("Text1_0"));

    // The system menu's item, twice.
    SendMessageW(main, WM_SYSCOMMAND, MainForm::kObservationCommand, 0);
    EXPECT_TRUE(IsWindowVisible(View()));
    EXPECT_TRUE(MenuChecked());
    SendMessageW(main, WM_SYSCOMMAND, MainForm::kObservationCommand, 0);
    EXPECT_FALSE(IsWindowVisible(View()));
    EXPECT_FALSE(MenuChecked());

    // Back in the middle of a screen without room on either side, the
    // window and the view move together so that they fit side by side.
    SetWindowPos(main, nullptr, centred.left, centred.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SetFocus(Find("Text2_0"));
    Key(VK_F2);
    ASSERT_TRUE(IsWindowVisible(View()));
    GetWindowRect(View(), &view);
    const LONG width = view.right - view.left;
    ASSERT_TRUE(centred.right + width > work.right && centred.left - width < work.left) << "the screen is wide enough";
    ExpectBesideTheWindow();
    RECT moved{};
    GetWindowRect(main, &moved);
    EXPECT_NE(moved.left, centred.left) << "the window made room";

    // Its close box hides it; the logic and the menu know; the window
    // stays where it was moved to.
    SendMessageW(View(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(View()));
    EXPECT_FALSE(form->Logic().ObservationShown());
    EXPECT_FALSE(MenuChecked());
    EXPECT_EQ(GetFocus(), Find("Text2_0"));
    RECT after{};
    GetWindowRect(main, &after);
    EXPECT_TRUE(EqualRect(&after, &moved));
    Key(VK_F2);
    EXPECT_TRUE(IsWindowVisible(View()));

    // Closing the window closes the view.
    HWND closed = View();
    form.reset();
    Pump(nullptr);
    EXPECT_FALSE(IsWindow(closed));
}

// The trace's pixels on the screen: the dashed threshold lines are the
// rows mostly of their dark grey, with gaps; from the first cooling on,
// every red or blue pixel lies between them (within the pen's width), and
// the trace reaches both; before it, the first heating climbs from below.
void ExpectTraceBetweenTheThresholds(HWND trace, UINT dpi) {
    const ScreenPixels pixels(ClientOnScreen(trace));
    const COLORREF dash = ToColorRef(design::kChromeDarkShadow);
    const COLORREF red = ToColorRef(design::kGaugeRed), blue = ToColorRef(design::kGaugeBlue);
    const auto isTrace = [&](COLORREF c) { return c == red || c == blue; };

    std::vector<std::pair<int, int>> lines;  // first and last row of each
    for (int y = 0; y < pixels.Height(); ++y) {
        int dashed = 0, gaps = 0;
        for (int x = 0; x < pixels.Width(); ++x) dashed += pixels.At(x, y) == dash;
        for (int x = 1; x + 1 < pixels.Width(); ++x) {
            gaps += pixels.At(x - 1, y) == dash && pixels.At(x, y) != dash && !isTrace(pixels.At(x, y));
        }
        if (dashed < pixels.Width() / 4 || gaps == 0) continue;
        if (!lines.empty() && lines.back().second == y - 1) {
            lines.back().second = y;
        } else {
            lines.push_back({y, y});
        }
    }
    ASSERT_EQ(lines.size(), 2u) << "dashed lines";
    const int upper = lines[0].first, lower = lines[1].second;
    const int tolerance = static_cast<int>(std::lround(2.0 * dpi / design::kStandardDpi));

    int firstCooling = pixels.Width();
    for (int x = 0; x < pixels.Width() && firstCooling == pixels.Width(); ++x) {
        for (int y = 0; y < pixels.Height(); ++y) {
            if (pixels.At(x, y) == blue) firstCooling = x;
        }
    }
    ASSERT_LT(firstCooling, pixels.Width()) << "no blue in the trace";
    int steady = 0, outside = 0, belowBefore = 0, top = pixels.Height(), bottom = -1;
    bool redAfter = false;
    for (int y = 0; y < pixels.Height(); ++y) {
        for (int x = 0; x < pixels.Width(); ++x) {
            if (!isTrace(pixels.At(x, y))) continue;
            if (x < firstCooling) {
                belowBefore += y > lower + tolerance;
                continue;
            }
            ++steady;
            redAfter = redAfter || pixels.At(x, y) == red;
            top = std::min(top, y);
            bottom = std::max(bottom, y);
            if (y < upper - tolerance || y > lower + tolerance) {
                if (outside++ == 0) ADD_FAILURE() << "trace at " << x << "," << y << " outside the band";
            }
        }
    }
    EXPECT_EQ(outside, 0);
    EXPECT_GT(steady, 100) << "the ten cycles are drawn";
    EXPECT_TRUE(redAfter) << "the heating within the band is red";
    EXPECT_LE(std::abs(top - upper), tolerance) << "the trace reaches the upper threshold";
    EXPECT_LE(std::abs(bottom - lower), tolerance) << "the trace reaches the lower threshold";
    EXPECT_GT(belowBefore, 0) << "the first heating climbs from below the band";
}

// The windows text was written to (WM_SETTEXT, LVM_SETITEMTEXTW), as a
// hook on the thread sees the messages.
std::vector<HWND>* written = nullptr;
LRESULT CALLBACK WatchWrites(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && written != nullptr &&
        (message->message == WM_SETTEXT || message->message == LVM_SETITEMTEXTW)) {
        written->push_back(message->hwnd);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(ObservationTest, AfterARunTheViewShowsTheFiguresTheTableAndTheTraceAndTellsScreenReaders) {
    std::vector<HWND> writes;
    written = &writes;
    const HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, &WatchWrites, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    StartOpenAndRun(kRunTicks);
    UnhookWindowsHookEx(hook);
    written = nullptr;
    // Texts are written when they change, not at every tick: a figure or a
    // cell changes at most once a switching (21), the table's row is made
    // once (5 cells).
    const auto figureRows = FigureRows();
    auto written = Rows({design::WidgetKind::Table});
    written.insert(written.end(), figureRows.begin(), figureRows.end());
    for (const design::WidgetSpec* spec : written) {
        const auto count = std::count(writes.begin(), writes.end(), ViewControl(spec->name));
        EXPECT_GT(count, 0) << spec->name;
        EXPECT_LE(count, spec->kind == design::WidgetKind::Table ? 5 * 22 : 22) << spec->name;
    }
    // The figures' labels, in the table's order, show the picture's figures.
    const std::vector<std::string> figures = {
        std::string(texts::kSwitchingsFigure) + "21",
        std::string(texts::kPerMinuteFigure) + "66.7",
        std::string(texts::kMeanTimeFigure) + "0.9" + texts::kSecondsUnit,
    };
    ASSERT_EQ(figureRows.size(), figures.size());
    EXPECT_EQ(Expected().figures, figures);
    for (std::size_t i = 0; i < figures.size(); ++i) {
        EXPECT_EQ(Utf8(Text(ViewControl(figureRows[i]->name))), figures[i]);
    }

    // A list view in report view, its header the five columns side by
    // side, each wide enough for its text.
    HWND bands = ViewControl("Bands");
    wchar_t className[64] = {};
    GetClassNameW(bands, className, 64);
    EXPECT_STREQ(className, WC_LISTVIEWW);
    EXPECT_EQ(GetWindowLongPtrW(bands, GWL_STYLE) & LVS_TYPEMASK, LVS_REPORT);
    const auto header = reinterpret_cast<HWND>(SendMessageW(bands, LVM_GETHEADER, 0, 0));
    ASSERT_NE(header, nullptr);
    ASSERT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), static_cast<LRESULT>(texts::kBandsTableHeaders.size()));
    // The header and the cells in the design's table font, every column in
    // its cell alignment.
    for (HWND control : {bands, header}) {
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
        EXPECT_EQ(std::abs(font.lfHeight), MulDiv(design::view::kTablePointSize, 96, 72));
    }
    const int alignment = design::view::kCellAlignment == design::view::Alignment::Centre  ? LVCFMT_CENTER
                          : design::view::kCellAlignment == design::view::Alignment::Right ? LVCFMT_RIGHT
                                                                                           : LVCFMT_LEFT;
    for (int i = 0; i < static_cast<int>(texts::kBandsTableHeaders.size()); ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_FMT;
        ASSERT_TRUE(SendMessageW(bands, LVM_GETCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column)));
        EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, alignment) << "column " << i;
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        EXPECT_EQ(item.fmt & HDF_JUSTIFYMASK, alignment) << "header " << i;
    }
    HDC dc = GetDC(header);
    HGDIOBJ font = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(header, WM_GETFONT, 0, 0)));
    RECT table{}, shown{};
    GetClientRect(bands, &table);
    for (int i = 0; i < static_cast<int>(texts::kBandsTableHeaders.size()); ++i) {
        wchar_t text[128] = {};
        HDITEMW column{};
        column.mask = HDI_TEXT;
        column.pszText = text;
        column.cchTextMax = 128;
        SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
        EXPECT_EQ(std::wstring(text), Wide(texts::kBandsTableHeaders[static_cast<std::size_t>(i)])) << "column " << i;
        SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&shown));
        SIZE needed{};
        GetTextExtentPoint32W(dc, text, static_cast<int>(wcslen(text)), &needed);
        EXPECT_GT(shown.right - shown.left, needed.cx) << "column " << i;
    }
    EXPECT_LE(shown.right, table.right) << "the last column ends within the table";
    SelectObject(dc, font);
    ReleaseDC(header, dc);
    ASSERT_EQ(SendMessageW(bands, LVM_GETITEMCOUNT, 0, 0), 1);
    std::vector<std::wstring> row;
    for (int column = 0; column < 5; ++column) row.push_back(Cell(bands, 0, column));
    EXPECT_EQ(row, (std::vector<std::wstring>{L"81", L"90", L"9", L"66.7", L"66.7"}));

    ExpectTraceBetweenTheThresholds(ViewControl("Trace"), form->Observation().Dpi());

    // What screen readers read of the drawings: their titles, and their
    // descriptions as they are now, after the run and 1.4 s later (anew
    // where a drawing's description changed).
    const auto drawings = Rows({design::WidgetKind::PictureBox});
    std::vector<std::wstring> before(drawings.size());
    std::vector<std::string> expectedBefore(drawings.size());
    int describedAnew = 0;
    for (int round = 0; round < 2; ++round) {
        const regulator::ObservationPicture expected = Expected();
        ASSERT_EQ(expected.plots.size(), drawings.size());
        for (std::size_t i = 0; i < drawings.size(); ++i) {
            const char* control = drawings[i]->name;
            EXPECT_STREQ(expected.plots[i].name, control);
            const Accessible read = ReadAccessible(ViewControl(control));
            EXPECT_EQ(read.name, Wide(drawings[i]->accessibleName)) << control;
            EXPECT_EQ(read.role, ROLE_SYSTEM_CHART) << control;
            EXPECT_EQ(Utf8(read.description), expected.plots[i].description) << control << ", round " << round;
            if (round == 0) {
                before[i] = read.description;
                expectedBefore[i] = expected.plots[i].description;
            } else if (expected.plots[i].description != expectedBefore[i]) {
                EXPECT_NE(read.description, before[i]) << control << " was not described anew";
                ++describedAnew;
            }
        }
        if (round == 0) Ticks(14);
    }
    EXPECT_GT(describedAnew, 0) << "the run changed no drawing's description";
    EXPECT_EQ(ReadAccessible(bands).name, Wide(texts::kBandsTableName));
    EXPECT_EQ(ReadAccessible(ViewControl(figureRows[1]->name)).name, Text(ViewControl(figureRows[1]->name)));

    // "Копирай таблицата", pressed from the keyboard: the table as
    // tab-separated lines ending in "\r\n".
    PutOnClipboardFromTest(L"before");
    HWND copy = ViewControl("CopyBands");
    EXPECT_EQ(Text(copy), Wide(texts::kCopyTable));
    SetFocus(copy);
    Key(VK_SPACE);
    std::wstring expected;
    for (std::size_t i = 0; i < texts::kBandsTableHeaders.size(); ++i) {
        expected += (i > 0 ? L"\t" : L"") + Wide(texts::kBandsTableHeaders[i]);
    }
    expected += L"\r\n81\t90\t9\t66.7\t66.7\r\n";
    EXPECT_EQ(ClipboardText(), expected);
    EXPECT_TRUE(fatalMessages.empty());
}

// In a Bulgarian locale the figures and the table use the comma.
class BulgarianLocaleObservation : public ObservationTest {};

TEST_F(BulgarianLocaleObservation, TheFiguresAndTheTableUseTheUsersDecimalSign) {
    ASSERT_EQ(form->Regulator().Format().decimalSeparator, ",") << "this test needs the Bulgarian locale";
    StartOpenAndRun(kRunTicks);
    EXPECT_EQ(Utf8(Text(ViewControl(FigureRows().at(1)->name))), std::string(texts::kPerMinuteFigure) + "66,7");
    EXPECT_EQ(Cell(ViewControl("Bands"), 0, 3), L"66,7");
}

// At a system DPI of 144 the view is laid out and drawn at 150 %.
class Dpi144Observation : public ObservationTest {};

TEST_F(Dpi144Observation, TheViewIsLaidOutAndDrawnAtItsDpi) {
    ASSERT_EQ(form->Dpi(), 144u) << "this test needs a system DPI of 144";
    StartOpenAndRun(kRunTicks);
    EXPECT_EQ(form->Observation().Dpi(), 144u);
    // The screen cannot hold the window and the view side by side nor one
    // above the other at 150 %: the view is made lower, its drawings
    // shrinking, and stays within the work area, clear of the window's
    // controls.
    EXPECT_LT(form->Observation().ClientHeightTwips(), design::kObservationHeightTwips);
    ExpectLaidOut();
    RECT work{}, view{}, main{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(View(), &view);
    GetWindowRect(form->Hwnd(), &main);
    EXPECT_LE(view.bottom, work.bottom);
    POINT clientTop{0, 0};
    ClientToScreen(form->Hwnd(), &clientTop);
    const int controlsBottom = clientTop.y + design::TwipsToWholePixels(regulator::MainControlsBottomTwips(), 144);
    RECT overlap{};
    if (IntersectRect(&overlap, &main, &view)) EXPECT_GE(view.top, controlsBottom) << "over the window's controls";
    ExpectTraceBetweenTheThresholds(ViewControl("Trace"), 144);
}

}  // namespace
}  // namespace win32_window::testing
