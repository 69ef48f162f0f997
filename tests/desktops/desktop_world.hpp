#pragma once

#include <sys/types.h>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/desktops/native_spaces.hpp"
#include "ports/fake/fake_desktop.hpp"

namespace corvane::desktops::testing {

// The name FakeScreens gives its first display.
inline const std::string mainDisplay = "00000000-0000-0000-0000-000000000001";

// One screen whose display has three desktops, and an application whose
// focused window is on the first, shown one. The window server and the
// gesture run on the fake clock and record into the shared call log.
struct DesktopWorld {
    DesktopWorld() {
        server.setClock(desk.clock());
        server.setCallLog(desk.log());
        desk.desktopGesture().drive(server);
        desk.desktopGesture().setCallLog(desk.log());
        desk.addScreen({0, 0, 1440, 900}, {0, 0, 1440, 875});
        desktops = server.addDisplayWithDesktops(mainDisplay, 3);
        window = desk.openWindow(app, {100, 100, 800, 600});
        server.placeWindow(window, {desktops[0]});
    }

    Element windowElement() { return desk.accessibility().windowElement(window); }

    fake::FakeDesktop desk;
    fake::FakeWindowServer& server = desk.windowServer();
    pid_t app = 501;
    std::uint32_t window = 0;
    std::vector<std::uint64_t> desktops;
};

// The world plus the one NativeSpaces of the process; the test thread plays
// the main thread.
struct MoveWorld : DesktopWorld {
    // Plays the main thread until every move asked for so far has finished,
    // then lets the main thread show what they posted.
    void settle() {
        auto done = std::make_shared<std::atomic<bool>>(false);
        spaces->afterPendingMoves([done, &queue = desk.mainQueue()] {
            done->store(true);
            queue.notify();
        });
        desk.mainQueue().runUntil([done] { return done->load(); });
    }

    void move(SpaceAction action) {
        spaces->moveFocusedWindow(action);
        settle();
    }

    std::vector<std::string> logLines() { return desk.feedback().lines(); }

    std::unique_ptr<NativeSpaces> spaces = std::make_unique<NativeSpaces>(desk.platform());
};

}  // namespace corvane::desktops::testing
