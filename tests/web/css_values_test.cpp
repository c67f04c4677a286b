// The design's lengths and colours as the page's generated style writes them.

#include "css_values.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

namespace web_page {
namespace {

TEST(CssPixels, WritesTwipsAsPixelsWithoutTrailingZeros) {
    struct Case {
        int twips;
        const char* css;
    };
    for (const auto& [twips, css] :
         {Case{0, "0px"}, Case{15, "1px"}, Case{375, "25px"}, Case{7140, "476px"}, Case{1, "0.0667px"},
          Case{16, "1.0667px"}, Case{22, "1.4667px"}, Case{8, "0.5333px"}, Case{-15, "-1px"}, Case{-16, "-1.0667px"}}) {
        EXPECT_EQ(CssPixels(twips), css) << twips << " twips";
    }
}

TEST(CssPixels, EveryRemainderIsWithinATenThousandthOfAPixel) {
    for (int twips = -3000; twips <= 3000; ++twips) {
        const std::string css = CssPixels(twips);
        ASSERT_EQ(css.substr(css.size() - 2), "px") << css;
        char* end = nullptr;
        const double pixels = std::strtod(css.c_str(), &end);
        ASSERT_EQ(std::string(end), "px") << css;
        EXPECT_LE(std::abs(pixels - design::TwipsToPixels(twips)), 0.00005) << twips << " twips: " << css;
    }
}

TEST(CssColour, WritesSixHexDigits) {
    struct Case {
        design::Rgb colour;
        const char* css;
    };
    for (const auto& [colour, css] : {Case{{0, 0, 0}, "#000000"}, Case{{255, 128, 0}, "#ff8000"},
                                      Case{{90, 90, 140}, "#5a5a8c"}, Case{{255, 255, 255}, "#ffffff"}}) {
        EXPECT_EQ(CssColour(colour), css);
    }
}

}  // namespace
}  // namespace web_page
