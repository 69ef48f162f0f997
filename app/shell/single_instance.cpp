#include "app/shell/single_instance.hpp"

#include <sys/socket.h>
#include <unistd.h>
#include <QLocalSocket>
#include <QPointer>
#include <QSocketNotifier>
#include <cerrno>
#include <cstring>
#include <utility>
#include <variant>

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
        ::send(connection.get(), line.data(), line.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
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
        xdg::UniqueFd connection(::accept4(socket_->fd(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
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
    auto* connection = new QLocalSocket(&connections_);
    if (!connection->setSocketDescriptor(descriptor.get(), QLocalSocket::ConnectedState,
                                         QIODevice::ReadWrite)) {
        connection->deleteLater();
        return;
    }
    descriptor.release();
    ++clients_;
    // The slot is free as soon as the client is answered or gone: a client
    // that reads its reply and asks again at once must find it free.
    auto counted = std::make_shared<bool>(true);
    const auto release = [this, counted] {
        if (std::exchange(*counted, false)) --clients_;
    };
    QObject::connect(connection, &QLocalSocket::disconnected, &connections_, release);
    QObject::connect(connection, &QObject::destroyed, &connections_, release);
    QObject::connect(connection, &QLocalSocket::disconnected, connection, &QObject::deleteLater);
    // The limit is on saying the request; doing it (a desktop move) may take longer.
    auto asked = std::make_shared<bool>(false);
    QTimer::singleShot(limits_.idleTimeout, connection, [connection, asked] {
        if (*asked) return;
        connection->abort();
        connection->deleteLater();
    });

    auto buffer = std::make_shared<std::string>();
    QObject::connect(connection, &QLocalSocket::readyRead, connection, [this, connection, buffer, asked] {
        const QByteArray chunk = connection->readAll();
        buffer->append(chunk.constData(), static_cast<std::size_t>(chunk.size()));
        const auto end = buffer->find('\n');
        if (end == std::string::npos && buffer->size() <= maxInstanceLineLength) return;

        *asked = true;
        // Anything sent after the first line is not read.
        QObject::disconnect(connection, &QLocalSocket::readyRead, nullptr, nullptr);
        auto answer = [connection = QPointer<QLocalSocket>(connection)](const InstanceReply& reply) {
            if (!connection) return;
            const std::string line = encodeReply(reply);
            connection->write(line.data(), static_cast<qint64>(line.size()));
            // Closing flushes the reply first.
            connection->disconnectFromServer();
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
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(path.string()));
    if (!socket.waitForConnected(static_cast<int>(timeout.count()))) return std::nullopt;

    const std::string line = encodeRequest(request);
    socket.write(line.data(), static_cast<qint64>(line.size()));
    if (!socket.waitForBytesWritten(static_cast<int>(timeout.count()))) {
        // A busy instance may have answered and hung up before reading us.
        const QByteArray early = socket.readAll();
        if (const auto end = early.indexOf('\n'); end >= 0) return early.left(end + 1).toStdString();
        return "error: the running Corvane did not take the request";
    }

    std::string reply;
    while (reply.find('\n') == std::string::npos && reply.size() <= maxInstanceLineLength) {
        if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(static_cast<int>(timeout.count()))) {
            return "error: the running Corvane did not answer";
        }
        const QByteArray chunk = socket.readAll();
        reply.append(chunk.constData(), static_cast<std::size_t>(chunk.size()));
    }
    return reply.substr(0, reply.find('\n') + 1);
}

}  // namespace corvane
