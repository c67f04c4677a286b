#pragma once

// The window's frame on a Wayland session: a title bar with the icon, the
// caption and the close box only, and a single-line border, drawn by the
// program around MainForm.
//
// Wayland compositors such as GNOME's leave the title bar to the program,
// and Qt 6.4's own title bar always offers minimise and maximise, whatever
// the window asks for; this window has neither. A press on the title bar
// lets the compositor move the window; a double click does nothing (it
// would maximise). The frame is the top-level window; the form sits inside
// it at its fixed client size and keeps the focus and the Tab order. A
// maximise or full-screen request the compositor makes on its own is
// refused by FixedSizeWindowGuard.

#include <QWidget>

namespace qt_window {

class WaylandFrame final : public QWidget {
    Q_OBJECT

public:
    static constexpr int kBorder = 1;
    static constexpr int kTitleHeight = 22;

    // Takes form, a window not yet shown, as its child; gives it back on
    // destruction.
    explicit WaylandFrame(QWidget* form);
    ~WaylandFrame() override;

    // The close box, in the frame's coordinates.
    QRect CloseBox() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QRect TitleBar() const;

    QWidget* form_;
    bool closePressed_ = false;  // the close box is held down
    bool closeSunken_ = false;   // ... with the pointer over it
};

}  // namespace qt_window
