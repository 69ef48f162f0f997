#pragma once

#include <atomic>
#include <string>
#include <thread>

namespace corvane::bench {

// Another client keeping the desktop busy: over a connection of its own it
// maps a window and then, `perSecond` times a second, gives it a new title
// (WM_NAME and _NET_WM_NAME) and moves it by a pixel, as a busy terminal
// or a browser does. Runs on a thread of its own from construction to
// destruction.
class BusyClient {
public:
    BusyClient(const std::string& display, int perSecond);
    ~BusyClient();
    BusyClient(const BusyClient&) = delete;
    BusyClient& operator=(const BusyClient&) = delete;

    // Changes made so far (a title and a move each).
    long changes() const { return changes_; }
    // Empty while all is well; why the client stopped otherwise.
    std::string trouble() const;

private:
    void run(std::string display, int perSecond);

    std::atomic<bool> stop_{false};
    std::atomic<long> changes_{0};
    std::atomic<bool> failed_{false};
    std::thread thread_;
};

}  // namespace corvane::bench
