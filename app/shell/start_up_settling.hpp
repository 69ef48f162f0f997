#pragma once

#include <chrono>
#include <functional>

namespace corvane {

// Lets what the start has set in motion finish before the app says it is
// ready, so that from "ready" on an app nobody uses stays asleep:
// - the events the loop has queued (the bus's first replies, the tray
//   icon's docking request) are handled;
// - the tray icon's window, which the toolkit makes only once the tray has
//   answered (`starting` is true until then), and every window shown at the
//   start (the docked tray icon, a first run's tour) get their first expose
//   and paint; a tray or window manager slow to map them is waited for at
//   most `patience`;
// - the worker threads the toolkit's painter borrowed from its global pool
//   for the icons end now, instead of each waking once to end half a
//   minute later.
// Main thread, before the loop runs.
void settleStartUp(const std::function<bool()>& starting,
                   std::chrono::milliseconds patience = std::chrono::milliseconds(100));

}  // namespace corvane
