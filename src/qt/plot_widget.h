#pragma once

// A picture box of the view "Наблюдение": it paints whatever drawing the
// window's logic made of the run (observation_view.h), lines, then markers,
// then texts, given in the drawing's own pixels at 96 to the inch, which are
// Qt's logical pixels, scaled to the box where it is not the drawing's size;
// Qt scales them to the screen's density, so the drawing stays sharp. Dashes
// and the texts' size are the design's (view_design.h). The last drawing is
// kept for repainting.
//
// For screen readers the box is an image named by its title, whose
// description says what the drawing shows; it changes only when that text
// does.

#include "observation_view.h"

#include <QFont>
#include <QPointF>
#include <QWidget>

#include <string>
#include <vector>

namespace qt_window {

class PlotWidget final : public QWidget {
    Q_OBJECT

public:
    static constexpr int kBorderPixels = 2;  // the sunken three-dimensional border

    explicit PlotWidget(QWidget* parent = nullptr);

    // Draws plot from now on (repainting only this box).
    void SetPlot(const regulator::Plot& plot);
    const regulator::Plot& Plot() const { return plot_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    regulator::Plot plot_;
    QFont textFont_;
    std::vector<QPointF> chain_;  // a polyline's points, reused from paint to paint
};

}  // namespace qt_window
