#pragma once

// A GDI object (font, brush, pen, bitmap) owned by whoever made it and deleted
// with its owner. Whoever replaces one that controls still use hands them
// the new one first (WM_SETFONT), then lets the old one go.

#include "widget_table.h"

#include <windows.h>

#include <stdexcept>
#include <utility>

namespace win32_window {

template <typename Handle>
class GdiObject {
public:
    GdiObject() = default;
    // Takes ownership; null where the system could not make it.
    explicit GdiObject(Handle handle) noexcept : handle_(handle) {}
    ~GdiObject() { Reset(); }
    GdiObject(GdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    GdiObject& operator=(GdiObject&& other) noexcept {
        if (this != &other) {
            Reset();
            handle_ = std::exchange(other.handle_, nullptr);
        }
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    Handle Get() const { return handle_; }

private:
    void Reset() {
        if (handle_ != nullptr) DeleteObject(handle_);
        handle_ = nullptr;
    }

    Handle handle_ = nullptr;
};

using Font = GdiObject<HFONT>;
using Brush = GdiObject<HBRUSH>;
using Pen = GdiObject<HPEN>;
using Bitmap = GdiObject<HBITMAP>;

inline COLORREF ToColorRef(design::Rgb colour) { return RGB(colour.r, colour.g, colour.b); }
// Out of GDI handles, the window cannot be made.
inline Brush SolidBrush(design::Rgb colour) {
    Brush brush(CreateSolidBrush(ToColorRef(colour)));
    if (brush.Get() == nullptr) throw std::runtime_error("a brush could not be created");
    return brush;
}

}  // namespace win32_window
