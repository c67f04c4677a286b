#include "widget_table.h"

#include "texts.h"

#include <array>
#include <cstring>
#include <stdexcept>

namespace window {
namespace {

using K = WidgetKind;
namespace t = texts;

constexpr QRgb kLabelBackground = qRgb(255, 192, 128);

// clang-format off
const std::array<WidgetSpec, 18> kWidgets = {{
    // name          kind             text                 left  top   width height background         tab flags
    {"Text1_0",     K::TextBox,      nullptr,              120, 3600, 6855, 2175, std::nullopt,          0, kMultiLine | kLocked},
    {"Text1_1",     K::TextBox,      nullptr,              720, 4320, 6735, 1815, std::nullopt,          1, kMultiLine | kLocked | kInvisible},
    {"Label1_0",    K::Label,        t::kTitle,           2040,    0, 3975,  375, kLabelBackground,      2, kCentred},
    {"Picture1",    K::PictureBox,   nullptr,              120,  720, 1455, 2655, qRgb(128, 128, 255),   3, kNoFlags},
    {"VScroll1",    K::VScrollBar,   nullptr,             1560,  480,  375, 3135, std::nullopt,          4, kNoFlags},
    {"Label1_1",    K::Label,        "",                  2880, 3120, 3375,  375, kLabelBackground,      5, kCentred},
    {"Text2_0",     K::TextBox,      "",                  3360, 1080,  975,  405, std::nullopt,          6, kCentred | kTwoCharacters},
    {"Label1_2",    K::Label,        t::kUpperThreshold,  4680, 1080, 1335,  375, kLabelBackground,      7, kNoFlags},
    {"Label1_3",    K::Label,        t::kTemperature,      120,  360, 1455,  375, kLabelBackground,      8, kCentred},
    {"Label1_4",    K::Label,        t::kBaseMaximum,     2040,  600, 3975,  375, kLabelBackground,      9, kNoFlags},
    {"Text2_1",     K::TextBox,      "",                  6000,  600,  975,  405, std::nullopt,         10, kCentred | kLocked},
    {"Text2_2",     K::TextBox,      "",                  6000, 1080,  975,  405, std::nullopt,         11, kCentred | kTwoCharacters},
    {"Label1_5",    K::Label,        t::kLowerThreshold,  2040, 1080, 1335,  375, kLabelBackground,     12, kNoFlags},
    {"Command1_0",  K::PushButton,   t::kStart,           2520, 2640, 1215,  375, qRgb(0, 255, 0),      13, kNoFlags},
    {"Command1_1",  K::PushButton,   t::kStop,            5520, 2640, 1215,  375, qRgb(255, 0, 0),      14, kNoFlags},
    {"Frame1",      K::Frame,        t::kSystemState,     2040, 1680, 4935,  855, kWindowBackground,    15, kDisabled},
    {"Option1_0",   K::OptionButton, t::kOn,               240,  360, 1575,  375, qRgb(255, 128, 0),    16, kInFrame},
    {"Option1_1",   K::OptionButton, t::kOff,             3240,  360, 1575,  375, qRgb(0, 192, 0),      17, kInFrame},
}};
// clang-format on

}  // namespace

std::span<const WidgetSpec> WidgetTable() { return kWidgets; }

const WidgetSpec& FindWidgetSpec(const char* name) {
    for (const WidgetSpec& spec : kWidgets) {
        if (std::strcmp(spec.name, name) == 0) return spec;
    }
    throw std::out_of_range(std::string("no widget named ") + name);
}

}  // namespace window
