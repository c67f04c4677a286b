#pragma once

// The window's widgets as data: kind, caption, geometry in twips, colour,
// tab index and properties, in tab order. MainForm builds its widgets from
// this table, so the layout in the code reads like the design it implements.
// Twips are 1/1440 inch: 15 twips to a logical pixel.

#include <QColor>
#include <QRect>

#include <optional>
#include <span>

namespace window {

inline constexpr int kTwipsPerPixel = 15;
inline constexpr int kClientWidthTwips = 7140;
inline constexpr int kClientHeightTwips = 5940;

inline constexpr QRgb kWindowBackground = qRgb(192, 192, 255);
inline constexpr QRgb kGaugeRed = qRgb(210, 30, 30);
inline constexpr QRgb kGaugeBlue = qRgb(100, 130, 230);

enum class WidgetKind { TextBox, Label, PictureBox, VScrollBar, PushButton, Frame, OptionButton };

enum WidgetFlag : unsigned {
    kNoFlags = 0,
    kMultiLine = 1u << 0,     // multi-line with a vertical scroll bar
    kLocked = 1u << 1,        // the user cannot edit the text
    kInvisible = 1u << 2,     // never shown
    kCentred = 1u << 3,       // centred text
    kTwoCharacters = 1u << 4, // at most two characters can be typed
    kInFrame = 1u << 5,       // placed within Frame1, not the window
    kDisabled = 1u << 6,      // cannot be operated by the user
};

struct WidgetSpec {
    const char* name;  // object name: the widget's name and array index, e.g. "Text2_0"
    WidgetKind kind;
    const char* text;  // caption; nullptr where the text is set elsewhere
    int left, top, width, height;  // twips
    std::optional<QRgb> background;
    int tabIndex;
    unsigned flags;

    QRect PixelGeometry() const {
        return {left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel, height / kTwipsPerPixel};
    }
};

std::span<const WidgetSpec> WidgetTable();
const WidgetSpec& FindWidgetSpec(const char* name);

}  // namespace window
