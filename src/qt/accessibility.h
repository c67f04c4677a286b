#pragma once

namespace qt_window {

// Lets screen readers read the gauge and the scroll bar as a temperature:
// the gauge reports the temperature as its value, and the scroll bar reports
// and takes the temperature (top = 100) rather than its raw position.
void InstallAccessibility();

}  // namespace qt_window
