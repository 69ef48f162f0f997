#include "app/shell/single_instance.hpp"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <QPointer>
#include <QSocketNotifier>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>
#include <variant>

#include "app/shell/instance_connection.hpp"

namespace corvane {

namespace {

// Accepting more than this in one go would keep the event loop (and the
// tray menu) waiting during a flood; the notifier fires again for the rest.
constexpr int acceptBatch = 64;

// Answers a client we will not serve and hangs up. What it sent is read
// first, so that the hang-up does not turn into a reset that could reach
// the client before our line does.
void refuse(xdg::UniqueFd connection, const std::string& message) {
    const std::string line = encodeReply(InstanceReply::error(message));
    // A fresh connection's buffer takes one short line at once, or the client is gone.
    [[maybe_unused]] const ssize_t sent =
        ::send(connection.get(), line.data(), line.size(), noSignal | MSG_DONTWAIT);
    ::shutdown(connection.get(), SHUT_WR);
    char unread[1024];
    for (int round = 0; round < 8; ++round) {
        if (::recv(connection.get(), unread, sizeof unread, MSG_DONTWAIT) <= 0) break;
    }
}

}  // namespace

InstanceServer::InstanceServer(Handler handler, Log log, Limits limits)
    : handler_(std::move(handler)), log_(std::move(log)), limits_(limits) {
    resume_.setSingleShot(true);
    QObject::connect(&resume_, &QTimer::timeout, [this] {
        if (notifier_) notifier_->setEnabled(true);
    });
}

InstanceServer::~InstanceServer() {
    close();
}

void InstanceServer::close() {
    notifier_.reset();
    resume_.stop();
    // Leave no socket file behind for the next launch to wonder about.
    socket_.reset();
}

std::optional<std::string> InstanceServer::listen(const std::filesystem::path& path) {
    close();
    auto opened = ListeningSocket::open(path);
    if (auto* problem = std::get_if<std::string>(&opened)) return *problem;
    socket_.emplace(std::move(std::get<ListeningSocket>(opened)));
    notifier_ = std::make_unique<QSocketNotifier>(socket_->fd(), QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { acceptPending(); });
    return std::nullopt;
}

void InstanceServer::acceptPending() {
    for (int round = 0; round < acceptBatch && socket_; ++round) {
        xdg::UniqueFd connection(acceptClient(socket_->fd()));
        if (connection) {
            admit(std::move(connection));
            continue;
        }
        const int code = errno;
        if (code == EINTR || code == ECONNABORTED) continue;
        if (code == EAGAIN || code == EWOULDBLOCK) return;
        // Out of descriptors or memory (or worse). The clients stay queued in
        // the kernel; taking the socket down here would lose this instance
        // for the rest of the session, so wait and try again.
        logOnce(saidOutOfDescriptors_, std::string("cannot take requests from other launches for now: ") +
                                           std::strerror(code) + "; they wait and are answered later");
        notifier_->setEnabled(false);
        resume_.start(limits_.acceptPause);
        return;
    }
}

void InstanceServer::admit(xdg::UniqueFd connection) {
    const auto peer = peerUser(connection.get());
    if (!peer || *peer != ::geteuid()) {
        logOnce(saidForeign_, "refused a request from another user");
        refuse(std::move(connection), "this Corvane belongs to another user");
        return;
    }
    if (clients_ >= limits_.maxClients) {
        logOnce(saidBusy_, "refused requests from other launches: " + std::to_string(limits_.maxClients) +
                               " were already waiting for an answer");
        refuse(std::move(connection), "the running Corvane is busy; try again in a moment");
        return;
    }
    serve(std::move(connection));
}

void InstanceServer::logOnce(bool& said, std::string_view line) {
    if (said) return;
    said = true;
    if (log_) log_(line);
}

void InstanceServer::serve(xdg::UniqueFd descriptor) {
    // Owned by connections_ until it closes, then deleted.
    auto* connection = new InstanceConnection(std::move(descriptor), &connections_);
    ++clients_;
    // The slot is free as soon as the client is answered or gone: a client
    // that reads its reply and asks again at once must find it free.
    auto counted = std::make_shared<bool>(true);
    const auto release = [this, counted] {
        if (std::exchange(*counted, false)) --clients_;
    };
    connection->onClosed(release);
    QObject::connect(connection, &QObject::destroyed, &connections_, release);
    // The limit is on saying the request; doing it (a desktop move) may take longer.
    auto asked = std::make_shared<bool>(false);
    QTimer::singleShot(limits_.idleTimeout, connection, [connection, asked] {
        if (!*asked) connection->deleteLater();
    });

    auto buffer = std::make_shared<std::string>();
    connection->onReceived([this, connection, buffer, asked](std::string_view chunk) {
        if (*asked) return;  // anything sent after the first line is not read
        buffer->append(chunk);
        const auto end = buffer->find('\n');
        if (end == std::string::npos && buffer->size() <= maxInstanceLineLength) return;

        *asked = true;
        auto answer = [connection = QPointer<InstanceConnection>(connection)](const InstanceReply& reply) {
            if (connection && !connection->isClosed()) connection->reply(encodeReply(reply));
        };
        std::optional<InstanceRequest> request;
        if (end != std::string::npos) request = decodeRequest(std::string_view(*buffer).substr(0, end + 1));
        buffer->clear();
        if (request) {
            handler_(*request, std::move(answer));
        } else {
            answer(InstanceReply::error("request not understood"));
        }
    });
}

std::optional<std::string> askRunningInstance(const std::filesystem::path& path,
                                              const InstanceRequest& request,
                                              std::chrono::milliseconds timeout) {
    // Plain sockets rather than the toolkit's: an instance that refuses a
    // client (busy, another user) answers and hangs up at once, possibly
    // before our request is written, and the toolkit's socket throws away
    // the answer it already received when its write fails.
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    const auto msLeft = [&] {
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        return static_cast<int>(std::max<std::chrono::milliseconds::rep>(0, left.count()));
    };
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string name = path.string();
    if (name.size() >= sizeof address.sun_path) return std::nullopt;
    std::memcpy(address.sun_path, name.c_str(), name.size() + 1);

    xdg::UniqueFd socket(::socket(AF_UNIX, SOCK_STREAM, 0));
    if (!socket) return std::nullopt;
    ::fcntl(socket.get(), F_SETFD, FD_CLOEXEC);
    ::fcntl(socket.get(), F_SETFL, ::fcntl(socket.get(), F_GETFL) | O_NONBLOCK);
    // A full backlog (the instance is not accepting for a moment) answers
    // EAGAIN rather than waiting: try again until the deadline.
    while (::connect(socket.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        if (errno == EINTR) continue;
        if (errno != EAGAIN || msLeft() == 0) return std::nullopt;
        ::poll(nullptr, 0, std::min(10, msLeft()));
    }

    const std::string line = encodeRequest(request);
    std::size_t sent = 0;
    bool taken = true;
    while (sent < line.size()) {
        const ssize_t n = ::send(socket.get(), line.data() + sent, line.size() - sent, noSignal);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        pollfd p{.fd = socket.get(), .events = POLLOUT, .revents = 0};
        if (n < 0 && errno == EAGAIN && ::poll(&p, 1, msLeft()) > 0) continue;
        // Hung up on, or too slow to take it: whatever it said before is still readable.
        taken = false;
        break;
    }

    std::string reply;
    while (reply.find('\n') == std::string::npos && reply.size() <= maxInstanceLineLength) {
        char buffer[512];
        const ssize_t n = ::recv(socket.get(), buffer, sizeof buffer, 0);
        if (n > 0) {
            reply.append(buffer, static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        pollfd p{.fd = socket.get(), .events = POLLIN, .revents = 0};
        if (n < 0 && errno == EAGAIN && ::poll(&p, 1, msLeft()) > 0) continue;
        return taken ? "error: the running Corvane did not answer"
                     : "error: the running Corvane did not take the request";
    }
    return reply.substr(0, reply.find('\n') + 1);
}

}  // namespace corvane
