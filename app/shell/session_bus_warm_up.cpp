#include "app/shell/session_bus_warm_up.hpp"

#include <QDBusConnection>

namespace corvane {

SessionBusWarmUp::SessionBusWarmUp()
    // The toolkit keeps the bus connection for the whole process: the handle
    // made here may go at once.
    : thread_([] { [[maybe_unused]] const bool connected = QDBusConnection::sessionBus().isConnected(); }) {}

SessionBusWarmUp::~SessionBusWarmUp() {
    finish();
}

void SessionBusWarmUp::finish() {
    if (thread_.joinable()) thread_.join();
}

}  // namespace corvane
