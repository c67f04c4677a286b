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

// The font of the window and all its widgets.
inline QFont WindowFont() {
    QFont font(Text(design::kFontFamily));
    font.setPointSize(design::kFontPointSize);
    font.setWeight(QFont::Normal);
    return font;
}

inline constexpr QRgb ToQRgb(design::Rgb colour) { return qRgb(colour.r, colour.g, colour.b); }

// Qt's logical pixels are 1/96 inch: twips / 15. Qt scales them to the screen.
inline QRect PixelGeometry(const design::WidgetSpec& spec) {
    constexpr int k = design::kTwipsPerPixel;
    return {spec.left / k, spec.top / k, spec.width / k, spec.height / k};
}

}  // namespace qt_window
