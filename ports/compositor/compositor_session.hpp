#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "ports/compositor/plugin_channel.hpp"
#include "ports/compositor/protocol.hpp"

namespace corvane::compositor {

// Where the seam's services read the compositor's state and send their
// writes. While a press is handled (on the thread that handles it) reads come
// from the snapshot the press brought and writes are collected for its reply,
// so a placement costs no round trip of its own; anywhere else both go
// through the plugin channel. Thread-safe.
class CompositorSession {
public:
    static constexpr std::chrono::milliseconds channelDeadline{1000};

    explicit CompositorSession(std::unique_ptr<PluginChannel> channel);

    // The press's snapshot serves this thread until endPress, which returns
    // the operations collected meanwhile.
    void beginPress(Snapshot snapshot);
    std::vector<Operation> endPress();

    // The state now; absent when the plugin cannot be asked.
    std::optional<Snapshot> read();
    // Sends (or, during a press, collects) one operation. Frames written to
    // the same window in one press become one frame: the last. Returns the
    // state right after a sent operation; absent when collected or unanswered.
    std::optional<Snapshot> write(const Operation& operation);

    // Window ids are the plugin's strings (KWin's are UUIDs); the seam counts
    // windows in 32-bit numbers. Numbers are handed out once per id and
    // never reused.
    std::uint32_t numberOf(const std::string& windowId);
    std::optional<std::string> idOf(std::uint32_t number) const;

    // Whether a plugin has said hello since we started.
    void setAttached(bool attached);
    bool isAttached() const;

private:
    bool pressOnThisThread() const;

    mutable std::mutex mutex_;
    std::unique_ptr<PluginChannel> channel_;
    std::optional<Snapshot> press_;
    std::thread::id pressThread_;
    std::vector<Operation> pending_;
    std::map<std::string, std::uint32_t> numbers_;
    std::map<std::uint32_t, std::string> ids_;
    std::uint32_t nextNumber_ = 1;
    bool attached_ = false;
};

}  // namespace corvane::compositor
