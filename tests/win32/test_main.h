#pragma once

#include <string>

namespace win32_window::testing {

// The program under test, from --program=PATH (a Windows path).
const std::wstring& ProgramPath();

}  // namespace win32_window::testing
