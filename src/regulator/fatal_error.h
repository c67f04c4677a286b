#pragma once

#include <stdexcept>
#include <string>

namespace regulator {

// A run-time error the program cannot continue from. Nothing in the
// regulator catches it; the window shows its message and ends the program.
class FatalError : public std::runtime_error {
public:
    enum class Kind {
        Overflow,              // a result does not fit a 16-bit integer
        DivisionByZero,        // a zero divisor or a result that is not finite
        InvalidPropertyValue,  // a scroll position outside the scale
    };

    FatalError(Kind kind, const std::string& detail) : std::runtime_error(detail), kind_(kind) {}

    Kind kind() const noexcept { return kind_; }

private:
    Kind kind_;
};

}  // namespace regulator
