#pragma once

#include <functional>
#include <string>

namespace corvane {

// A warning shown to the user. Main thread only.
class Alerts {
public:
    virtual ~Alerts() = default;

    // Shows a warning with a message and informative text, and calls
    // `closed` on the main thread once the user has dismissed it. Must not
    // block the caller for longer than it takes to put the alert up.
    virtual void showWarning(const std::string& message, const std::string& informative,
                             std::function<void()> closed) = 0;

protected:
    Alerts() = default;
    Alerts(const Alerts&) = delete;
    Alerts& operator=(const Alerts&) = delete;
};

}  // namespace corvane
