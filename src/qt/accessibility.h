#pragma once

// What screen readers get from the window beyond Qt's own accessible
// interfaces:
//   - the gauge reports the temperature as its value, and the scroll bar
//     reports and takes the temperature (top = 100) rather than its position;
//   - the threshold boxes report their whole text as one run of text
//     attributes (Qt's line edit reports empty runs, after which Orca speaks
//     "81" as "8");
//   - the window lists its announcements (announcer.h) among its
//     accessible children.

#include <QAccessible>

namespace qt_window {

void InstallAccessibility();

// While alive, the accessibility events Qt raises are not passed on. A run
// moves the scale ten times a second; a screen reader would speak every step
// of a focused scroll bar and drown everything else.
class SilentAccessibility {
public:
    SilentAccessibility();
    ~SilentAccessibility();
    SilentAccessibility(const SilentAccessibility&) = delete;
    SilentAccessibility& operator=(const SilentAccessibility&) = delete;

private:
    QAccessible::UpdateHandler previous_;
};

}  // namespace qt_window
