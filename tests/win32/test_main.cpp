// The Windows tests' main: GoogleTest's, plus --program=PATH for the tests
// that start the built program.

#include "test_main.h"

#include "win32_text.h"

#include <gtest/gtest.h>

#include <string_view>

namespace win32_window::testing {
namespace {
std::wstring programPath;
}

const std::wstring& ProgramPath() { return programPath; }

}  // namespace win32_window::testing

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        constexpr std::string_view option = "--program=";
        const std::string_view argument = argv[i];
        if (argument.substr(0, option.size()) == option) {
            std::wstring path = win32_window::Wide(argument.substr(option.size()));
            for (wchar_t& c : path) {
                if (c == L'/') c = L'\\';
            }
            win32_window::testing::programPath = path;
        }
    }
    return RUN_ALL_TESTS();
}
