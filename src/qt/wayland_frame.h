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
//
// A program cannot place its windows on Wayland, so the view "Наблюдение"
// is shown inside this frame, beside the form: the frame widens to the
// right to hold both, the form staying exactly where it is, with the
// design's gap of window background between them; the view has a title
// bar of its own with its caption and a close box, which closes the view
// (a close event the view answers). Hidden, the frame shrinks back.

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

    // The form's close box (closes the frame), and the side's, in the
    // frame's coordinates.
    QRect CloseBox() const { return CloseBox(Pane::Form); }
    QRect SideCloseBox() const { return CloseBox(Pane::Side); }

    // Shows side (a widget laid out at its fixed size) beside the form,
    // the frame widened to hold it; or hides it, the frame back to the
    // form's size. The frame takes side as its child and keeps it.
    void ShowSide(QWidget* side);
    void HideSide();
    QWidget* Side() const { return side_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    enum class Pane { Form, Side, None };
    // The form and its title bar within their border; the same for the side.
    QRect PaneRect(Pane pane) const;
    QRect TitleBar(Pane pane) const;
    QRect CloseBox(Pane pane) const;
    bool SideShown() const;
    void PaintPane(QPainter& painter, Pane pane, const QString& title, const QIcon& icon);
    void FitSize();

    QWidget* form_;
    QWidget* side_ = nullptr;
    Pane pressed_ = Pane::None;  // whose close box is held down
    bool closeSunken_ = false;   // ... with the pointer over it
};

}  // namespace qt_window
