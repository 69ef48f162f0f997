#pragma once

#include <memory>

#include "app/platform/keyboard_map.hpp"
#include "app/platform/platform.hpp"

namespace corvane::macos {

class MacMainQueue;

// Every service of the seam over the Apple frameworks, made once by `main`
// on the main thread after the application object exists. Hot-key presses,
// main-queue work and the reopen request all arrive through the Cocoa run
// loop that the toolkit runs: the port has no thread and no loop of its own.
class MacPort {
public:
    MacPort();
    ~MacPort();
    MacPort(const MacPort&) = delete;
    MacPort& operator=(const MacPort&) = delete;

    // The bundle the application logic uses; valid as long as the port.
    Platform& platform();
    // Our own windows' keys in the product's terms (the recorder, the tour).
    const KeyboardMap& keyboardMap();
    // Main thread, once the event loop has returned: workers waiting for the
    // main thread go on without it, so the desktop queue can be joined.
    void closeMainQueue();

private:
    struct Services;
    std::unique_ptr<Services> services_;
};

}  // namespace corvane::macos
