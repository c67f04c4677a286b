#pragma once

// What the fuzzers do when a property does not hold: say which one, then
// abort, so libFuzzer stops and keeps the input as a crash artifact.

#include <cstdio>
#include <cstdlib>
#include <string>

namespace regulator::fuzzing {

[[noreturn]] inline void Fail(const std::string& what) {
    std::fprintf(stderr, "\nProperty violated: %s\n", what.c_str());
    std::fflush(stderr);
    std::abort();
}

// A box text quoted for a message, with control bytes escaped.
inline std::string Quote(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f || c == '"' || c == '\\') {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            quoted += escaped;
        } else {
            quoted += c;
        }
    }
    return quoted + '"';
}

// A double with every digit it needs to be read back exactly.
inline std::string Number(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

}  // namespace regulator::fuzzing

// Checks a property; the message is built only when the property fails, so
// checking stays cheap on the fuzzer's hot path.
#define FUZZ_CHECK(holds, message)                         \
    do {                                                   \
        if (!(holds)) ::regulator::fuzzing::Fail(message); \
    } while (false)
