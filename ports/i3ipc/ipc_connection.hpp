#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ports/i3ipc/ipc_frame.hpp"

namespace corvane::i3ipc {

// One connection to the window manager's IPC socket. Requests are answered
// in order, so a request is a write followed by reading up to its reply.
// The descriptor closes with the object.
//
// Threads: request() may be called from any thread (a mutex keeps one
// exchange at a time); readEvents() belongs to the thread that watches the
// descriptor.
class IpcConnection {
public:
    // Absent when the socket cannot be reached.
    static std::unique_ptr<IpcConnection> open(const std::string& socketPath);

    ~IpcConnection();
    IpcConnection(const IpcConnection&) = delete;
    IpcConnection& operator=(const IpcConnection&) = delete;

    // The reply's payload; absent when the connection broke, the peer sent
    // something that is not the protocol, or no reply came within `timeout`
    // (a window manager that hangs must not freeze us). After a failure the
    // connection is dead for good: a late reply would answer the wrong request.
    std::optional<std::string> request(std::uint32_t type, std::string_view payload,
                                       std::chrono::milliseconds timeout = std::chrono::milliseconds(2000));
    // Several requests written at once and their replies read in order: one
    // wait for the window manager instead of one for each. A reply is absent
    // as for request(); after a failure the rest are absent too.
    struct Request {
        std::uint32_t type = 0;
        std::string_view payload;
    };
    std::vector<std::optional<std::string>> requestAll(
        const std::vector<Request>& requests,
        std::chrono::milliseconds timeout = std::chrono::milliseconds(2000));

    int fileDescriptor() const { return fd_; }
    // Reads what has arrived without waiting and returns the events among it,
    // in order. False in `alive` once the peer has gone or broken the stream.
    std::vector<Frame> readEvents(bool& alive);
    bool isAlive() const;
    // Requests sent since the connection opened: what a placement costs the
    // window manager, counted rather than timed.
    unsigned requestCount() const { return requests_.load(); }

private:
    explicit IpcConnection(int fd);
    bool writeAll(std::string_view bytes);
    // Reads once, waiting at most until `deadline`; false on end, error or timeout.
    bool readSome(std::chrono::steady_clock::time_point deadline);

    int fd_ = -1;
    FrameReader reader_;
    bool dead_ = false;
    std::atomic<unsigned> requests_ = 0;
    mutable std::mutex mutex_;
};

}  // namespace corvane::i3ipc
