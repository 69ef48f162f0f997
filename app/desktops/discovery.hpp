#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/desktops/desktop_records.hpp"
#include "app/platform/accessibility.hpp"
#include "app/platform/clock.hpp"
#include "app/platform/plist_value.hpp"
#include "app/platform/screens.hpp"
#include "app/platform/window_server.hpp"

namespace corvane::desktops {

// Checks `condition`, then sleeps one poll interval, until it holds (true)
// or `timeout` has passed since the start (false). Checks at least once.
// Gives up early, returning false, once `cancelled` holds (checked before each sleep).
bool pollUntil(Clock& clock, Clock::Duration timeout, const std::function<bool()>& condition,
               const std::function<bool()>& cancelled = {});

// Read-only views of the window server's displays, spaces and windows.
// Every call reads afresh: results are snapshots, and a caller that waits
// for a change reads again. Runs on the desktop queue.
class Discovery {
public:
    // `cancelled` ends every wait early (the queue is shutting down).
    Discovery(WindowServer& server, Accessibility& accessibility, Clock& clock,
              std::function<bool()> cancelled = {})
        : server_(server), accessibility_(accessibility), clock_(clock), cancelled_(std::move(cancelled)) {}

    // Polls `condition` until it holds, the timeout passes or the waits are cancelled.
    bool poll(Clock::Duration timeout, const std::function<bool()>& condition) const {
        return pollUntil(clock_, timeout, condition, cancelled_);
    }

    // The displays in the server's order, never empty. Throws noDisplay
    // when the functions are missing or the report is unusable.
    std::vector<Display> managedDisplays() const;
    // The same, from a report already in hand.
    static std::vector<Display> displaysFrom(const std::optional<PlistValue>& report);
    // "ManagedSpaceID" when it is a number, else "id64" when it is a number.
    static std::optional<std::uint64_t> spaceID(const PlistValue::Dictionary& space);

    // The display the window's frame lies on. Throws noDisplay when the
    // frame cannot be read, lies on no screen or the screen has no display.
    Display displayFor(const Element& window, const std::vector<ScreenInfo>& screens,
                       const std::vector<Display>& displays) const;

    // The spaces holding the window; empty on any problem.
    std::vector<std::uint64_t> windowSpaces(std::uint32_t window) const;

    bool waitForWindow(std::uint32_t window, std::uint64_t space, Clock::Duration timeout) const;
    bool waitForCurrentSpace(std::uint64_t space, const std::string& display, Clock::Duration timeout) const;

    // The display listed under exactly this identifier in a fresh read;
    // absent when it is not listed or the read fails.
    std::optional<Display> freshDisplay(const std::string& identifier) const;
    // The first display of the list with exactly this identifier, or null.
    static const Display* findExact(const std::vector<Display>& displays, const std::string& identifier);

private:
    WindowServer& server_;
    Accessibility& accessibility_;
    Clock& clock_;
    std::function<bool()> cancelled_;
};

// The screens joined to their displays, in the platform's order, without
// those whose display is unknown. Built on the thread that asks for a move.
std::vector<ScreenInfo> screenInfos(Screens& screens);
std::optional<ScreenInfo> screenInfo(Screens& screens, const Screen& screen, double primaryHeight);

}  // namespace corvane::desktops
