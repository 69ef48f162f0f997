#include "ports/fake/fake_desktop_gesture.hpp"

#include <utility>

#include "ports/fake/fake_call_log.hpp"
#include "ports/fake/fake_window_server.hpp"

namespace corvane::fake {

class FakeDesktopGesture::Session final : public DesktopGestureSession {
public:
    explicit Session(std::shared_ptr<State> state) : state_(std::move(state)) {}

    ~Session() override {
        std::lock_guard lock(state_->mutex);
        state_->record("end");
        --state_->openSessions;
    }

    void requestDesktop(const Rect& displayBounds) override {
        std::function<void(const Rect&)> onRequest;
        {
            std::lock_guard lock(state_->mutex);
            state_->record("request");
            state_->requests.push_back(displayBounds);
            onRequest = state_->onRequest;
        }
        // Outside our lock: the window server takes its own.
        if (onRequest) onRequest(displayBounds);
    }

    void dismiss() override {
        std::lock_guard lock(state_->mutex);
        state_->record("dismiss");
    }

private:
    std::shared_ptr<State> state_;
};

void FakeDesktopGesture::State::record(const char* call) {
    calls.emplace_back(call);
    if (log) log->record(std::string("gesture ") + call);
}

FakeDesktopGesture::FakeDesktopGesture() : state_(std::make_shared<State>()) {}

void FakeDesktopGesture::drive(FakeWindowServer& server) {
    setOnRequest([&server](const Rect& bounds) { server.desktopRequested(bounds); });
}

void FakeDesktopGesture::setCallLog(FakeCallLog& log) {
    std::lock_guard lock(state_->mutex);
    state_->log = &log;
}

void FakeDesktopGesture::setOnRequest(std::function<void(const Rect&)> onRequest) {
    std::lock_guard lock(state_->mutex);
    state_->onRequest = std::move(onRequest);
}

std::vector<std::string> FakeDesktopGesture::calls() {
    std::lock_guard lock(state_->mutex);
    return state_->calls;
}

std::vector<Rect> FakeDesktopGesture::requests() {
    std::lock_guard lock(state_->mutex);
    return state_->requests;
}

int FakeDesktopGesture::openSessions() {
    std::lock_guard lock(state_->mutex);
    return state_->openSessions;
}

std::unique_ptr<DesktopGestureSession> FakeDesktopGesture::begin() {
    {
        std::lock_guard lock(state_->mutex);
        state_->record("begin");
        ++state_->openSessions;
    }
    return std::make_unique<Session>(state_);
}

}  // namespace corvane::fake
