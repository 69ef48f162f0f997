#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <xcb/xcb.h>

namespace corvane::x11::test {

// A second X client in the test process: it owns test windows, grabs keys,
// types through XTEST and waits for the server to reach a state. It listens
// to property and structure changes of the root and of its windows, so that
// waiting wakes on each change instead of polling.
class TestClient {
public:
    explicit TestClient(const std::string& display);
    ~TestClient();
    TestClient(const TestClient&) = delete;
    TestClient& operator=(const TestClient&) = delete;

    xcb_connection_t* xcb() const { return c_; }
    xcb_window_t root() const { return root_; }
    xcb_atom_t atom(const std::string& name);

    // Maps a normal top-level window owned by this process (_NET_WM_PID) at
    // the given client geometry and waits until the window manager manages it.
    xcb_window_t createWindow(int x, int y, int width, int height,
                              const std::string& wmClass = "corvane-test");
    // Maps a dock with a partial strut and waits until it is managed.
    xcb_window_t createDock(int x, int y, int width, int height, const std::vector<std::uint32_t>& strut);

    std::optional<std::uint32_t> cardinal(xcb_window_t window, const std::string& property);

    // Checked passive grab on the root; false when the server refuses it.
    bool grabKey(xcb_keycode_t keycode, std::uint16_t modifiers);
    void ungrabKey(xcb_keycode_t keycode, std::uint16_t modifiers);
    // The key code that types this keysym unshifted.
    xcb_keycode_t keycodeOf(std::uint32_t keysym);
    // Presses the modifiers, taps the key, releases the modifiers (XTEST).
    void typeCombination(const std::vector<std::uint32_t>& modifierKeysyms, std::uint32_t keysym);
    void tap(std::uint32_t keysym);

    // Waits until `condition` holds, re-checking after every event this
    // client receives; false after `timeout`. `alsoWatch` is another file
    // descriptor whose readiness also wakes the wait (a port's connection).
    bool waitUntil(const std::function<bool()>& condition, int alsoWatch = -1,
                   std::chrono::milliseconds timeout = std::chrono::seconds(10));

    // Sees every event this client receives while waiting.
    void observeEvents(std::function<void(const xcb_generic_event_t&)> observer) {
        observer_ = std::move(observer);
    }

private:
    xcb_window_t mapAndWait(xcb_window_t window);
    void drain(xcb_generic_event_t* event);

    std::function<void(const xcb_generic_event_t&)> observer_;

    xcb_connection_t* c_ = nullptr;
    xcb_window_t root_ = XCB_WINDOW_NONE;
};

}  // namespace corvane::x11::test
