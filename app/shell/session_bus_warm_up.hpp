#pragma once

#include <string>
#include <thread>

namespace corvane {

// True when a session bus can be joined without starting one: its address
// is in the environment, or the user's bus socket is in the runtime
// directory (`busAddress` and `runtimeDirectory` as in the environment,
// either may be null).
bool sessionBusAnnounced(const char* busAddress, const char* runtimeDirectory);

// Opens the connection to the session bus on a helper thread while the main
// thread goes on with its own start-up (the X11 port, the shortcuts, the
// icons). The toolkit's tray icon asks the bus whether a status-notifier
// host is there as it is made; it then finds the connection made, or still
// being made, and waits only for the rest.
//
// Where no session bus is announced, the bus library would start a helper
// program that launches a bus daemon of its own for the display: tens of
// milliseconds, and a daemon left behind for the rest of the session. No
// status-notifier host can be on a bus that did not exist, so the tray
// icon would use the tray's own protocol anyway: there the connection is
// refused at once instead, and the environment is put back as it was once
// the attempt is over, so programs we start later still see it unchanged.
//
// Create it once the QApplication exists; the thread is joined on
// destruction, so it is gone before the app says it is ready.
class SessionBusWarmUp {
public:
    SessionBusWarmUp();
    ~SessionBusWarmUp();
    SessionBusWarmUp(const SessionBusWarmUp&) = delete;
    SessionBusWarmUp& operator=(const SessionBusWarmUp&) = delete;

    // Waits for the helper thread and restores the environment (idempotent).
    void finish();

private:
    bool addressReplaced_ = false;
    std::thread thread_;
};

}  // namespace corvane
