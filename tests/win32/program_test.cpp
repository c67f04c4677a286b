// The built dulmeri.exe itself, started as a separate process: a fatal
// run-time error shows the Bulgarian message in a message box, and after
// the box is closed the program ends with status 6.

#include "main_form.h"
#include "test_main.h"
#include "texts.h"
#include "widget_table.h"
#include "win32_text.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>

namespace win32_window::testing {
namespace {

struct Search {
    DWORD process;
    const wchar_t* className;
    HWND found;
};

HWND WaitForWindow(DWORD process, const wchar_t* className) {
    for (int attempt = 0; attempt < 300; ++attempt) {
        Search search{process, className, nullptr};
        EnumWindows(
            [](HWND window, LPARAM data) -> BOOL {
                auto* s = reinterpret_cast<Search*>(data);
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                wchar_t name[64] = {};
                GetClassNameW(window, name, 64);
                if (owner == s->process && std::wstring(name) == s->className && IsWindowVisible(window)) {
                    s->found = window;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) return search.found;
        Sleep(50);
    }
    return nullptr;
}

std::wstring StaticTexts(HWND box) {
    std::wstring all;
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        all += WindowText(child) + L"\n";
    }
    return all;
}

TEST(Program, AFatalErrorShowsTheMessageAndEndsWithStatus6) {
    ASSERT_FALSE(ProgramPath().empty()) << "give the program with --program=PATH";
    std::wstring command = L"\"" + ProgramPath() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(
        CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        << "cannot start " << Utf8(ProgramPath());
    HWND form = WaitForWindow(process.dwProcessId, MainForm::kClassName);
    ASSERT_NE(form, nullptr) << "no window";
    const auto table = design::WidgetTable();
    const auto row = std::find_if(table.begin(), table.end(), [](const design::WidgetSpec& spec) {
        return std::string_view(spec.name) == "VScroll1";
    });
    HWND scale = GetDlgItem(form, MainForm::kFirstControlId + static_cast<int>(row - table.begin()));
    ASSERT_NE(scale, nullptr);

    // A thumb released beyond the end of the scale.
    PostMessageW(form, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 150), reinterpret_cast<LPARAM>(scale));
    HWND box = WaitForWindow(process.dwProcessId, L"#32770");
    ASSERT_NE(box, nullptr) << "no message box";
    const std::wstring message = StaticTexts(box);
    EXPECT_NE(message.find(Wide(design::texts::kRunTimeError)), std::wstring::npos) << Utf8(message);
    EXPECT_NE(message.find(Wide(design::texts::kInvalidPropertyValue)), std::wstring::npos) << Utf8(message);
    EXPECT_NE(message.find(Wide(design::texts::kProgramWillClose)), std::wstring::npos) << Utf8(message);
    EXPECT_EQ(WindowText(box), Wide(design::texts::WindowCaption()));

    PostMessageW(box, WM_COMMAND, IDOK, 0);
    ASSERT_EQ(WaitForSingleObject(process.hProcess, 20000), WAIT_OBJECT_0) << "the program did not end";
    DWORD status = 0;
    GetExitCodeProcess(process.hProcess, &status);
    EXPECT_EQ(status, 6u);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

}  // namespace
}  // namespace win32_window::testing
