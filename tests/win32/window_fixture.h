#pragma once

// The real window on the tests' X server (under Wine), driven with window
// messages and real input, and read back from the screen's pixels.

#include "main_form.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace win32_window::testing {

// Every message waiting for this thread, through the dialog manager as the
// program's own loop does.
inline void Pump(MainForm* form) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) continue;
        if (form != nullptr && form->PreTranslateMessage(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// Pixels of a rectangle of the screen, as the X server shows them.
class ScreenPixels {
public:
    explicit ScreenPixels(RECT area) : area_(area) {
        const int width = area.right - area.left, height = area.bottom - area.top;
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;  // top-down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        HDC screen = GetDC(nullptr);
        HDC memory = CreateCompatibleDC(screen);
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ previous = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
        GdiFlush();
        const auto* pixels = static_cast<const std::uint32_t*>(bits);
        pixels_.assign(pixels, pixels + static_cast<std::size_t>(width) * height);
        SelectObject(memory, previous);
        DeleteObject(bitmap);
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
    }

    int Width() const { return area_.right - area_.left; }
    int Height() const { return area_.bottom - area_.top; }
    // The colour at (x, y) of the area as RGB(r, g, b).
    COLORREF At(int x, int y) const {
        const std::uint32_t p = pixels_.at(static_cast<std::size_t>(y) * Width() + x);
        return RGB((p >> 16) & 0xff, (p >> 8) & 0xff, p & 0xff);
    }
    bool operator==(const ScreenPixels& other) const { return pixels_ == other.pixels_; }

private:
    RECT area_;
    std::vector<std::uint32_t> pixels_;
};

// The client area of a window in screen coordinates.
inline RECT ClientOnScreen(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    return client;
}

inline std::string Hex(COLORREF colour) {
    char text[32];
    std::snprintf(text, sizeof text, "RGB(%u, %u, %u)", GetRValue(colour), GetGValue(colour), GetBValue(colour));
    return text;
}

// A freshly created window, shown and painted; fatal errors are recorded
// instead of ending the program.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<MainForm>();
        form->SetFatalHandler([this](const std::string& description) { fatalMessages.push_back(description); });
        form->Show();
        SetForegroundWindow(form->Hwnd());
        Settle();
    }
    void TearDown() override {
        form.reset();
        Pump(nullptr);
    }

    HWND Find(const char* name) const {
        HWND control = form->Control(name);
        EXPECT_NE(control, nullptr) << name;
        return control;
    }

    // Lets every pending message and paint through, and the X server draw.
    void Settle() {
        for (int i = 0; i < 3; ++i) {
            Pump(form.get());
            RedrawWindow(form->Hwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            GdiFlush();
            Sleep(20);
        }
        Pump(form.get());
    }

    // A key pressed and released on the control with the focus, through the
    // dialog manager as the program's loop passes it.
    void Key(WORD key) {
        for (UINT message : {WM_KEYDOWN, WM_KEYUP}) {
            MSG msg{GetFocus(), message, key, message == WM_KEYDOWN ? 1 : static_cast<LPARAM>(0xC0000001), 0, {}};
            if (!form->PreTranslateMessage(msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            Pump(form.get());
        }
    }

    // Characters typed into a control, as WM_CHAR messages.
    void Type(HWND control, const wchar_t* characters) {
        for (const wchar_t* c = characters; *c != 0; ++c) SendMessageW(control, WM_CHAR, *c, 1);
    }

    // A real click, left unless told, at a point of a control's client
    // area (SendInput).
    void Click(HWND control, POINT at, DWORD down = MOUSEEVENTF_LEFTDOWN, DWORD up = MOUSEEVENTF_LEFTUP) {
        ClientToScreen(control, &at);
        SetCursorPos(at.x, at.y);
        INPUT inputs[2] = {};
        inputs[0].type = inputs[1].type = INPUT_MOUSE;
        inputs[0].mi.dwFlags = down;
        inputs[1].mi.dwFlags = up;
        SendInput(2, inputs, sizeof(INPUT));
        for (int i = 0; i < 5; ++i) {
            Pump(form.get());
            Sleep(10);
        }
    }

    std::wstring Text(HWND control) const {
        wchar_t text[4096];
        GetWindowTextW(control, text, 4096);
        return text;
    }

    std::unique_ptr<MainForm> form;
    std::vector<std::string> fatalMessages;
};

}  // namespace win32_window::testing
