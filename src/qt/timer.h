#pragma once

// Timer1: a tick every interval of the design while enabled. A precise
// timer: Qt's default coarse one may fire up to 5 % off its interval.

#include <QTimer>

namespace qt_window {

class Timer final : public QTimer {
    Q_OBJECT

public:
    explicit Timer(QObject* parent = nullptr);

    // Enabling a running timer keeps its rhythm: it is not started again.
    void SetEnabled(bool enabled);
};

}  // namespace qt_window
