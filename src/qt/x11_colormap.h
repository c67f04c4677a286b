#pragma once

// The program's windows on X11 use the screen's default colormap.
//
// Qt's X11 plugin gives every window a colormap it creates itself, even when
// the window uses the screen's default visual. On a desktop without a
// compositor the screen still shows each window as drawn, but screen grabs
// that assemble the screen window by window (xwd -root, ImageMagick's
// import -descend) group the windows by visual and colormap and read each
// group from its lowest window. A context menu or a message box lying wholly
// inside the main window then falls into the main window's group and is read
// from the main window beneath it, where the X server has only black to give:
// the grab shows a black rectangle where the menu is. With the screen's
// default colormap, as most X programs have, all the windows form one group
// with the root window and the screen is read as it is shown. For a window of
// the default visual the colormap changes nothing in its colours.

namespace qt_window {

// On the X11 platform, every window the application creates from now on
// gets the screen's default colormap when it uses the screen's default visual
// (windows of another visual, such as translucent ones, keep their own). On
// any other platform nothing happens. Call once, after the application has
// been created.
void UseScreenColormap();

}  // namespace qt_window
