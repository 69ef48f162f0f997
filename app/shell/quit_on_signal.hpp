#pragma once

#include <QSocketNotifier>
#include <memory>

namespace corvane {

// Ends the event loop normally on SIGTERM, SIGINT or SIGHUP, as the menu's
// quit does, so the desktop queue is joined and the instance socket removed.
// The signal handler only writes a byte to a pipe; the main thread reacts.
// One per process, created on the main thread after the application object.
class QuitOnSignal {
public:
    QuitOnSignal();
    // Puts the default dispositions back and closes the pipe.
    ~QuitOnSignal();
    QuitOnSignal(const QuitOnSignal&) = delete;
    QuitOnSignal& operator=(const QuitOnSignal&) = delete;

private:
    int readEnd_ = -1;
    int writeEnd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace corvane
