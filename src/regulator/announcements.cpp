#include "announcements.h"

#include "regulator.h"
#include "texts.h"
#include "widget_table.h"

namespace regulator {

namespace texts = design::texts;

const int ValueReportPolicy::kTicksPerReport = 1000 / design::kTimerIntervalMs;

std::string MessageText(Message message) {
    switch (message) {
        case Message::RunStarted:
            return texts::kRunStarted;
        case Message::RunStopped:
            return texts::kRunStopped;
        case Message::HeaterOn:
            return texts::kOn;
        case Message::HeaterOff:
            return texts::kOff;
    }
    return {};
}

std::string HeaterStateDescription(int option) {
    return std::string(texts::kSystemState) + ' ' + (option == kOnOption ? texts::kOn : texts::kOff);
}

bool ValueReportPolicy::OnRunStep() {
    pending_ = true;
    return ticksSinceReport_ >= kTicksPerReport && Reported();
}

bool ValueReportPolicy::Reported() {
    pending_ = false;
    ticksSinceReport_ = 0;
    return true;
}

}  // namespace regulator
