#pragma once

// The program's icon (packaging/icons, built into the program), for the
// window's title bar and the task bar.

#include <QIcon>

namespace qt_window {

// The icon in its two sizes, 32 and 48 pixels. The pictures are read as PNG
// by Qt's own reader: left to guess the format, Qt would first load each of
// its image plugins (GIF, ICO, and JPEG with its library) to ask whether it
// reads the file, before the window can be shown.
QIcon ProgramIcon();

}  // namespace qt_window
