#pragma once

// The shared design in Qt's terms: colours, pixel geometry and texts.

#include "widget_table.h"

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

#include <string>

namespace qt_window {

inline QString Text(const char* utf8) { return QString::fromUtf8(utf8); }
inline QString Text(const std::string& utf8) { return QString::fromStdString(utf8); }

inline constexpr QRgb ToQRgb(design::Rgb colour) { return qRgb(colour.r, colour.g, colour.b); }
// "#rrggbb", for style sheets.
inline QString ColourName(design::Rgb colour) { return QColor(ToQRgb(colour)).name(); }

// Qt's logical pixels are 1/96 inch, whatever the screen: Qt scales them to
// its density. Widgets sit on whole logical pixels.
inline QRect PixelGeometry(const design::WidgetSpec& spec) {
    return {design::TwipsToWholePixels(spec.left), design::TwipsToWholePixels(spec.top),
            design::TwipsToWholePixels(spec.width), design::TwipsToWholePixels(spec.height)};
}

// The window's font (Times New Roman 12 pt, regular); fontconfig maps the
// family to its metric twin where it is missing.
inline QFont WindowFont() {
    QFont font(Text(design::kFontFamily));
    font.setPointSize(design::kFontPointSize);
    font.setWeight(QFont::Normal);
    return font;
}

// Fusion paints button colours as gradients; a style sheet with an explicit
// border paints the exact colour, with a raised border like a classic button.
inline QString ColouredButtonStyleSheet(design::Rgb colour) {
    return QStringLiteral(
               "QPushButton { background-color: %1; color: black; border: 2px outset %2; }"
               "QPushButton:pressed { border-style: inset; }"
               "QPushButton:focus { border: 2px solid black; }")
        .arg(ColourName(colour), ColourName(design::kChromeFace));
}

}  // namespace qt_window
