#include "clipboard.h"

#include "win32_text.h"

#include <cstring>
#include <string>

namespace win32_window {
namespace {

// Another program may hold the clipboard for a moment.
constexpr int kOpenAttempts = 5;
constexpr DWORD kRetryMs = 10;

std::wstring WindowsLineEnds(std::string_view utf8) {
    const std::wstring text = Wide(utf8);
    std::wstring converted;
    converted.reserve(text.size() + text.size() / 8);
    for (const wchar_t c : text) {
        if (c == L'\n' && (converted.empty() || converted.back() != L'\r')) converted += L'\r';
        converted += c;
    }
    return converted;
}

}  // namespace

bool PutTextOnClipboard(HWND owner, std::string_view utf8) {
    const std::wstring text = WindowsLineEnds(utf8);
    bool open = false;
    for (int attempt = 0; attempt < kOpenAttempts && !open; ++attempt) {
        open = OpenClipboard(owner) != FALSE;
        if (!open) Sleep(kRetryMs);
    }
    if (!open) return false;
    bool handedOver = false;
    if (EmptyClipboard()) {
        const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
        if (memory != nullptr) {
            if (void* target = GlobalLock(memory)) {
                std::memcpy(target, text.c_str(), bytes);
                GlobalUnlock(memory);
                // The clipboard owns the memory once it took it.
                handedOver = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
            }
            if (!handedOver) GlobalFree(memory);
        }
    }
    CloseClipboard();
    return handedOver;
}

}  // namespace win32_window
