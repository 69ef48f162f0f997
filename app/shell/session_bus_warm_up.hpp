#pragma once

#include <thread>

namespace corvane {

// Opens the connection to the session bus on a helper thread while the main
// thread goes on with its own start-up (the X11 port, the shortcuts, the
// icons). The toolkit's tray icon asks the bus whether a status-notifier host
// is there as it is made, and without a bus address the bus library first
// starts a helper program to find or launch one: tens of milliseconds the
// main thread would otherwise sit through. The tray then finds the
// connection made (or still being made, and waits only for the rest).
// Create it once the QApplication exists; the thread is joined on
// destruction, so it is gone before the app says it is ready.
class SessionBusWarmUp {
public:
    SessionBusWarmUp();
    ~SessionBusWarmUp();
    SessionBusWarmUp(const SessionBusWarmUp&) = delete;
    SessionBusWarmUp& operator=(const SessionBusWarmUp&) = delete;

    // Waits for the helper thread (idempotent).
    void finish();

private:
    std::thread thread_;
};

}  // namespace corvane
