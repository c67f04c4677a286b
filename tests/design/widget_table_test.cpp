// The design table is read by every front end; these checks catch a table
// that no front end could lay out as intended.

#include "texts.h"
#include "widget_table.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <string>

namespace design {
namespace {

bool Inside(const WidgetSpec& w, int left, int top, int width, int height) {
    return w.left >= left && w.top >= top && w.left + w.width <= left + width && w.top + w.height <= top + height;
}

TEST(WidgetTable, IsInTabOrderWithUniqueNamesAndFitsItsContainer) {
    const WidgetSpec& frame = FindWidgetSpec("Frame1");
    std::set<std::string> names;
    for (const WidgetSpec& w : WidgetTable()) {
        EXPECT_TRUE(names.insert(w.name).second) << w.name;
        // Whole pixels at 96 DPI, so every front end shows the same pixels
        // (and the tests can expect them: design_layout refuses anything else).
        for (const int twips : {w.left, w.top, w.width, w.height}) EXPECT_EQ(twips % kTwipsPerPixel, 0) << w.name;
        if (w.Has(kInFrame)) {
            EXPECT_EQ(w.kind, WidgetKind::OptionButton) << w.name;
            EXPECT_TRUE(Inside(w, 0, 0, frame.width, frame.height)) << w.name;
        } else if (!w.Has(kInvisible)) {  // the hidden aphorism reaches past the window
            EXPECT_TRUE(Inside(w, 0, 0, kClientWidthTwips, kClientHeightTwips)) << w.name;
        }
    }
    EXPECT_THROW(FindWidgetSpec("Text3_0"), std::out_of_range);
}

TEST(WidgetTable, EveryControlWithoutACaptionOfItsOwnHasAnAccessibleName) {
    for (const WidgetSpec& w : WidgetTable()) {
        const bool captioned = w.text != nullptr && *w.text != '\0';
        const bool readout = w.kind == WidgetKind::Label;  // speaks its own text
        if (!captioned && !readout) EXPECT_NE(w.accessibleName, nullptr) << w.name;
    }
    EXPECT_STREQ(FindWidgetSpec("Text2_0").accessibleName, texts::kLowerBoxName);
    EXPECT_STREQ(FindWidgetSpec("Text2_2").accessibleName, texts::kUpperBoxName);
}

TEST(WidgetTable, ArraySizesAgreeWithTheTable) {
    const std::pair<std::string, int> arrays[] = {{"Text1_", kText1Count},
                                                  {"Text2_", kText2Count},
                                                  {"Label1_", kLabel1Count},
                                                  {"Command1_", kCommand1Count},
                                                  {"Option1_", kOption1Count}};
    for (const auto& [prefix, count] : arrays) {
        int rows = 0;
        for (const WidgetSpec& w : WidgetTable()) {
            if (std::string(w.name).starts_with(prefix)) {
                EXPECT_EQ(w.ArrayIndex(), rows) << w.name << ": the array's members in index order";
                ++rows;
            }
        }
        EXPECT_EQ(rows, count) << prefix;
    }
}

TEST(Twips, ConvertToPixelsExactlyAndRoundedAtAnyDpi) {
    struct Case {
        int twips, dpi;
        double exact;
        int whole;
    };
    const Case cases[] = {
        {7140, 96, 476, 476}, {1, 96, 1.0 / 15, 0},     {8, 96, 8.0 / 15, 1},    {7, 96, 7.0 / 15, 0},
        {375, 144, 37.5, 38}, {1455, 120, 121.25, 121}, {-8, 96, -8.0 / 15, -1}, {0, 192, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(TwipsToPixels(c.twips, c.dpi), c.exact) << c.twips << " twips at " << c.dpi;
        EXPECT_EQ(TwipsToWholePixels(c.twips, c.dpi), c.whole) << c.twips << " twips at " << c.dpi;
        EXPECT_DOUBLE_EQ(PixelsToTwips(TwipsToPixels(c.twips, c.dpi), c.dpi), c.twips);
    }
}

TEST(WidgetTable, ArrayIndexComesFromTheName) {
    EXPECT_EQ(FindWidgetSpec("Text2_2").ArrayIndex(), 2);
    EXPECT_EQ(FindWidgetSpec("Command1_1").ArrayIndex(), 1);
    EXPECT_EQ(FindWidgetSpec("Picture1").ArrayIndex(), 0);
}

}  // namespace
}  // namespace design
