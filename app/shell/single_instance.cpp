#include "app/shell/single_instance.hpp"

#include <QLocalSocket>
#include <QPointer>
#include <QTimer>
#include <memory>

namespace corvane {

namespace {

// A client that connects and says nothing must not hold a connection forever.
constexpr std::chrono::milliseconds requestTimeout(5000);

}  // namespace

InstanceServer::InstanceServer(Handler handler) : handler_(std::move(handler)) {
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    QObject::connect(&server_, &QLocalServer::newConnection, [this] {
        while (QLocalSocket* connection = server_.nextPendingConnection()) serve(connection);
    });
}

InstanceServer::~InstanceServer() {
    close();
}

void InstanceServer::close() {
    // Leave no socket file behind for the next launch to wonder about.
    server_.close();
}

std::optional<std::string> InstanceServer::listen(const std::filesystem::path& path) {
    path_ = path;
    const QString name = QString::fromStdString(path.string());
    QLocalServer::removeServer(name);
    if (!server_.listen(name)) {
        return "cannot listen at " + path.string() + ": " + server_.errorString().toStdString();
    }
    return std::nullopt;
}

void InstanceServer::serve(QLocalSocket* connection) {
    // The connection is a child of the server; it deletes itself once closed.
    QObject::connect(connection, &QLocalSocket::disconnected, connection, &QObject::deleteLater);
    // The limit is on saying the request; doing it may take longer.
    auto asked = std::make_shared<bool>(false);
    QTimer::singleShot(requestTimeout, connection, [connection, asked] {
        if (!*asked) connection->abort();
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
