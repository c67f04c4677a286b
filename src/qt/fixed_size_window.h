#pragma once

// Keeps a fixed-size window alive on a Wayland compositor that maximises it
// anyway.
//
// The window tells the compositor that its smallest and largest sizes are
// equal, but a compositor may still maximise it (weston does, from its
// keyboard shortcut, and Qt's own title bar would offer a maximise button
// too, which is why the program draws its own: wayland_frame.h). A maximised configure carries a size the window must take
// exactly; Qt 6.4 acknowledges it and keeps the fixed size, and the
// compositor ends the connection at the window's next frame ("xdg_surface
// geometry does not match the configured maximized state"): the program
// exits. Asking to leave the maximised state is then too late: the
// compositor ignores a request back to the state it last saw drawn.
//
// A full-screen configure, by contrast, allows a smaller window. So when
// the window finds itself maximised, it draws nothing and asks for full
// screen instead (from full screen, for its normal state at once). In full
// screen it draws one frame at its own size and asks for its normal state:
// Qt 6.4 draws a fixed-size window there with the areas of its opaque child
// widgets black, so a full-screen request is refused the same way. Both
// requests are refused without a protocol error, and the window keeps its
// place and size.

#include <QObject>

class QWidget;

namespace qt_window {

class FixedSizeWindowGuard final : public QObject {
    Q_OBJECT

public:
    // Watches the window of widget, a shown top-level widget.
    explicit FixedSizeWindowGuard(QWidget* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* widget_;
    bool suspended_ = false;       // drawing stopped until the next configure
    bool leftFullScreen_ = false;  // asked to leave full screen, not yet answered
};

}  // namespace qt_window
