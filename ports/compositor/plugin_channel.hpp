#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "ports/compositor/protocol.hpp"

namespace corvane::compositor {

// The way from Corvane to a plugin off the press path: desktop moves, which
// read and write after the press was answered, and `--action`, which has no
// press at all. One implementation per plugin (the GNOME extension exports an
// object; the KWin script is woken through a shortcut and fetches).
//
// Threads: any; calls may overlap, and each blocks until its answer or
// deadline.
class PluginChannel {
public:
    virtual ~PluginChannel() = default;

    // Applies the operations in order (none: only reads) and returns the state
    // afterwards, with every window's place. Absent when the plugin did not
    // answer in time or answered nonsense.
    virtual std::optional<Snapshot> apply(const std::vector<Operation>& operations,
                                          std::chrono::milliseconds deadline) = 0;
    // Sends operations without waiting for them (main thread: the bindings
    // changed, and the plugin is to attach again).
    virtual void post(const std::vector<Operation>& operations) = 0;
    // Called once Corvane serves the plugin: a plugin Corvane puts into the
    // compositor itself (the KWin script) is loaded here. What failed.
    virtual std::optional<std::string> start() { return std::nullopt; }

protected:
    PluginChannel() = default;
    PluginChannel(const PluginChannel&) = delete;
    PluginChannel& operator=(const PluginChannel&) = delete;
};

// The plugin's side of a channel it drives itself (the KWin script, woken,
// fetches what is pending and reports the state after applying it). Main
// thread.
class FetchEndpoint {
public:
    virtual ~FetchEndpoint() = default;
    // What the plugin is to apply now, given the state before.
    virtual std::vector<Operation> fetch(const Snapshot& before) = 0;
    // The state after applying what the last fetch gave.
    virtual void applied(const Snapshot& after) = 0;
    // The refused names from the plugin's report on the bindings it was
    // given. A compositor that does not tell its plugin (KWin gives a
    // colliding shortcut no key, silently) has them worked out here.
    virtual std::optional<std::vector<std::string>> settle(const std::vector<Binding>&,
                                                           const std::string& report) {
        return decodeReport(report);
    }
};

}  // namespace corvane::compositor
