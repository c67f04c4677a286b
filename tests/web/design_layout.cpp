// Writes the window's design as JSON for the browser tests: the client size
// and every widget's place and size in twips (Frame1's option buttons within
// the frame), with whether it is hidden; the same for the view "Наблюдение". The tests compare the page's boxes
// with these numbers, so a layout fault in the page's style cannot hide
// behind numbers copied from it. Run at build time under Node.
//
//   design_layout OUTPUT.json

#include "widget_table.h"

#include <fstream>
#include <iostream>
#include <span>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: design_layout OUTPUT.json\n";
        return 2;
    }
    std::ofstream out(argv[1], std::ios::binary);
    const auto widgets = [&out](std::span<const design::WidgetSpec> table) {
        out << "[";
        const char* separator = "\n";
        for (const design::WidgetSpec& spec : table) {
            out << separator << "    {\"name\": \"" << spec.name << "\", \"left\": " << spec.left
                << ", \"top\": " << spec.top << ", \"width\": " << spec.width << ", \"height\": " << spec.height
                << ", \"inFrame\": " << (spec.Has(design::kInFrame) ? "true" : "false")
                << ", \"hidden\": " << (spec.Has(design::kInvisible) ? "true" : "false") << "}";
            separator = ",\n";
        }
        out << "\n  ]";
    };
    out << "{\n  \"twipsPerPixel\": " << design::kTwipsPerPixel
        << ",\n  \"client\": {\"width\": " << design::kClientWidthTwips
        << ", \"height\": " << design::kClientHeightTwips << "},\n  \"widgets\": ";
    widgets(design::WidgetTable());
    out << ",\n  \"observation\": {\"width\": " << design::kObservationWidthTwips
        << ", \"height\": " << design::kObservationHeightTwips << "},\n  \"observationWidgets\": ";
    widgets(design::ObservationTable());
    out << "\n}\n";
    if (!out) {
        std::cerr << "design_layout: cannot write " << argv[1] << '\n';
        return 1;
    }
    return 0;
}
