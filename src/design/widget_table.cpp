#include "widget_table.h"

#include "texts.h"

#include <array>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

namespace design {
namespace {

using K = WidgetKind;
namespace t = texts;

constexpr Rgb kLabelBackground{255, 192, 128};

// clang-format off
const std::array<WidgetSpec, 18> kWidgets = {{
    // name         kind             text                 accessible name          left  top   width height background      flags
    {"Text1_0",    K::TextBox,      nullptr,             t::kExplanationName,      120, 3600, 6855, 2175, std::nullopt,       kMultiLine | kLocked},
    {"Text1_1",    K::TextBox,      nullptr,             t::kAphorismName,         720, 4320, 6735, 1815, std::nullopt,       kMultiLine | kLocked | kInvisible},
    {"Label1_0",   K::Label,        t::kTitle,           nullptr,                 2040,    0, 3975,  375, kLabelBackground,   kCentred},
    {"Picture1",   K::PictureBox,   nullptr,             t::kGaugeName,            120,  720, 1455, 2655, Rgb{128, 128, 255}, kNoFlags},
    {"VScroll1",   K::VScrollBar,   nullptr,             t::kScaleName,           1560,  480,  375, 3135, std::nullopt,       kNoFlags},
    {"Label1_1",   K::Label,        "",                  nullptr,                 2880, 3120, 3375,  375, kLabelBackground,   kCentred},
    {"Text2_0",    K::TextBox,      "",                  t::kLowerBoxName,        3360, 1080,  975,  405, std::nullopt,       kCentred | kTwoCharacters},
    {"Label1_2",   K::Label,        t::kUpperThreshold,  nullptr,                 4680, 1080, 1335,  375, kLabelBackground,   kNoFlags},
    {"Label1_3",   K::Label,        t::kTemperature,     nullptr,                  120,  360, 1455,  375, kLabelBackground,   kCentred},
    {"Label1_4",   K::Label,        t::kBaseMaximum,     nullptr,                 2040,  600, 3975,  375, kLabelBackground,   kNoFlags},
    {"Text2_1",    K::TextBox,      "",                  t::kBaseMaximumBoxName,  6000,  600,  975,  405, std::nullopt,       kCentred | kLocked},
    {"Text2_2",    K::TextBox,      "",                  t::kUpperBoxName,        6000, 1080,  975,  405, std::nullopt,       kCentred | kTwoCharacters},
    {"Label1_5",   K::Label,        t::kLowerThreshold,  nullptr,                 2040, 1080, 1335,  375, kLabelBackground,   kNoFlags},
    {"Command1_0", K::PushButton,   t::kStart,           nullptr,                 2520, 2640, 1215,  375, Rgb{0, 255, 0},     kShowsColour},
    {"Command1_1", K::PushButton,   t::kStop,            nullptr,                 5520, 2640, 1215,  375, Rgb{255, 0, 0},     kShowsColour},
    {"Frame1",     K::Frame,        t::kSystemState,     nullptr,                 2040, 1680, 4935,  855, kWindowBackground,  kDisabled},
    {"Option1_0",  K::OptionButton, t::kOn,              nullptr,                  240,  360, 1575,  375, Rgb{255, 128, 0},   kInFrame},
    {"Option1_1",  K::OptionButton, t::kOff,             nullptr,                 3240,  360, 1575,  375, Rgb{0, 192, 0},     kInFrame},
}};

// The view "Наблюдение": Trace, Loop and Rate are picture boxes that draw
// the run (each under its title); the labels without a text of their own
// (Figure_i) show the figures; Bands is the table of bands.
const std::array<WidgetSpec, 11> kObservationWidgets = {{
    // name         kind             text                 accessible name          left  top   width height background          flags
    {"TraceTitle", K::Label,        t::kTraceTitle,      nullptr,                  120,   60, 6900,  330, kLabelBackground,   kCentred},
    {"Trace",      K::PictureBox,   nullptr,             t::kTraceTitle,           120,  420, 6900, 2340, Rgb{255, 255, 255}, kNoFlags},
    {"LoopTitle",  K::Label,        t::kLoopTitle,       nullptr,                  120, 2850, 6900,  330, kLabelBackground,   kCentred},
    {"Loop",       K::PictureBox,   nullptr,             t::kLoopTitle,            120, 3210, 6900, 1800, Rgb{255, 255, 255}, kNoFlags},
    {"RateTitle",  K::Label,        t::kRateTitle,       nullptr,                  120, 5100, 6900,  330, kLabelBackground,   kCentred},
    {"Rate",       K::PictureBox,   nullptr,             t::kRateTitle,            120, 5460, 6900, 1800, Rgb{255, 255, 255}, kNoFlags},
    {"Figure_0",   K::Label,        nullptr,             nullptr,                  120, 7350, 6900,  330, std::nullopt,       kNoFlags},
    {"Figure_1",   K::Label,        nullptr,             nullptr,                  120, 7680, 6900,  330, std::nullopt,       kNoFlags},
    {"Figure_2",   K::Label,        nullptr,             nullptr,                  120, 8010, 6900,  330, std::nullopt,       kNoFlags},
    {"Bands",      K::Table,        nullptr,             t::kBandsTableName,       120, 8430, 6900, 1260, Rgb{255, 255, 255}, kNoFlags},
    {"CopyBands",  K::PushButton,   t::kCopyTable,       nullptr,                  120, 9780, 2400,  375, kChromeFace,        kShowsColour},
}};
// clang-format on

}  // namespace

int WidgetSpec::ArrayIndex() const {
    const char* underscore = std::strrchr(name, '_');
    return underscore == nullptr ? 0 : std::atoi(underscore + 1);
}

std::span<const WidgetSpec> WidgetTable() { return kWidgets; }

std::span<const WidgetSpec> ObservationTable() { return kObservationWidgets; }

const WidgetSpec& FindWidgetSpec(const char* name) {
    for (const auto& table : {WidgetTable(), ObservationTable()}) {
        for (const WidgetSpec& spec : table) {
            if (std::strcmp(spec.name, name) == 0) return spec;
        }
    }
    throw std::out_of_range(std::string("no widget named ") + name);
}

}  // namespace design
