#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace corvane::i3ipc {

// The message types we send, and the event types we subscribe to.
namespace MessageType {
inline constexpr std::uint32_t runCommand = 0;
inline constexpr std::uint32_t getWorkspaces = 1;
inline constexpr std::uint32_t subscribe = 2;
inline constexpr std::uint32_t getOutputs = 3;
inline constexpr std::uint32_t getTree = 4;
inline constexpr std::uint32_t getVersion = 7;
}  // namespace MessageType

// Events carry their type with the high bit set.
inline constexpr std::uint32_t eventBit = 0x80000000u;
namespace EventType {
inline constexpr std::uint32_t workspace = 0;
inline constexpr std::uint32_t shutdown = 6;
inline constexpr std::uint32_t binding = 5;
}  // namespace EventType

// One message of the window manager's IPC: "i3-ipc", then the payload length
// and the type as 32-bit little-endian numbers, then the JSON payload.
struct Frame {
    std::uint32_t type = 0;
    std::string payload;

    bool isEvent() const { return (type & eventBit) != 0; }
    std::uint32_t eventType() const { return type & ~eventBit; }
};

std::string encodeFrame(std::uint32_t type, std::string_view payload);

// Cuts a byte stream into frames. A peer that sends anything but the magic,
// or announces a payload larger than we will ever hold, has broken the
// stream for good: the reader stays failed and the connection must go.
class FrameReader {
public:
    // Replies to get_tree on a busy desktop run to a few hundred kilobytes;
    // anything near this is not a window manager talking.
    static constexpr std::uint32_t maxPayload = 64u * 1024u * 1024u;

    void feed(std::string_view bytes);
    // The next complete frame; absent while more bytes are needed or once failed.
    std::optional<Frame> next();
    bool failed() const { return failed_; }
    // Bytes of an incomplete frame held back.
    std::size_t pending() const { return buffer_.size(); }

private:
    std::string buffer_;
    bool failed_ = false;
};

}  // namespace corvane::i3ipc
