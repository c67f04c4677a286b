#include "timer.h"

#include "widget_table.h"

namespace qt_window {

Timer::Timer(QObject* parent) : QTimer(parent) {
    setObjectName(QStringLiteral("Timer1"));
    setInterval(design::kTimerIntervalMs);
    setTimerType(Qt::PreciseTimer);
}

void Timer::SetEnabled(bool enabled) {
    if (!enabled) {
        stop();
    } else if (!isActive()) {
        start();
    }
}

}  // namespace qt_window
