#include "window_logic.h"

#include "fatal_error.h"
#include "widget_table.h"

#include <algorithm>

namespace regulator {

int ScrollTarget(const ScaleState& scale, ScrollRequest request, int position) {
    int target = scale.value;
    switch (request) {
        case ScrollRequest::LineUp:
            target -= design::kScaleSmallChange;
            break;
        case ScrollRequest::LineDown:
            target += design::kScaleSmallChange;
            break;
        case ScrollRequest::PageUp:
            target -= design::kScaleLargeChange;
            break;
        case ScrollRequest::PageDown:
            target += design::kScaleLargeChange;
            break;
        case ScrollRequest::Top:
            target = scale.min;
            break;
        case ScrollRequest::Bottom:
            target = scale.max;
            break;
        case ScrollRequest::Position:
            target = position;
            break;
    }
    return std::clamp<int>(target, scale.min, scale.max);
}

WindowLogic::WindowLogic(WindowView& view, NumberFormat format)
    : view_(view),
      guard_([this](const std::string& description) {
          SetTimer1Enabled(false);
          view_.ShowFatalError(description);
      }),
      regulator_(*this, std::move(format)),
      observation_(design::kTimerIntervalMs),
      scale_{design::kScaleCreatedMin, design::kScaleCreatedMax, design::kScaleCreatedValue} {}

void WindowLogic::Form_Load() {
    guard_.Run([this] {
        view_.ShowVScroll1(scale_);  // as created
        regulator_.Form_Load();
    });
    loaded_ = true;
}

void WindowLogic::Command1_Click(int index) {
    guard_.Run([this, index] {
        regulator_.Command1_Click(index);
        if (index == kStartButton) {
            observation_.OnStart();
            Announce(Message::RunStarted);
        }
        if (index == kStopButton) {
            observation_.OnStop();
            if (valueReports_.OnStop()) ReportValue();
            Announce(Message::RunStopped);
        }
        Observed();
    });
}

void WindowLogic::Timer1_Timer() {
    guard_.Run([this] {
        valueReports_.OnTick();
        mover_ = Mover::Run;
        regulator_.Timer1_Timer();
        mover_ = Mover::Program;
        const RegulatorState& state = regulator_.State();
        observation_.OnTick({CurrentTemperature(), state.HeaterOn, state.LowerThreshold, state.UpperThreshold});
        Observed();
    });
}

void WindowLogic::VScroll1_UserChange(int value) {
    guard_.Run([this, value] {
        // Outside the 16-bit range is as wrong as outside the scale.
        const auto position = static_cast<std::int16_t>(value);
        if (position != value) {
            throw FatalError(FatalError::Kind::InvalidPropertyValue, "Value = " + std::to_string(value));
        }
        const std::int16_t before = scale_.value;
        mover_ = Mover::User;
        SetVScroll1Value(position);
        mover_ = Mover::Program;
        if (scale_.value != before) {
            observation_.OnUserMove(CurrentTemperature());
            Observed();
        }
    });
}

void WindowLogic::Observation_Toggle() {
    guard_.Run([this] {
        observationShown_ = !observationShown_;
        view_.ShowObservationView(observationShown_);
        Observed();
    });
}

void WindowLogic::Observation_Closed() {
    guard_.Run([this] {
        if (!observationShown_) return;
        observationShown_ = false;
        view_.ShowObservationView(false);
    });
}

void WindowLogic::CopyBands_Click() {
    guard_.Run([this] { view_.PutOnClipboard(observation_.BandsTableText(regulator_.Format())); });
}

void WindowLogic::TypeIntoBox(int index, const std::string& text) {
    guard_.Run([this, index, &text] {
        if (index != kLowerBox && index != kUpperBox) return;  // only the threshold boxes take typing
        // Two characters, not two bytes: a UTF-8 sequence is one character.
        std::size_t end = 0;
        for (int characters = 0; end < text.size() && characters < design::kTypedCharacters; ++characters) {
            ++end;
            while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
        }
        view_.SetText2(index, text.substr(0, end));
    });
}

void WindowLogic::Observed() {
    if (observationShown_) {
        view_.ShowObservation(DrawObservation(observation_, regulator_.Format(), view_.ObservationHeightTwips()));
    }
}

void WindowLogic::Fail(const std::string& description) { guard_.Fail(description); }

std::string WindowLogic::Text2(int index) const { return view_.Text2(index); }

void WindowLogic::SetText2(int index, const std::string& text) { view_.SetText2(index, text); }

void WindowLogic::SetVScroll1(const ScaleState& scale) {
    const bool moved = scale.value != scale_.value;
    scale_ = scale;
    view_.ShowVScroll1(scale_);
    if (!moved) return;
    if ((mover_ == Mover::Run && valueReports_.OnRunStep()) || (mover_ == Mover::User && valueReports_.OnUserMove())) {
        ReportValue();
    }
}

void WindowLogic::SelectOption1(int index) {
    if (index == selectedOption_) return;
    selectedOption_ = index;
    view_.ShowOption1(index);
    // The gauge, which Tab reaches, carries the state; the announcement
    // speaks the switch wherever the focus is.
    view_.DescribeGauge(HeaterStateDescription(index));
    Announce(index == kOnOption ? Message::HeaterOn : Message::HeaterOff);
}

void WindowLogic::SetTimer1Enabled(bool enabled) {
    timerEnabled_ = enabled;
    view_.SetTimer1Enabled(enabled);
}

void WindowLogic::DrawGauge() {
    const GaugeDrawing drawing =
        SplitGauge(regulator_.GaugeRatio(), view_.Picture1WidthTwips(), view_.Picture1HeightTwips());
    view_.Picture1Cls();
    view_.Picture1FillBox(drawing.red);
    view_.Picture1FillBox(drawing.blue);
    const std::int16_t temperature = Temperature(scale_);
    view_.ShowReadout(ReadoutText(temperature), temperature);
}

void WindowLogic::Announce(Message message) {
    if (loaded_) view_.Announce(message, MessageText(message));
}

void WindowLogic::ReportValue() { view_.ReportVScroll1Value(Temperature(scale_)); }

}  // namespace regulator
