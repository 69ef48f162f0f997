#pragma once

#include <string_view>

namespace corvane {

// What the user hears, and what the diagnostics log records. Any thread.
class SystemFeedback {
public:
    virtual ~SystemFeedback() = default;

    // The system beep: "that could not be done".
    virtual void beep() = 0;
    // Writes one diagnostic line, "corvane: " followed by `message`.
    virtual void log(std::string_view message) = 0;

protected:
    SystemFeedback() = default;
    SystemFeedback(const SystemFeedback&) = delete;
    SystemFeedback& operator=(const SystemFeedback&) = delete;
};

}  // namespace corvane
