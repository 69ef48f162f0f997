#pragma once

#include "app/platform/clock.hpp"

namespace corvane::desktops {

// Every wait of a desktop move. Each poll sleeps the queue, never the main thread.
inline constexpr float messagingTimeout = 1.0f;               // seconds, on the app and window elements
inline constexpr Clock::Duration windowArrivalTimeout{2.0};   // a moved window reaching its desktop
inline constexpr Clock::Duration desktopArrivalTimeout{2.0};  // a requested desktop appearing
inline constexpr Clock::Duration displaySwitchTimeout{1.5};   // a display showing the asked-for space
inline constexpr Clock::Duration pollInterval{0.05};
// Window managers usually answer within a few milliseconds: the first polls
// come quickly, doubling from this up to pollInterval, so a move that has
// already happened is seen at once instead of one full interval later.
inline constexpr Clock::Duration firstPollInterval{0.002};

// Desktop numbers run 1...9; nothing beyond is ever created.
inline constexpr int highestCreatableDesktop = 9;

}  // namespace corvane::desktops
