#pragma once

#include <functional>
#include <memory>

namespace corvane::macos {

// Calls `reopened` on the main thread whenever the system asks the running
// application to reopen (the user opens it again from the Finder, the
// Dock, Spotlight or `open`). Installed once the run loop has started, so
// that it takes the place of the application object's own handler.
class ReopenHandler {
public:
    explicit ReopenHandler(std::function<void()> reopened);
    // Stops listening.
    ~ReopenHandler();
    ReopenHandler(const ReopenHandler&) = delete;
    ReopenHandler& operator=(const ReopenHandler&) = delete;

private:
    struct Target;
    std::unique_ptr<Target> target_;
};

}  // namespace corvane::macos
