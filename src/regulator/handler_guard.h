#pragma once

// The program's error policy. Every handler of a window event runs behind
// a guard, so that no exception ever crosses the toolkit's event loop:
// whatever a handler throws is described (a fatal run-time error of the
// regulator by its kind, anything else as unexpected) and handed on, once;
// after that no handler runs again. What is done with the description (a
// message box and the end of the program, or a page that stays stopped) is
// the front end's.

#include <functional>
#include <string>

namespace regulator {

class FatalError;

// "Деление на нула (...)": what went wrong, with the error's own detail.
std::string FatalErrorDescription(const FatalError& error);
// Any other error; what may be empty.
std::string UnexpectedErrorDescription(const std::string& what);
// The exception being handled, described as one of the two above; to be
// called only inside a catch block.
std::string CurrentErrorDescription();
// The whole text of the message shown before the program ends.
std::string FatalErrorMessage(const std::string& description);
// The same for the web page, which stays on the screen, stopped, until it
// is reloaded.
std::string PageFatalErrorMessage(const std::string& description);

class HandlerGuard {
public:
    using FailureHandler = std::function<void(const std::string& description)>;

    explicit HandlerGuard(FailureHandler onFailure) : onFailure_(std::move(onFailure)) {}

    // Runs the handler unless an earlier one failed.
    template <typename Handler>
    void Run(Handler&& handler) {
        if (failed_) return;
        try {
            handler();
        } catch (...) {
            Fail(CurrentErrorDescription());
        }
    }

    // A failure found outside a guarded handler; only the first counts.
    void Fail(const std::string& description);
    bool Failed() const { return failed_; }

private:
    FailureHandler onFailure_;
    bool failed_ = false;
};

}  // namespace regulator
