#pragma once

// What a front end supplies to the window's logic (window_logic.h): the
// primitives of its widgets, and nothing that decides. Each call stores or
// shows what it is given; none of them raises an event of its own.
//
// Indices follow the window's widget arrays: Text2(0) lower threshold,
// Text2(1) base maximum, Text2(2) upper threshold; Option1(0) "on",
// Option1(1) "off".

#include "announcements.h"
#include "gauge_drawing.h"
#include "observation_view.h"
#include "widget_operations.h"

#include <cstdint>
#include <string>

namespace regulator {

class WindowView {
public:
    virtual ~WindowView() = default;

    // The threshold and base maximum boxes. Writing the text a box already
    // holds should leave its caret and selection alone.
    virtual std::string Text2(int index) const = 0;
    virtual void SetText2(int index, const std::string& text) = 0;

    // Draws VScroll1 with this range and position.
    virtual void ShowVScroll1(const ScaleState& scale) = 0;
    // Gives screen readers the scroll bar's value, which is the temperature
    // (the scale read from the bottom).
    virtual void ReportVScroll1Value(std::int16_t temperature) = 0;

    // Selects Option1(index); the group clears the other one.
    virtual void ShowOption1(int index) = 0;

    // Timer1 calls WindowLogic::Timer1_Timer every interval while enabled;
    // enabling a running timer keeps its rhythm.
    virtual void SetTimer1Enabled(bool enabled) = 0;

    // Picture1: its outer size in twips (border included), clearing it to
    // its background, and a solid rectangle in its own twips, clipped to
    // the area inside the border. The last drawing is kept for repainting.
    virtual double Picture1WidthTwips() const = 0;
    virtual double Picture1HeightTwips() const = 0;
    virtual void Picture1Cls() = 0;
    virtual void Picture1FillBox(const GaugeBox& box) = 0;

    // Label1(1)'s caption; the temperature is also the gauge's value for
    // screen readers.
    virtual void ShowReadout(const std::string& caption, std::int16_t temperature) = 0;
    // The gauge's description for screen readers: the heater's state.
    virtual void DescribeGauge(const std::string& description) = 0;

    // Spoken by screen readers without moving the focus.
    virtual void Announce(Message message, const std::string& text) = 0;

    // The view "Наблюдение" (observation_view.h): shown beside the window
    // (placed by PlaceView, view_placement.h, where the front end places its
    // windows) or hidden, with whatever shows that it is open (a ticked menu
    // item, a pressed button) following; and drawn as given. Closed at start.
    // The view is the only keeper of whether it is open: the front end only
    // shows what it is told, also after the user closed it by its close box.
    virtual void ShowObservationView(bool shown) = 0;
    virtual void ShowObservation(const ObservationPicture& picture) = 0;
    // The height of the view's client area in twips as the front end laid
    // it out (LayOutObservation): lower than designed where the screen is.
    virtual int ObservationHeightTwips() const { return design::kObservationHeightTwips; }
    // Puts text on the system's clipboard (tab-separated, lines ending in
    // "\n": a front end whose clipboard wants other line ends converts).
    virtual void PutOnClipboard(const std::string& text) = 0;

    // A fatal run-time error, described; the timer is stopped already and
    // no handler runs again. The front end shows it and ends the program,
    // or stays stopped where a program cannot end itself.
    virtual void ShowFatalError(const std::string& description) = 0;
};

}  // namespace regulator
