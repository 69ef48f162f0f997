#pragma once

#include <QMetaObject>
#include <QSocketNotifier>
#include <functional>

namespace corvane {

// Hands the X events of our own connection (hot-key presses, property
// changes) to the port on the main thread, when there are any: no polling,
// no thread of its own.
//
// Two triggers: the connection's socket becoming readable, and the event
// loop being about to sleep. The second matters because the X library reads
// whatever has arrived into its own queue during any request; events parked
// there never make the socket readable again.
class X11EventPump {
public:
    // `dispatch` handles every pending event and returns false once the
    // connection has failed; then the pump stops for good and calls `lost`
    // once (which is expected to end the event loop).
    X11EventPump(int fileDescriptor, std::function<bool()> dispatch, std::function<void()> lost);
    ~X11EventPump();
    X11EventPump(const X11EventPump&) = delete;
    X11EventPump& operator=(const X11EventPump&) = delete;

private:
    void pump();
    void stop();

    std::function<bool()> dispatch_;
    std::function<void()> lost_;
    QSocketNotifier notifier_;
    QMetaObject::Connection beforeSleep_;
    bool dispatching_ = false;
    bool stopped_ = false;
};

// Writes "corvane: lost the connection to the X server" the first time it is
// called in this process, whichever connection noticed; later calls do nothing.
void reportLostXServer();

// Routes Qt's messages through a handler that turns the toolkit's own notice
// of a broken X connection (after which the toolkit ends the process by
// itself, with status 1) into reportLostXServer(); every other message is
// written to standard error as Qt would write it.
void installQtMessageHandler();

}  // namespace corvane
