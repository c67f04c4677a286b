#pragma once

// The design keeps its texts in UTF-8; the Win32 API takes UTF-16.

#include <windows.h>

#include <string>
#include <string_view>

namespace win32_window {

std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);
// The window's text (caption or contents).
std::wstring WindowText(HWND window);

}  // namespace win32_window
