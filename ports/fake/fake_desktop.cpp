#include "ports/fake/fake_desktop.hpp"

namespace corvane::fake {

FakeDesktop::FakeDesktop()
    : platform_{accessibility_, hotKeys_,   workspace_, screens_, windowServer_, desktopGesture_,
                defaults_,      loginItem_, feedback_,  alerts_,  mainQueue_,    clock_} {
    // The window server scripts its changes on the same virtual time the
    // application waits on, and the gesture's requests reach that server.
    windowServer_.setClock(clock_);
    desktopGesture_.drive(windowServer_);
}

std::uint32_t FakeDesktop::openWindow(pid_t pid, const Rect& frame, std::optional<std::size_t> hashValue) {
    const std::uint32_t window = accessibility_.addWindow(pid, frame, hashValue);
    accessibility_.focusWindow(window);
    workspace_.setFrontmost(pid);
    return window;
}

std::uint32_t FakeDesktop::addScreen(const Rect& frame, const Rect& visibleFrame) {
    return screens_.addScreen(frame, visibleFrame);
}

}  // namespace corvane::fake
