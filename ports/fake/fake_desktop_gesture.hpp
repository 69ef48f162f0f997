#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/platform/desktop_gesture.hpp"
#include "core/rect.hpp"

namespace corvane::fake {

class FakeCallLog;
class FakeWindowServer;

// The add-a-desktop gesture as a test sees it: it records every session and
// request in order ("begin", "request", "dismiss", "end" when a session is
// destroyed) and hands each request to whoever drives it, normally the fake
// window server, which then adds desktops as scripted.
//
// Thread-safe: sessions are used from the desktop queue.
class FakeDesktopGesture final : public DesktopGesture {
public:
    FakeDesktopGesture();

    // Every request adds desktops on this window server, as it scripts.
    void drive(FakeWindowServer& server);
    // Or: every request calls this (from the session's thread).
    void setOnRequest(std::function<void(const Rect&)> onRequest);

    // Also records every call as "gesture <call>" in a shared log.
    void setCallLog(FakeCallLog& log);

    // "begin", "request", "dismiss" and "end", in the order they happened.
    std::vector<std::string> calls();
    // The display bounds of every request, in order.
    std::vector<Rect> requests();
    // Sessions begun and not yet destroyed.
    int openSessions();

    std::unique_ptr<DesktopGestureSession> begin() override;

private:
    struct State {
        std::mutex mutex;
        std::function<void(const Rect&)> onRequest;
        FakeCallLog* log = nullptr;
        std::vector<std::string> calls;
        std::vector<Rect> requests;
        int openSessions = 0;

        void record(const char* call);  // under `mutex`
    };
    class Session;

    std::shared_ptr<State> state_;
};

}  // namespace corvane::fake
