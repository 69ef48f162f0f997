#pragma once

#include <exception>
#include <string>

#include "app/platform/window_server.hpp"

namespace corvane::desktops {

// Why a desktop move could not be done. The only exception the desktop
// subsystem throws; it never leaves NativeSpaces: the move's queue task
// catches it and reports what() to the user.
class Failure final : public std::exception {
public:
    enum class Case {
        desktopCreateFailed,
        noWindow,
        noDisplay,
        noWindowID,
        operationUnavailable,
        moveFailed,
        switchFailed,
    };

    // `requested` is the desktop number the user asked for; the text names it.
    static Failure desktopCreateFailed(int requested);
    static Failure noWindow() { return Failure(Case::noWindow); }
    static Failure noDisplay() { return Failure(Case::noDisplay); }
    static Failure noWindowID() { return Failure(Case::noWindowID); }
    static Failure operationUnavailable() { return Failure(Case::operationUnavailable); }
    static Failure moveFailed() { return Failure(Case::moveFailed); }
    static Failure switchFailed() { return Failure(Case::switchFailed); }

    Case failureCase() const { return case_; }
    // The desktop number of desktopCreateFailed; 0 for every other case.
    int requestedDesktop() const { return requested_; }
    // The text the user sees, naming the system as the platform does.
    std::string description(const WindowServer::Names& names = {}) const;
    const char* what() const noexcept override { return description_.c_str(); }

private:
    explicit Failure(Case c, int requested = 0);

    Case case_;
    int requested_;
    std::string description_;
};

}  // namespace corvane::desktops
