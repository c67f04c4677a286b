#include "css_values.h"

#include <cstdio>

namespace web_page {

std::string CssPixels(int twips) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4f", design::TwipsToPixels(twips));
    std::string number = text;
    number.erase(number.find_last_not_of('0') + 1);
    if (number.back() == '.') number.pop_back();
    if (number == "-0") number = "0";
    return number + "px";
}

std::string CssColour(design::Rgb colour) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", colour.r, colour.g, colour.b);
    return text;
}

}  // namespace web_page
