// Writes the web page's window from the design: the markup of every widget
// of the window and of the view "Наблюдение" beside it, with the button that
// opens the view (window.html), their geometry, colours and font, and the chrome's colours and
// sizes as CSS custom properties for page.css (window.css), what the page's
// script needs to know (design.js, linked into the script), the installed
// app's manifest (manifest.webmanifest) and the document's title (title.txt).
// Run at build time, under Node, with the design's own data, so the page
// never carries a hand-copied coordinate, colour, size or caption.
//
//   generate_page OUTPUT_FOLDER

#include "css_values.h"
#include "texts.h"
#include "view_design.h"
#include "widget_operations.h"
#include "widget_table.h"
#include "window_logic.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>

namespace {

using design::WidgetKind;
using design::WidgetSpec;
namespace texts = design::texts;

// Text as HTML character data or attribute value.
std::string Escape(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\r':
                break;  // the boxes' lines end in CR LF; HTML keeps the LF
            default:
                out += c;
        }
    }
    return out;
}

using web_page::CssColour;
using web_page::CssPixels;

std::string AriaLabel(const WidgetSpec& spec) {
    return spec.accessibleName != nullptr ? " aria-label=\"" + Escape(spec.accessibleName) + "\"" : "";
}

std::string Caption(const WidgetSpec& spec) { return spec.text != nullptr ? Escape(spec.text) : ""; }

// The temperature's range and its value as the scroll bar is created, for
// the controls that report it to screen readers.
std::string ScaleRange() {
    const auto temperature = [](int value) {
        return std::to_string(regulator::Temperature(design::kScaleCreatedMax, static_cast<std::int16_t>(value)));
    };
    return " aria-valuemin=\"" + temperature(design::kScaleCreatedMax) + "\" aria-valuemax=\"" +
           temperature(design::kScaleCreatedMin) + "\" aria-valuenow=\"" + temperature(design::kScaleCreatedValue) +
           "\"";
}

// The element of one widget, opened; a frame stays open for its option
// buttons, which are inert (no focus, no clicks) in a disabled frame.
std::string OpenWidget(const WidgetSpec& spec, bool inDisabledFrame) {
    const std::string id = spec.name;
    const std::string common = "id=\"" + id + "\"" + AriaLabel(spec) + (spec.Has(design::kInvisible) ? " hidden" : "");
    switch (spec.kind) {
        case WidgetKind::TextBox:
            if (spec.Has(design::kMultiLine)) {
                const std::string text = spec.ArrayIndex() == 0 ? texts::Explanation() : texts::Aphorism();
                return "<textarea " + common + (spec.Has(design::kLocked) ? " readonly" : "") + ">" + Escape(text) +
                       "</textarea>";
            }
            return "<input " + common +
                   " type=\"text\" inputmode=\"decimal\" autocomplete=\"off\" spellcheck=\"false\"" +
                   (spec.Has(design::kTwoCharacters) ? " maxlength=\"2\"" : "") +
                   (spec.Has(design::kLocked) ? " readonly" : "") + ">";
        case WidgetKind::Label:
            return "<div " + common + ">" + Caption(spec) + "</div>";
        case WidgetKind::PictureBox:
            // The gauge: a sunken box whose face holds the drawn rectangles.
            return "<div " + common + " role=\"meter\" tabindex=\"0\"" + ScaleRange() +
                   "><div class=\"face\"></div></div>";
        case WidgetKind::VScrollBar:
            return "<div " + common + " role=\"slider\" tabindex=\"0\" aria-orientation=\"vertical\"" + ScaleRange() +
                   ">"
                   "<div data-part=\"up\"></div><div data-part=\"track\"><div data-part=\"thumb\"></div></div>"
                   "<div data-part=\"down\"></div></div>";
        case WidgetKind::PushButton:
            return "<button " + common + " type=\"button\">" + Caption(spec) + "</button>";
        case WidgetKind::Frame:
            // A disabled frame's option buttons are drawn normally (the
            // fieldset's own disabled would grey them) and refused by the page.
            return "<fieldset " + common + (spec.Has(design::kDisabled) ? " data-disabled" : "") + "><legend>" +
                   Caption(spec) + "</legend>";
        case WidgetKind::OptionButton:
            return "<label " + common + "><input type=\"radio\" name=\"Option1\"" +
                   (inDisabledFrame || spec.Has(design::kDisabled) ? " tabindex=\"-1\"" : "") + ">" + Caption(spec) +
                   "</label>";
        case WidgetKind::Table:
            break;  // only in the view (ObservationWidget)
    }
    return {};
}

// The view "Наблюдение" (ObservationTable()), hidden until opened: its
// drawings are SVG images named by their titles and described by a text of
// their own, its figures the labels without a caption of their own, its
// bands a table with a header row in a box that scrolls, and a box where the
// table's text shows when the clipboard refuses it. The page's script finds
// each by its kind (its class), in the table's order.
std::string ObservationWidget(const WidgetSpec& spec) {
    const std::string id = spec.name;
    switch (spec.kind) {
        case WidgetKind::Label:
            return "<div id=\"" + id + "\" class=\"label" + (spec.text == nullptr ? " figure" : "") + "\">" +
                   Caption(spec) + "</div>";
        case WidgetKind::PictureBox: {
            return "<div id=\"" + id + "\" class=\"picture\"><svg role=\"img\"" + AriaLabel(spec) +
                   " aria-describedby=\"" + id +
                   "_description\" xmlns=\"http://www.w3.org/2000/svg\"></svg></div><p id=\"" + id +
                   "_description\" hidden></p>";
        }
        case WidgetKind::Table: {
            std::string html = "<div id=\"" + id +
                               "\" class=\"table\" role=\"group\" tabindex=\"0\" aria-labelledby=\"" + id +
                               "_caption\"><table><caption id=\"" + id + "_caption\" class=\"visually-hidden\">" +
                               Escape(spec.accessibleName) + "</caption><thead><tr>";
            for (const std::string_view header : texts::kBandsTableHeaders) {
                html += "<th scope=\"col\">" + Escape(std::string(header)) + "</th>";
            }
            return html + "</tr></thead><tbody></tbody></table></div><textarea id=\"" + id + "_text\"" +
                   AriaLabel(spec) + " readonly hidden></textarea>";
        }
        case WidgetKind::PushButton:
            return "<button id=\"" + id + "\" type=\"button\">" + Caption(spec) + "</button>";
        default:
            return OpenWidget(spec, false);
    }
}

std::string ObservationMarkup() {
    std::string html =
        "<button id=\"ObservationButton\" type=\"button\" aria-expanded=\"false\" "
        "aria-controls=\"Observation\">" +
        Escape(texts::kObservationTitle) + "</button><section id=\"Observation\" aria-label=\"" +
        Escape(texts::kObservationTitle) + "\" hidden>";
    for (const WidgetSpec& spec : design::ObservationTable()) html += ObservationWidget(spec);
    return html + "</section>";
}

std::string WindowMarkup() {
    std::string html = "<div id=\"MainForm\" class=\"loading\">";
    bool frameOpen = false;
    bool frameDisabled = false;
    for (const WidgetSpec& spec : design::WidgetTable()) {
        if (frameOpen && !spec.Has(design::kInFrame)) {
            html += "</fieldset>";
            frameOpen = false;
        }
        html += OpenWidget(spec, frameOpen && frameDisabled);
        if (spec.kind == WidgetKind::Frame) {
            frameOpen = true;
            frameDisabled = spec.Has(design::kDisabled);
        }
    }
    if (frameOpen) html += "</fieldset>";
    return html + "</div>";
}

// The window's font, with the metric twin the page brings for devices
// without it.
std::string Font() {
    constexpr int kTwipsPerPoint = design::kTwipsPerInch / 72;
    return CssPixels(design::kFontPointSize * kTwipsPerPoint) + " \"" + design::kFontFamily +
           "\",\"Dulmeri Serif\",serif";
}

std::string WindowStyle() {
    std::ostringstream css;
    // What page.css draws the classic chrome with.
    css << ":root{--page-background:" << CssColour(design::kPageBackground)
        << ";--chrome-face:" << CssColour(design::kChromeFace) << ";--chrome-light:" << CssColour(design::kChromeLight)
        << ";--chrome-highlight:" << CssColour(design::kChromeHighlight)
        << ";--chrome-shadow:" << CssColour(design::kChromeShadow)
        << ";--chrome-dark-shadow:" << CssColour(design::kChromeDarkShadow)
        << ";--scroll-track:" << CssColour(design::kScrollTrack)
        << ";--frame-line-inset:" << design::kFrameLineInsetPixels << "px"
        << ";--text-scroll-bar:" << design::kTextScrollBarPixels
        << "px"
        // The scroll bar's arrows and thumb are squares as wide as the bar.
        << ";--vscroll1-side:" << CssPixels(design::FindWidgetSpec("VScroll1").width) << ";--window-font:" << Font()
        << "}\n";
    css << "#MainForm{width:" << CssPixels(design::kClientWidthTwips)
        << ";height:" << CssPixels(design::kClientHeightTwips) << ";background:" << CssColour(design::kWindowBackground)
        << ";font:var(--window-font)}\n";
    for (const WidgetSpec& spec : design::WidgetTable()) {
        css << '#' << spec.name << "{left:" << CssPixels(spec.left) << ";top:" << CssPixels(spec.top)
            << ";width:" << CssPixels(spec.width) << ";height:" << CssPixels(spec.height);
        if (spec.kind == WidgetKind::PushButton) {
            // A button shows its colour only where the design says so.
            css << ";background-color:"
                << (spec.Has(design::kShowsColour) && spec.background ? CssColour(*spec.background)
                                                                      : std::string("var(--chrome-face)"));
        } else if (spec.background) {
            css << ";background-color:" << CssColour(*spec.background);
        }
        if (spec.Has(design::kCentred)) css << ";text-align:center";
        css << "}\n";
        if (spec.kind == WidgetKind::Frame && spec.Has(design::kDisabled)) {
            css << '#' << spec.name << " label,#" << spec.name << " input{pointer-events:none;user-select:none}\n";
        }
    }
    css << "#Picture1 .face{background:" << CssColour(design::FindWidgetSpec("Picture1").background.value()) << "}\n";
    return css.str();
}

const char* CellAlignment() {
    switch (design::view::kCellAlignment) {
        case design::view::Alignment::Left:
            return "left";
        case design::view::Alignment::Centre:
            return "center";
        case design::view::Alignment::Right:
            return "right";
    }
    return "center";
}

// The view "Наблюдение" laid out as the window is, and the button that opens
// it, as large as the view's own button.
std::string ObservationStyle() {
    std::ostringstream css;
    const auto box = [&css](const std::string& selector, const WidgetSpec& spec) {
        css << selector << "{left:" << CssPixels(spec.left) << ";top:" << CssPixels(spec.top)
            << ";width:" << CssPixels(spec.width) << ";height:" << CssPixels(spec.height);
        if (spec.background) css << ";background-color:" << CssColour(*spec.background);
        if (spec.Has(design::kCentred)) css << ";text-align:center";
        css << "}\n";
    };
    css << "#Observation{width:" << CssPixels(design::kObservationWidthTwips)
        << ";height:" << CssPixels(design::kObservationHeightTwips)
        << ";background:" << CssColour(design::kWindowBackground) << ";font:var(--window-font)}\n";
    for (const WidgetSpec& spec : design::ObservationTable()) {
        box("#" + std::string(spec.name), spec);
        if (spec.kind == WidgetKind::Table) box("#" + std::string(spec.name) + "_text", spec);
    }
    for (const WidgetSpec& spec : design::ObservationTable()) {
        if (spec.kind != WidgetKind::PushButton) continue;
        css << "#ObservationButton{width:" << CssPixels(spec.width) << ";height:" << CssPixels(spec.height)
            << ";background-color:var(--chrome-face)}\n";
        break;
    }
    // How the view's drawings and table are set, and its gap to the window.
    css << ":root{--view-gap:" << design::view::kGapPixels
        << "px;--drawing-text-size:" << design::view::kDrawingTextPointSize
        << "pt;--table-text-size:" << design::view::kTablePointSize << "pt;--cell-alignment:" << CellAlignment()
        << "}\n";
    return css.str();
}

// design::view::kDashPattern as a JavaScript array.
std::string DashPattern() {
    std::string text = "[";
    for (const double length : design::view::kDashPattern) {
        char number[32];
        std::snprintf(number, sizeof number, "%g", length);
        text += (text.size() > 1 ? "," : "") + std::string(number);
    }
    return text + "]";
}

// What the page's script needs from the design and the core, as one
// JavaScript object linked ahead of the script's own files.
std::string ScriptData() {
    using regulator::ScrollRequest;
    const auto request = [](const char* name, ScrollRequest value) {
        return std::string(name) + ":" + std::to_string(static_cast<int>(value));
    };
    return "// Written by generate_page from the design: what the page's script needs.\n"
           "var designData = {\n"
           "  // What the user asks of the scroll bar (regulator::ScrollRequest).\n"
           "  scrollRequest: {" +
           request("lineUp", ScrollRequest::LineUp) + "," + request("lineDown", ScrollRequest::LineDown) + "," +
           request("pageUp", ScrollRequest::PageUp) + "," + request("pageDown", ScrollRequest::PageDown) + "," +
           request("top", ScrollRequest::Top) + "," + request("bottom", ScrollRequest::Bottom) + "," +
           request("position", ScrollRequest::Position) +
           "},\n"
           "  // The widget arrays' sizes.\n"
           "  text2Count: " +
           std::to_string(design::kText2Count) + ",\n  command1Count: " + std::to_string(design::kCommand1Count) +
           ",\n  option1Count: " + std::to_string(design::kOption1Count) +
           ",\n  // The threshold boxes a teacher's link types into (Text2's indices).\n  lowerBox: " +
           std::to_string(regulator::kLowerBox) + ",\n  upperBox: " + std::to_string(regulator::kUpperBox) +
           ",\n  // A dashed line of the view's drawings: dash, gap, ... at width 1.\n  dashPattern: " + DashPattern() +
           ",\n};\n";
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
         << "  \"theme_color\": \"" << CssColour(*title.background) << "\",\n"
         << "  \"background_color\": \"" << CssColour(design::kWindowBackground) << "\",\n"
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
    const bool written = Write(folder, "window.html", WindowMarkup() + ObservationMarkup()) &&
                         Write(folder, "window.css", WindowStyle() + ObservationStyle()) &&
                         Write(folder, "design.js", ScriptData()) &&
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
