#pragma once

#include <stdexcept>
#include <string>

namespace regulator {

// A run-time error the program cannot continue from: an arithmetic overflow,
// a division by zero or a scroll position outside the scale. Nothing in the
// regulator catches it; the window shows its message and ends the program.
class FatalError : public std::runtime_error {
public:
    explicit FatalError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace regulator
