#pragma once

// The program's start-up between creating the application and showing the
// window. main() runs it, and so does the start-up benchmark
// (bench/startup_phases.cpp), which then times exactly what the program does.

#include "main_form.h"

#include <memory>

namespace qt_window {

// Application-wide settings: the Fusion style, the screen's colormap on X11
// (x11_colormap.h) and Qt's own texts in Bulgarian (toolkit_translation.h).
void SetUpApplication();

// The window, built but not shown yet. The caller checks HasFailed().
std::unique_ptr<MainForm> CreateMainForm();

}  // namespace qt_window
