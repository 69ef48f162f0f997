#include "ports/gnome/gnome_channel.hpp"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>

namespace corvane::gnome {

namespace {

QDBusMessage applyCall(const std::vector<compositor::Operation>& operations) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        QString::fromLatin1(GnomeChannel::service), QString::fromLatin1(GnomeChannel::path),
        QString::fromLatin1(GnomeChannel::interface), QStringLiteral("Apply"));
    call << QString::fromStdString(compositor::encodeOperations(operations));
    return call;
}

}  // namespace

// Qt's bus connection may be used from any thread; the desktop queue calls
// from its worker while the main thread keeps serving presses.
std::optional<compositor::Snapshot> GnomeChannel::apply(const std::vector<compositor::Operation>& operations,
                                                        std::chrono::milliseconds deadline) {
    const QDBusMessage reply = QDBusConnection::sessionBus().call(applyCall(operations), QDBus::Block,
                                                                  static_cast<int>(deadline.count()));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return std::nullopt;
    return compositor::decodeSnapshot(reply.arguments().constFirst().toString().toStdString());
}

void GnomeChannel::post(const std::vector<compositor::Operation>& operations) {
    QDBusConnection::sessionBus().asyncCall(applyCall(operations));
}

}  // namespace corvane::gnome
