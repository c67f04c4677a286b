#include "widget_operations.h"

#include "fatal_error.h"
#include "numeric_text.h"

namespace regulator {

std::int16_t Temperature(std::int16_t max, std::int16_t value) { return GuardedSubtract(max, value); }

void CheckScaleValue(std::int16_t min, std::int16_t max, std::int16_t value) {
    if (value < min || value > max) {
        throw FatalError(FatalError::Kind::InvalidPropertyValue, "scroll position " + std::to_string(value) +
                                                                     " lies outside " + std::to_string(min) + ".." +
                                                                     std::to_string(max));
    }
}

void WidgetOperations::ChangeScale(const ScaleState& scale) {
    const std::int16_t before = VScroll1().value;
    SetVScroll1(scale);
    if (scale.value != before && vscroll1Change_) vscroll1Change_();
}

void WidgetOperations::SetVScroll1Max(std::int16_t max) {
    ScaleState scale = VScroll1();
    scale.max = max;
    if (scale.min > max) scale.min = max;
    if (scale.value > max) scale.value = max;
    ChangeScale(scale);
}

void WidgetOperations::SetVScroll1Min(std::int16_t min) {
    ScaleState scale = VScroll1();
    scale.min = min;
    if (scale.max < min) scale.max = min;
    if (scale.value < min) scale.value = min;
    ChangeScale(scale);
}

void WidgetOperations::SetVScroll1Value(std::int16_t value) {
    ScaleState scale = VScroll1();
    CheckScaleValue(scale.min, scale.max, value);
    scale.value = value;
    ChangeScale(scale);
}

}  // namespace regulator
