// Writes the window's layout as every front end's tests expect to see it,
// from the design table: the client area's size, each widget's box in pixels
// of the client area (at 96 DPI, 15 twips to a pixel; option buttons moved
// out of Frame1 into the window's coordinates), its kind, background and
// visibility, and the window's and the gauge's colours. The end-to-end tests
// in Python and JavaScript, which cannot link the design, read this file;
// built and run at build time by every preset (under Wine or Node where the
// build is for Windows or the browser), so no test carries a copied
// coordinate.
//
//   design_layout OUTPUT_FILE        writes expected_layout.json

#include "widget_table.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>

namespace {

using design::WidgetKind;
using design::WidgetSpec;

const char* KindName(WidgetKind kind) {
    switch (kind) {
        case WidgetKind::TextBox:
            return "TextBox";
        case WidgetKind::Label:
            return "Label";
        case WidgetKind::PictureBox:
            return "PictureBox";
        case WidgetKind::VScrollBar:
            return "VScrollBar";
        case WidgetKind::PushButton:
            return "PushButton";
        case WidgetKind::Frame:
            return "Frame";
        case WidgetKind::OptionButton:
            return "OptionButton";
        case WidgetKind::Table:
            return "Table";
    }
    return "";
}

std::string Colour(design::Rgb rgb) {
    return "[" + std::to_string(rgb.r) + ", " + std::to_string(rgb.g) + ", " + std::to_string(rgb.b) + "]";
}

// Twips as whole pixels; a length that is not one has no single pixel value
// that every front end must show, so it stops the build.
std::optional<int> Pixels(int twips) {
    if (twips % design::kTwipsPerPixel != 0) return std::nullopt;
    return twips / design::kTwipsPerPixel;
}

std::optional<std::string> Layout() {
    const auto width = Pixels(design::kClientWidthTwips), height = Pixels(design::kClientHeightTwips);
    if (!width || !height) return std::nullopt;
    std::ostringstream json;
    json << "{\n  \"twipsPerPixel\": " << design::kTwipsPerPixel << ",\n  \"client\": [" << *width << ", " << *height
         << "],\n  \"colours\": {\"window\": " << Colour(design::kWindowBackground)
         << ", \"gaugeRed\": " << Colour(design::kGaugeRed) << ", \"gaugeBlue\": " << Colour(design::kGaugeBlue)
         << "},\n  \"widgets\": {";
    const WidgetSpec& frame = design::FindWidgetSpec("Frame1");
    const char* separator = "\n";
    for (const WidgetSpec& spec : design::WidgetTable()) {
        const bool inFrame = spec.Has(design::kInFrame);
        const auto x = Pixels(spec.left + (inFrame ? frame.left : 0));
        const auto y = Pixels(spec.top + (inFrame ? frame.top : 0));
        const auto w = Pixels(spec.width), h = Pixels(spec.height);
        if (!x || !y || !w || !h) {
            std::cerr << "design_layout: " << spec.name << " is not laid out in whole pixels\n";
            return std::nullopt;
        }
        json << separator << "    \"" << spec.name << "\": {\"kind\": \"" << KindName(spec.kind) << "\", \"box\": ["
             << *x << ", " << *y << ", " << *w << ", " << *h << "], \"parent\": \""
             << (inFrame ? frame.name : "MainForm")
             << "\", \"visible\": " << (spec.Has(design::kInvisible) ? "false" : "true")
             << ", \"background\": " << (spec.background ? Colour(*spec.background) : "null") << "}";
        separator = ",\n";
    }
    // The view "Наблюдение", in pixels of the view.
    const auto viewWidth = Pixels(design::kObservationWidthTwips), viewHeight = Pixels(design::kObservationHeightTwips);
    if (!viewWidth || !viewHeight) return std::nullopt;
    json << "\n  },\n  \"observation\": [" << *viewWidth << ", " << *viewHeight << "],\n  \"observationWidgets\": {";
    separator = "\n";
    for (const WidgetSpec& spec : design::ObservationTable()) {
        const auto x = Pixels(spec.left), y = Pixels(spec.top), w = Pixels(spec.width), h = Pixels(spec.height);
        if (!x || !y || !w || !h) {
            std::cerr << "design_layout: " << spec.name << " is not laid out in whole pixels\n";
            return std::nullopt;
        }
        json << separator << "    \"" << spec.name << "\": {\"kind\": \"" << KindName(spec.kind) << "\", \"box\": ["
             << *x << ", " << *y << ", " << *w << ", " << *h << "]}";
        separator = ",\n";
    }
    json << "\n  }\n}\n";
    return json.str();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: design_layout OUTPUT_FILE\n";
        return 2;
    }
    const std::optional<std::string> layout = Layout();
    if (!layout) return 1;
    std::ofstream file(argv[1], std::ios::binary);
    file << *layout;
    if (!file) {
        std::cerr << "design_layout: cannot write " << argv[1] << '\n';
        return 1;
    }
    return 0;
}
