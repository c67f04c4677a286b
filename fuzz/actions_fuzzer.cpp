// A user session decoded from the input bytes and played on the widget model:
// typing into the threshold boxes, dragging the thumb, start, stop, clicks on
// indices that are no button, and timer ticks.
//
// Input: the first byte picks the number format (odd: ",", even: "."); then
// each action is one byte, the action being that byte modulo 8:
//   0, 1  type into the lower (0) or upper (1) box; the next byte modulo 16 is
//         the number of characters, which follow. With the top bit of the
//         action byte set, they are added at the end of the text; without
//         it, they replace the whole text.
//   2     drag the thumb so the temperature reads (next byte modulo 101)
//   3     click "start"
//   4     click "stop"
//   5, 6  let the timer fire (next byte modulo 64) + 1 times; a stopped timer
//         does not fire
//   7     click the button array at index (next byte as a signed number)
// A missing byte reads as 0. So "\x00" "3" "5\x3f" starts and runs 64 ticks.
//
// Properties:
//  - no fatal error (overflow, division, position outside the scale);
//  - the position stays within 0..100 and the gauge ratio follows it;
//  - exactly one of the two indicators is selected;
//  - after every tick the boxes read 0 <= lower <= upper, 10 <= upper, and
//    upper <= 95 if nothing was typed since the previous validation, else
//    upper <= 114 (what an exchange can briefly leave);
//  - every tick switches the heater by the hysteresis rule on the thresholds
//    it read, moves the temperature one unit that way (resting at the ends of
//    the scale) and shows the matching indicator;
//  - start only starts the timer, stop only stops it and shows "off", any
//    other index changes nothing.

#include "fatal_error.h"
#include "fuzz_check.h"
#include "regulator.h"
#include "widget_model.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>

namespace {

using regulator::ReadNumber;
using regulator::fuzzing::Fail;
using regulator::fuzzing::Number;
using regulator::fuzzing::Quote;
using regulator::testing::Rig;

class Session {
public:
    Session(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool AtEnd() const { return at_ >= size_; }
    std::uint8_t Next() { return at_ < size_ ? data_[at_++] : 0; }
    std::string Characters(std::size_t count) {
        count = std::min(count, size_ - std::min(at_, size_));
        std::string text(reinterpret_cast<const char*>(data_ + at_), count);
        at_ += count;
        return text;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

struct Player {
    Rig& rig;
    bool typedSinceValidation = false;  // start-up leaves a valid pair
    int action = 0;

    std::string Where() const {
        return "action " + std::to_string(action) + ", boxes " + Quote(rig.widgets.text2[regulator::kLowerBox]) +
               " / " + Quote(rig.widgets.text2[regulator::kUpperBox]) + ", temperature " +
               std::to_string(rig.widgets.Temperature());
    }

    void Type(int box, bool append, const std::string& characters) {
        std::string& text = rig.widgets.text2[box];
        text = append ? text + characters : characters;
        typedSinceValidation = true;
    }

    void Drag(int temperature) {
        rig.widgets.Drag(temperature);
        FUZZ_CHECK(rig.widgets.Temperature() == temperature, "the drag did not land: " + Where());
    }

    void Click(int index) {
        const bool timerBefore = rig.widgets.timerEnabled;
        const auto optionBefore = rig.widgets.option;
        const bool heaterBefore = rig.regulator.State().HeaterOn;
        rig.regulator.Command1_Click(index);
        FUZZ_CHECK(rig.regulator.State().HeaterOn == heaterBefore, "a click switched the heater: " + Where());
        if (index == regulator::kStartButton) {
            FUZZ_CHECK(rig.widgets.timerEnabled && rig.widgets.option == optionBefore,
                       "start did more than start: " + Where());
        } else if (index == regulator::kStopButton) {
            FUZZ_CHECK(!rig.widgets.timerEnabled && rig.widgets.option[regulator::kOffOption],
                       "stop did not stop and show off: " + Where());
        } else {
            FUZZ_CHECK(rig.widgets.timerEnabled == timerBefore && rig.widgets.option == optionBefore,
                       "index " + std::to_string(index) + " is no button but did something: " + Where());
        }
    }

    void Tick() {
        if (!rig.widgets.timerEnabled) return;  // a stopped timer does not fire
        const int before = rig.widgets.Temperature();
        const bool heaterBefore = rig.regulator.State().HeaterOn;

        rig.regulator.Timer1_Timer();

        const double lower = ReadNumber(rig.widgets.text2[regulator::kLowerBox]);
        const double upper = ReadNumber(rig.widgets.text2[regulator::kUpperBox]);
        const double upperLimit = typedSinceValidation ? 114 : 95;
        FUZZ_CHECK(0 <= lower && lower <= upper && 10 <= upper && upper <= upperLimit,
                   "boxes out of range after a tick, reading " + Number(lower) + " / " + Number(upper) + ": " +
                       Where());
        typedSinceValidation = false;

        const auto& state = rig.regulator.State();
        FUZZ_CHECK(state.LowerThreshold == lower && state.UpperThreshold == upper,
                   "the tick used other thresholds than the boxes show: " + Where());
        bool heater = heaterBefore;
        if (before <= lower) heater = true;
        if (before >= upper) heater = false;
        FUZZ_CHECK(state.HeaterOn == heater,
                   "the heater broke the hysteresis rule from temperature " + std::to_string(before) + ": " + Where());
        const int expected = std::clamp(before + (heater ? 1 : -1), 0, 100);
        FUZZ_CHECK(rig.widgets.Temperature() == expected,
                   "the temperature went from " + std::to_string(before) + " to the wrong place: " + Where());
        FUZZ_CHECK(rig.widgets.option[heater ? regulator::kOnOption : regulator::kOffOption],
                   "the indicator does not match the heater: " + Where());
    }

    void CheckAlways() const {
        const auto& w = rig.widgets;
        FUZZ_CHECK(w.min == 0 && w.max == 100, "the scale range changed: " + Where());
        FUZZ_CHECK(w.value >= 0 && w.value <= 100, "the position left the scale: " + Where());
        FUZZ_CHECK(rig.regulator.GaugeRatio() == w.value / 100.0, "the gauge ratio " +
                                                                      Number(rig.regulator.GaugeRatio()) +
                                                                      " does not follow the position: " + Where());
        FUZZ_CHECK(w.option[regulator::kOnOption] != w.option[regulator::kOffOption],
                   "not exactly one indicator is selected: " + Where());
        FUZZ_CHECK(w.text2[regulator::kBaseMaximumBox] == "100", "the base maximum box changed: " + Where());
    }
};

void Play(Session& session, Player& player) {
    while (!session.AtEnd()) {
        ++player.action;
        const std::uint8_t code = session.Next();
        switch (code % 8) {
            case 0:
            case 1: {
                const int box = code % 8 == 0 ? regulator::kLowerBox : regulator::kUpperBox;
                const std::size_t count = session.Next() % 16;
                player.Type(box, (code & 0x80) != 0, session.Characters(count));
                break;
            }
            case 2:
                player.Drag(session.Next() % 101);
                break;
            case 3:
                player.Click(regulator::kStartButton);
                break;
            case 4:
                player.Click(regulator::kStopButton);
                break;
            case 5:
            case 6:
                for (int ticks = session.Next() % 64 + 1; ticks > 0; --ticks) {
                    player.Tick();
                    player.CheckAlways();
                }
                break;
            default:
                player.Click(static_cast<std::int8_t>(session.Next()));
                break;
        }
        player.CheckAlways();
        player.rig.widgets.log.clear();  // the model's event log is not needed here
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Session session(data, size);
    const regulator::NumberFormat format{(session.Next() & 1) != 0 ? "," : "."};
    Rig rig(format);
    Player player{rig};
    try {
        player.CheckAlways();
        Play(session, player);
    } catch (const regulator::FatalError& error) {
        Fail(std::string("fatal error: ") + error.what() + " at " + player.Where());
    } catch (const std::exception& error) {
        Fail(std::string("exception: ") + error.what() + " at " + player.Where());
    }
    return 0;
}
