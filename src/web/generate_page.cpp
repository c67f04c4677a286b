// Writes the web page's window from the design: the markup of every widget
// (window.html), its geometry, colours and font (window.css), the installed
// app's manifest (manifest.webmanifest) and the document's title (title.txt).
// Run at build time, under Node, with the design's own data, so the page
// never carries a hand-copied coordinate, colour or caption.
//
//   generate_page OUTPUT_FOLDER

#include "texts.h"
#include "widget_table.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

namespace {

using design::WidgetKind;
using design::WidgetSpec;
namespace texts = design::texts;

// Text as HTML character data or attribute value.
std::string Escape(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\r': break;  // the boxes' lines end in CR LF; HTML keeps the LF
            default: out += c;
        }
    }
    return out;
}

// Twips as CSS pixels at 15 twips to the pixel (every length of the design
// is a whole number of pixels).
std::string Px(int twips) {
    std::ostringstream out;
    out << twips / design::kTwipsPerPixel;
    if (const int rest = twips % design::kTwipsPerPixel; rest != 0) {
        out << '.' << (rest * 100 / design::kTwipsPerPixel);
    }
    return out.str() + "px";
}

std::string Colour(design::Rgb rgb) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", rgb.r, rgb.g, rgb.b);
    return text;
}

std::string AriaLabel(const WidgetSpec& spec) {
    return spec.accessibleName != nullptr ? " aria-label=\"" + Escape(spec.accessibleName) + "\"" : "";
}

std::string Caption(const WidgetSpec& spec) { return spec.text != nullptr ? Escape(spec.text) : ""; }

// The temperature's range and its value as the scroll bar is created, for
// the controls that report it to screen readers.
std::string ScaleRange() {
    const int span = design::kScaleCreatedMax - design::kScaleCreatedMin;
    return " aria-valuemin=\"0\" aria-valuemax=\"" + std::to_string(span) + "\" aria-valuenow=\"" +
           std::to_string(design::kScaleCreatedMax - design::kScaleCreatedValue) + "\"";
}

// The element of one widget, opened; Frame1 stays open for its option buttons.
std::string OpenWidget(const WidgetSpec& spec) {
    const std::string id = spec.name;
    const std::string common = "id=\"" + id + "\"" + AriaLabel(spec) + (spec.Has(design::kInvisible) ? " hidden" : "");
    switch (spec.kind) {
        case WidgetKind::TextBox:
            if (spec.Has(design::kMultiLine)) {
                const std::string text = spec.ArrayIndex() == 0 ? texts::Explanation() : texts::Aphorism();
                return "<textarea " + common + (spec.Has(design::kLocked) ? " readonly" : "") + ">" + Escape(text) +
                       "</textarea>";
            }
            return "<input " + common + " type=\"text\" inputmode=\"decimal\" autocomplete=\"off\" spellcheck=\"false\"" +
                   (spec.Has(design::kTwoCharacters) ? " maxlength=\"2\"" : "") +
                   (spec.Has(design::kLocked) ? " readonly" : "") + ">";
        case WidgetKind::Label:
            return "<div " + common + ">" + Caption(spec) + "</div>";
        case WidgetKind::PictureBox:
            // The gauge: a sunken box whose face holds the drawn rectangles.
            return "<div " + common + " role=\"meter\" tabindex=\"0\"" + ScaleRange() +
                   "><div class=\"face\"></div></div>";
        case WidgetKind::VScrollBar:
            return "<div " + common + " role=\"slider\" tabindex=\"0\" aria-orientation=\"vertical\"" +
                   ScaleRange() + ">"
                   "<div data-part=\"up\"></div><div data-part=\"track\"><div data-part=\"thumb\"></div></div>"
                   "<div data-part=\"down\"></div></div>";
        case WidgetKind::PushButton:
            return "<button " + common + " type=\"button\">" + Caption(spec) + "</button>";
        case WidgetKind::Frame:
            return "<fieldset " + common + "><legend>" + Caption(spec) + "</legend>";
        case WidgetKind::OptionButton:
            // Shown, never operated: the radio takes no focus and the page
            // refuses clicks on it.
            return "<label " + common + "><input type=\"radio\" name=\"Option1\" tabindex=\"-1\">" + Caption(spec) +
                   "</label>";
    }
    return {};
}

std::string WindowMarkup() {
    std::string html = "<div id=\"MainForm\" class=\"loading\">";
    bool frameOpen = false;
    for (const WidgetSpec& spec : design::WidgetTable()) {
        if (frameOpen && !spec.Has(design::kInFrame)) {
            html += "</fieldset>";
            frameOpen = false;
        }
        html += OpenWidget(spec);
        frameOpen = frameOpen || spec.kind == WidgetKind::Frame;
    }
    if (frameOpen) html += "</fieldset>";
    return html + "</div>";
}

std::string WindowStyle() {
    std::ostringstream css;
    const int fontPixels = design::kFontPointSize * 96 / 72;
    css << "#MainForm{width:" << Px(design::kClientWidthTwips) << ";height:" << Px(design::kClientHeightTwips)
        << ";background:" << Colour(design::kWindowBackground) << ";font:" << fontPixels << "px \""
        << design::kFontFamily << "\",\"Dulmeri Serif\",serif}\n";
    for (const WidgetSpec& spec : design::WidgetTable()) {
        css << '#' << spec.name << "{left:" << Px(spec.left) << ";top:" << Px(spec.top) << ";width:" << Px(spec.width)
            << ";height:" << Px(spec.height);
        if (spec.background) css << ";background-color:" << Colour(*spec.background);
        if (spec.Has(design::kCentred)) css << ";text-align:center";
        css << "}\n";
    }
    css << "#Picture1 .face{background:" << Colour(design::FindWidgetSpec("Picture1").background.value()) << "}\n";
    return css.str();
}

std::string Manifest() {
    const WidgetSpec& title = design::FindWidgetSpec("Label1_0");
    std::ostringstream json;
    json << "{\n"
         << "  \"name\": \"" << texts::kProgramName << "\",\n"
         << "  \"short_name\": \"" << texts::kShortProgramName << "\",\n"
         << "  \"description\": \"" << texts::kProgramDescription << "\",\n"
         << "  \"lang\": \"bg\",\n"
         << "  \"dir\": \"ltr\",\n"
         << "  \"start_url\": \"./\",\n"
         << "  \"scope\": \"./\",\n"
         << "  \"display\": \"standalone\",\n"
         << "  \"theme_color\": \"" << Colour(*title.background) << "\",\n"
         << "  \"background_color\": \"" << Colour(design::kWindowBackground) << "\",\n"
         << "  \"icons\": [\n"
         << "    {\"src\": \"dulmeri.svg\", \"sizes\": \"any\", \"type\": \"image/svg+xml\"},\n"
         << "    {\"src\": \"dulmeri-192.png\", \"sizes\": \"192x192\", \"type\": \"image/png\"},\n"
         << "    {\"src\": \"dulmeri-512.png\", \"sizes\": \"512x512\", \"type\": \"image/png\"}\n"
         << "  ]\n"
         << "}\n";
    return json.str();
}

bool Write(const std::string& folder, const char* name, const std::string& content) {
    std::ofstream file(folder + "/" + name, std::ios::binary);
    file << content;
    return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: generate_page OUTPUT_FOLDER\n";
        return 2;
    }
    const std::string folder = argv[1];
    const bool written = Write(folder, "window.html", WindowMarkup()) && Write(folder, "window.css", WindowStyle()) &&
                         Write(folder, "manifest.webmanifest", Manifest()) &&
                         Write(folder, "title.txt", Escape(texts::WindowCaption())) &&
                         Write(folder, "reload.txt", Escape(texts::kReload)) &&
                         Write(folder, "description.txt", Escape(texts::kProgramDescription));
    if (!written) {
        std::cerr << "generate_page: cannot write into " << folder << '\n';
        return 1;
    }
    return 0;
}
