#include "handler_guard.h"

#include "fatal_error.h"
#include "texts.h"

#include <exception>

namespace regulator {

namespace texts = design::texts;

std::string FatalErrorDescription(const FatalError& error) {
    const char* name = texts::kUnexpectedError;
    switch (error.kind()) {
        case FatalError::Kind::Overflow:
            name = texts::kOverflow;
            break;
        case FatalError::Kind::DivisionByZero:
            name = texts::kDivisionByZero;
            break;
        case FatalError::Kind::InvalidPropertyValue:
            name = texts::kInvalidPropertyValue;
            break;
    }
    return std::string(name) + " (" + error.what() + ")";
}

std::string UnexpectedErrorDescription(const std::string& what) {
    return what.empty() ? std::string(texts::kUnexpectedError)
                        : std::string(texts::kUnexpectedError) + " (" + what + ")";
}

std::string CurrentErrorDescription() {
    try {
        throw;
    } catch (const FatalError& error) {
        return FatalErrorDescription(error);
    } catch (const std::exception& error) {
        return UnexpectedErrorDescription(error.what());
    } catch (...) {
        return UnexpectedErrorDescription({});
    }
}

std::string FatalErrorMessage(const std::string& description) {
    return std::string(texts::kRunTimeError) + ": " + description + "\n\n" + texts::kProgramWillClose;
}

std::string PageFatalErrorMessage(const std::string& description) {
    return std::string(texts::kRunTimeError) + ": " + description + "\n\n" + texts::kReloadToStartAgain;
}

void HandlerGuard::Fail(const std::string& description) {
    if (failed_) return;
    failed_ = true;
    // The handler of a failure must not throw either.
    try {
        if (onFailure_) onFailure_(description);
    } catch (...) {
    }
}

}  // namespace regulator
