#pragma once

// Where the view "Наблюдение" goes beside the main window, and how its
// widgets are laid out when the screen cannot hold all of it. One answer
// for every front end that places its own windows; a browser lays the two
// out with its own rules and the same gap.
//
// PlaceView puts the view, in this order of preference:
//  1. beside the main window where it stands: to its right, else to its
//     left, the tops level where the screen allows;
//  2. else both moved together, as little as possible, so that they fit
//     side by side;
//  3. else one above the other (the main window above), moved together;
//  4. else, where the screen cannot hold both, overlapping as little as it
//     can and never over the main window's controls: the main window at the
//     top, the view under its controls, over its explanation only, made as
//     low as that leaves (lower than its least height on a screen too low
//     for even that, rather than hide a control).
// The view never reaches past the work area: where the screen is lower than
// the view, it is made lower, its drawings shrinking (LayOutObservation).
// The main window keeps its size; it moves only in cases 2 to 4.

#include <vector>

namespace regulator {

// A rectangle in a screen's pixels; Right() and Bottom() are one past it.
struct ScreenRect {
    int left = 0, top = 0, width = 0, height = 0;
    int Right() const { return left + width; }
    int Bottom() const { return top + height; }
    bool Intersects(const ScreenRect& other) const;
    bool operator==(const ScreenRect&) const = default;
};

struct PlacementRequest {
    ScreenRect work;  // the screen's work area (without its task bars)
    ScreenRect main;  // the main window's outer rectangle, frame included
    // The view's outer size, frame included, at its design height; and the
    // least outer height it can be laid out in (LeastObservationHeightTwips
    // and its frame).
    int viewWidth = 0;
    int viewHeight = 0;
    int viewLeastHeight = 0;
    // How far below the main window's outer top its controls end; below
    // them lies only the explanation.
    int mainControlsBottom = 0;
    int gap = 0;  // design::view::kGapPixels at the screen's scale
};

struct ViewPlacement {
    ScreenRect main;  // where the main window goes, its size unchanged
    ScreenRect view;  // where the view goes, with its outer height
};

ViewPlacement PlaceView(const PlacementRequest& request);

// How far below the top of the main window's client area its controls end
// (the lowest of its widgets but the explanation and the hidden aphorism).
int MainControlsBottomTwips();

// A widget's place within the view's client area, in twips.
struct TwipsBox {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const TwipsBox&) const = default;
};

// The view's widgets laid out in a client area `clientHeightTwips` high, one
// box for each row of design::ObservationTable(), in its order. At the
// design height (or higher) as designed; lower, the picture boxes give up
// the height missing, each in proportion to its own and at most down to
// design::view::kLeastDrawingShare of it, and what lies under them moves up.
std::vector<TwipsBox> LayOutObservation(int clientHeightTwips);
// The least client height the view can be laid out in.
int LeastObservationHeightTwips();

}  // namespace regulator
