#include "ports/i3ipc/ipc_connection.hpp"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>

namespace corvane::i3ipc {

std::unique_ptr<IpcConnection> IpcConnection::open(const std::string& socketPath) {
    sockaddr_un address{};
    if (socketPath.empty() || socketPath.size() >= sizeof(address.sun_path)) return nullptr;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, socketPath.data(), socketPath.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return nullptr;
    // A connect on a local stream socket completes at once or fails.
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<IpcConnection>(new IpcConnection(fd));
}

IpcConnection::IpcConnection(int fd) : fd_(fd) {}

IpcConnection::~IpcConnection() {
    if (fd_ >= 0) ::close(fd_);
}

bool IpcConnection::isAlive() const {
    std::lock_guard lock(mutex_);
    return !dead_;
}

bool IpcConnection::writeAll(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd p{fd_, POLLOUT, 0};
            if (::poll(&p, 1, 2000) <= 0) return false;
            continue;
        }
        return false;
    }
    return true;
}

bool IpcConnection::readSome(std::chrono::steady_clock::time_point deadline) {
    std::array<char, 65536> buffer{};
    for (;;) {
        const ssize_t n = ::recv(fd_, buffer.data(), buffer.size(), 0);
        if (n > 0) {
            reader_.feed(std::string_view(buffer.data(), static_cast<std::size_t>(n)));
            return true;
        }
        if (n == 0) return false;
        if (errno == EINTR) continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) return false;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd p{fd_, POLLIN, 0};
        const int ready = ::poll(&p, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return false;
    }
}

std::optional<std::string> IpcConnection::request(std::uint32_t type, std::string_view payload,
                                                  std::chrono::milliseconds timeout) {
    return std::move(requestAll({Request{type, payload}}, timeout).front());
}

std::vector<std::optional<std::string>> IpcConnection::requestAll(const std::vector<Request>& requests,
                                                                  std::chrono::milliseconds timeout) {
    std::vector<std::optional<std::string>> replies(requests.size());
    std::lock_guard lock(mutex_);
    if (dead_ || requests.empty()) return replies;
    requests_ += static_cast<unsigned>(requests.size());
    std::string bytes;
    for (const auto& r : requests) bytes += encodeFrame(r.type, r.payload);
    if (!writeAll(bytes)) {
        dead_ = true;
        return replies;
    }
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::size_t answered = 0;
    while (answered < requests.size()) {
        while (answered < requests.size()) {
            auto frame = reader_.next();
            if (!frame) break;
            // Events are not ours to handle on a request connection.
            if (frame->isEvent()) continue;
            if (frame->type == requests[answered].type) replies[answered++] = std::move(frame->payload);
        }
        if (answered == requests.size()) break;
        if (reader_.failed() || !readSome(deadline)) {
            dead_ = true;
            return replies;
        }
    }
    return replies;
}

std::vector<Frame> IpcConnection::readEvents(bool& alive) {
    std::lock_guard lock(mutex_);
    std::vector<Frame> events;
    std::array<char, 65536> buffer{};
    while (!dead_) {
        const ssize_t n = ::recv(fd_, buffer.data(), buffer.size(), 0);
        if (n > 0) {
            reader_.feed(std::string_view(buffer.data(), static_cast<std::size_t>(n)));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
        dead_ = true;
    }
    while (auto frame = reader_.next())
        if (frame->isEvent()) events.push_back(std::move(*frame));
    if (reader_.failed()) dead_ = true;
    alive = !dead_;
    return events;
}

}  // namespace corvane::i3ipc
