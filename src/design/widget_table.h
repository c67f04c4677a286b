#pragma once

// The window's design as data, shared by every front end: the widgets with
// their kind, caption, accessible name, geometry in twips, colour and
// properties, in tab order (Tab visits, in table order, those that can take
// the focus: not labels, not invisible or disabled widgets); the window's client size and colours; the
// gauge's colours and the timer's interval. Each front end builds its widgets
// from this table, so the layout in the code reads like the design it
// implements. Plain C++: no toolkit.
//
// Twips are 1/1440 inch: 15 twips to a pixel at 96 dots per inch.

#include <cstdint>
#include <optional>
#include <span>

namespace design {

// A 24-bit colour.
struct Rgb {
    std::uint8_t r, g, b;
    constexpr bool operator==(const Rgb&) const = default;
};

inline constexpr int kTwipsPerPixel = 15;
inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kStandardDpi = 96;  // kTwipsPerInch / kTwipsPerPixel

// The one conversion from twips to pixels at a screen's DPI, exact; and the
// same rounded to the nearest whole pixel (halves away from zero), for
// toolkits that place widgets on whole pixels.
constexpr double TwipsToPixels(int twips, int dpi = kStandardDpi) {
    return static_cast<double>(twips) * dpi / kTwipsPerInch;
}
constexpr int TwipsToWholePixels(int twips, int dpi = kStandardDpi) {
    const long long scaled = static_cast<long long>(twips) * dpi;
    const long long half = kTwipsPerInch / 2;
    return static_cast<int>(scaled >= 0 ? (scaled + half) / kTwipsPerInch : -((-scaled + half) / kTwipsPerInch));
}
constexpr double PixelsToTwips(double pixels, int dpi = kStandardDpi) { return pixels * kTwipsPerInch / dpi; }
inline constexpr int kClientWidthTwips = 7140;
inline constexpr int kClientHeightTwips = 5940;

inline constexpr Rgb kWindowBackground{192, 192, 255};
inline constexpr Rgb kGaugeRed{210, 30, 30};
inline constexpr Rgb kGaugeBlue{100, 130, 230};

// The classic look the specified colours sit in: raised and sunken edges,
// the face of buttons and scroll bar parts, the scroll bar's track, the
// frame's etched line and, in a browser, the page around the window.
inline constexpr Rgb kChromeFace{212, 208, 200};
inline constexpr Rgb kChromeLight{223, 223, 223};
inline constexpr Rgb kChromeHighlight{255, 255, 255};
inline constexpr Rgb kChromeShadow{128, 128, 128};
inline constexpr Rgb kChromeDarkShadow{64, 64, 64};
inline constexpr Rgb kScrollTrack{224, 224, 224};
inline constexpr Rgb kFrameLine{160, 160, 200};
inline constexpr Rgb kPageBackground{90, 90, 140};
// The multi-line boxes' own vertical scroll bar, as wide as the system's
// classic one, where a front end draws it itself.
inline constexpr int kTextScrollBarPixels = 17;
// Frame1's etched line runs through the middle of its caption, this far
// below the frame's top.
inline constexpr int kFrameLineInsetPixels = 9;

// The window's font: Times New Roman, 12 point, regular, Cyrillic.
inline constexpr const char* kFontFamily = "Times New Roman";
inline constexpr int kFontPointSize = 12;

// VScroll1 as created: Min at the top, the thumb at the bottom (Value = Max:
// temperature 0).
inline constexpr int kScaleCreatedMin = 0;
inline constexpr int kScaleCreatedMax = 100;
inline constexpr int kScaleCreatedValue = 100;
// An arrow click, and a click on the track, move the position by these.
inline constexpr int kScaleSmallChange = 1;
inline constexpr int kScaleLargeChange = 1;

// The widget arrays' sizes.
inline constexpr int kText1Count = 2;
inline constexpr int kText2Count = 3;
inline constexpr int kLabel1Count = 6;
inline constexpr int kCommand1Count = 2;
inline constexpr int kOption1Count = 2;

inline constexpr int kTimerIntervalMs = 100;
// The exit status after a fatal run-time error.
inline constexpr int kFatalExitCode = 6;

// What the user can type into a box marked kTwoCharacters.
inline constexpr int kTypedCharacters = 2;

enum class WidgetKind {
    TextBox,
    Label,
    PictureBox,
    VScrollBar,
    PushButton,
    Frame,
    OptionButton,
    Table,  // a table with a header row (the view "Наблюдение" only)
};

enum WidgetFlag : unsigned {
    kNoFlags = 0,
    kMultiLine = 1u << 0,      // multi-line with a vertical scroll bar
    kLocked = 1u << 1,         // the user cannot edit the text
    kInvisible = 1u << 2,      // never shown
    kCentred = 1u << 3,        // centred text
    kTwoCharacters = 1u << 4,  // at most kTypedCharacters characters can be typed
    kInFrame = 1u << 5,        // placed within Frame1, not the window
    kDisabled = 1u << 6,       // cannot be operated by the user (for a frame: nor its contents,
                               // which are still drawn normally)
    kShowsColour = 1u << 7,    // a button that shows its background colour
};

struct WidgetSpec {
    const char* name;  // the widget's name and array index, e.g. "Text2_0"
    WidgetKind kind;
    const char* text;              // caption (UTF-8); nullptr where the text is set elsewhere
    const char* accessibleName;    // what a screen reader calls it; nullptr: its caption
    int left, top, width, height;  // twips, within the window (or Frame1 for kInFrame)
    std::optional<Rgb> background;
    unsigned flags;

    bool Has(WidgetFlag flag) const { return (flags & flag) != 0; }
    // The index the widget holds in its array ("Text2_1" -> 1; 0 for a single widget).
    int ArrayIndex() const;
};

std::span<const WidgetSpec> WidgetTable();

// The view "Наблюдение", a window (or, in a browser, a region) of its own
// beside the main one, laid out the same way: the drawings with their
// titles, the figures, the table of bands and its copy button, in tab order
// (view_design.h has the numbers it is drawn with). Its drawings are plotted
// in pixels of their own (96 to the inch).
inline constexpr int kObservationWidthTwips = 7140;
inline constexpr int kObservationHeightTwips = 10260;
// Where the view's widgets find their texts: a label whose text is nullptr
// (a figure) and the table are filled by the program, the rest come from the
// table below. Each picture box is one drawing, in the table's order.
std::span<const WidgetSpec> ObservationTable();
// In either table; throws std::out_of_range for a name that is in neither.
const WidgetSpec& FindWidgetSpec(const char* name);

}  // namespace design
