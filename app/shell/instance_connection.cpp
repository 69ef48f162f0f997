#include "app/shell/instance_connection.hpp"

#include <sys/socket.h>
#include <cerrno>

namespace corvane {

InstanceConnection::InstanceConnection(xdg::UniqueFd descriptor, QObject* parent)
    : QObject(parent),
      descriptor_(std::move(descriptor)),
      notifier_(descriptor_.get(), QSocketNotifier::Read) {
    QObject::connect(&notifier_, &QSocketNotifier::activated, this, [this] { readAvailable(); });
}

InstanceConnection::~InstanceConnection() = default;

void InstanceConnection::readAvailable() {
    char buffer[1024];
    for (;;) {
        const ssize_t n = ::recv(descriptor_.get(), buffer, sizeof buffer, MSG_DONTWAIT);
        if (n > 0) {
            if (received_) received_(std::string_view(buffer, static_cast<std::size_t>(n)));
            if (closed_ || replied_) return;
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
        // End of stream or a failed connection: the client is gone.
        finish();
        return;
    }
}

void InstanceConnection::reply(const std::string& line) {
    if (replied_ || closed_) return;
    replied_ = true;
    // A short line always fits a fresh connection's buffer; a client gone
    // by now just misses it.
    std::size_t sent = 0;
    while (sent < line.size()) {
        const ssize_t n =
            ::send(descriptor_.get(), line.data() + sent, line.size() - sent, noSignal | MSG_DONTWAIT);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        break;
    }
    ::shutdown(descriptor_.get(), SHUT_WR);
    // What the client sent after its request is read and dropped: unread
    // bytes would turn the close into a reset that can overtake the reply.
    char unread[1024];
    for (int round = 0; round < 8; ++round) {
        if (::recv(descriptor_.get(), unread, sizeof unread, MSG_DONTWAIT) <= 0) break;
    }
    finish();
}

void InstanceConnection::finish() {
    if (closed_) return;
    closed_ = true;
    notifier_.setEnabled(false);
    deleteLater();
    if (closedHandler_) closedHandler_();
}

}  // namespace corvane
