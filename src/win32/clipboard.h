#pragma once

// Text onto the system's clipboard, as Unicode text with the line ends
// Windows programs expect ("\r\n" where the program writes "\n").

#include <windows.h>

#include <string_view>

namespace win32_window {

// `owner` is the window that puts it there. False when the clipboard
// stayed busy with another program or the text could not be handed over.
bool PutTextOnClipboard(HWND owner, std::string_view utf8);

}  // namespace win32_window
