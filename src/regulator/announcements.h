#pragma once

// What a screen reader is told, and when. Every front end delivers these
// decisions in its own platform's terms (an accessibility event, a live
// region); none of them decides.
//
//  - "Пусни" and "Спри" are confirmed in words, and every switch of the
//    heater indicator is spoken as the indicator's caption, wherever the
//    focus is. Nothing is spoken before the window is first shown.
//  - The run's own steps of the scale are never spoken as messages. The
//    scroll bar's value, which a reader reads out whenever it changes while
//    the bar has the focus, is reported at most once a second while the run
//    moves it; at once when the user moves it and when the run stops.

#include <string>

namespace regulator {

enum class Message { RunStarted, RunStopped, HeaterOn, HeaterOff };

// The message's words (UTF-8).
std::string MessageText(Message message);
// The heater's state as the indicators show it: "Състояние на системата:
// Включено"; what the gauge carries as its description.
std::string HeaterStateDescription(int option);

// When the scroll bar's value is reported to screen readers.
class ValueReportPolicy {
public:
    // At most one report this many ticks while the run moves the scale.
    static const int kTicksPerReport;

    // A tick ran.
    void OnTick() { ++ticksSinceReport_; }
    // The scale moved; true when its value is to be reported now.
    bool OnRunStep();
    bool OnUserMove() { return Reported(); }
    // The run stopped: true when a step has not been reported yet.
    bool OnStop() { return pending_ && Reported(); }

private:
    bool Reported();

    int ticksSinceReport_ = 0;
    bool pending_ = false;
};

}  // namespace regulator
