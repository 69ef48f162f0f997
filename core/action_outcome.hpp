#pragma once

#include <functional>
#include <string>
#include <utility>

namespace corvane {

// What became of one window action: done (the window was placed or sent), or
// not, with the reason in words a user reads ("no active window").
struct ActionOutcome {
    bool done = false;
    std::string reason;  // empty when done

    static ActionOutcome success() { return {true, {}}; }
    static ActionOutcome failure(std::string reason) { return {false, std::move(reason)}; }

    friend bool operator==(const ActionOutcome&, const ActionOutcome&) = default;
};

// Hears the outcome of an action once it is known, on the main thread.
using OutcomeHandler = std::function<void(const ActionOutcome&)>;

}  // namespace corvane
