#include "view_placement.h"

#include "view_design.h"
#include "widget_table.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace regulator {
namespace {

// The nearest position at which an extent `size` starting at `start` lies
// within low..high; at `low` where it cannot.
int Within(int start, int size, int low, int high) { return std::max(low, std::min(start, high - size)); }

}  // namespace

bool ScreenRect::Intersects(const ScreenRect& other) const {
    return left < other.Right() && other.left < Right() && top < other.Bottom() && other.top < Bottom();
}

ViewPlacement PlaceView(const PlacementRequest& request) {
    const ScreenRect& work = request.work;
    const ScreenRect& main = request.main;
    const int gap = request.gap, width = request.viewWidth;
    const auto across = [&](int left, int size) { return Within(left, size, work.left, work.Right()); };
    const auto down = [&](int top, int size) { return Within(top, size, work.top, work.Bottom()); };
    // As high as designed where the screen allows.
    const int height = std::min(request.viewHeight, work.height);

    // 1. Beside the main window where it stands.
    const int viewTop = down(main.top, height);
    if (main.Right() + gap + width <= work.Right()) return {main, {main.Right() + gap, viewTop, width, height}};
    if (main.left - gap - width >= work.left) return {main, {main.left - gap - width, viewTop, width, height}};

    // 2. Side by side, moved together as little as possible.
    const int pairWidth = main.width + gap + width;
    if (pairWidth <= work.width) {
        const int mainTop = down(main.top, main.height);
        const int rightOfMain = across(main.left, pairWidth);                             // the view on the right
        const int leftOfMain = across(main.left - gap - width, pairWidth) + gap + width;  // the view on the left
        const bool right = std::abs(rightOfMain - main.left) <= std::abs(leftOfMain - main.left);
        const int mainLeft = right ? rightOfMain : leftOfMain;
        const int left = right ? mainLeft + main.width + gap : mainLeft - gap - width;
        return {{mainLeft, mainTop, main.width, main.height}, {left, down(mainTop, height), width, height}};
    }

    // 3. One above the other, the view as high as the rest of the screen allows.
    const int mainLeft = across(main.left, main.width);
    const int stacked = std::min(request.viewHeight, work.height - main.height - gap);
    if (stacked >= request.viewLeastHeight) {
        const int mainTop = down(main.top, main.height + gap + stacked);
        return {{mainLeft, mainTop, main.width, main.height},
                {across(mainLeft, width), mainTop + main.height + gap, width, stacked}};
    }

    // 4. Over the main window's explanation, under its controls: the view
    // made as low as that leaves, however low, rather than hide a control.
    const int mainTop = work.top;
    const int top = std::min(work.Bottom(), mainTop + request.mainControlsBottom + gap);
    return {{mainLeft, mainTop, main.width, main.height}, {across(mainLeft, width), top, width, work.Bottom() - top}};
}

int MainControlsBottomTwips() {
    int bottom = 0;
    for (const design::WidgetSpec& spec : design::WidgetTable()) {
        if (spec.Has(design::kMultiLine) || spec.Has(design::kInvisible) || spec.Has(design::kInFrame)) continue;
        bottom = std::max(bottom, spec.top + spec.height);
    }
    return bottom;
}

namespace {

// What each row of the view's table gives up of its height, in twips, to
// fit `missing` twips less.
std::vector<int> Shrinkage(int missing) {
    const auto table = design::ObservationTable();
    std::vector<int> given(table.size(), 0);
    double shrinkable = 0;
    for (const design::WidgetSpec& spec : table) {
        if (spec.kind == design::WidgetKind::PictureBox)
            shrinkable += spec.height * (1 - design::view::kLeastDrawingShare);
    }
    if (missing <= 0 || shrinkable <= 0) return given;
    const double share = std::min(1.0, missing / shrinkable);
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (table[i].kind != design::WidgetKind::PictureBox) continue;
        given[i] = static_cast<int>(std::ceil(share * table[i].height * (1 - design::view::kLeastDrawingShare)));
    }
    return given;
}

}  // namespace

std::vector<TwipsBox> LayOutObservation(int clientHeightTwips) {
    const auto table = design::ObservationTable();
    const std::vector<int> given = Shrinkage(design::kObservationHeightTwips - clientHeightTwips);
    std::vector<TwipsBox> boxes;
    boxes.reserve(table.size());
    for (std::size_t i = 0; i < table.size(); ++i) {
        const design::WidgetSpec& spec = table[i];
        int above = 0;  // given up by the drawings above this widget
        for (std::size_t j = 0; j < table.size(); ++j) {
            if (table[j].top + table[j].height <= spec.top) above += given[j];
        }
        boxes.push_back({spec.left, spec.top - above, spec.width, spec.height - given[i]});
    }
    return boxes;
}

int LeastObservationHeightTwips() {
    int given = 0;
    for (const int twips : Shrinkage(design::kObservationHeightTwips)) given += twips;
    return design::kObservationHeightTwips - given;
}

}  // namespace regulator
