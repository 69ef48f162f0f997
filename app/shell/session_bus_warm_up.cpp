#include "app/shell/session_bus_warm_up.hpp"

#include <sys/stat.h>
#include <unistd.h>
#include <QDBusConnection>
#include <QtGlobal>
#include <cstdlib>

namespace corvane {

namespace {

constexpr const char* addressVariable = "DBUS_SESSION_BUS_ADDRESS";
// An address of a kind the bus library does not know: it fails at once.
constexpr const char* noBusAddress = "disabled:";

}  // namespace

bool sessionBusAnnounced(const char* busAddress, const char* runtimeDirectory) {
    if (busAddress != nullptr && *busAddress != '\0') return true;
    if (runtimeDirectory == nullptr || *runtimeDirectory == '\0') return false;
    // The bus library looks here itself when no address is set, and takes
    // only a socket that belongs to this user.
    const std::string socket = std::string(runtimeDirectory) + "/bus";
    struct stat status {};
    return ::stat(socket.c_str(), &status) == 0 && S_ISSOCK(status.st_mode) && status.st_uid == ::getuid();
}

SessionBusWarmUp::SessionBusWarmUp() {
    // Read and changed before the helper thread exists; the toolkit's own
    // environment functions take its lock against other threads' reads.
    if (!sessionBusAnnounced(std::getenv(addressVariable), std::getenv("XDG_RUNTIME_DIR"))) {
        addressReplaced_ = qputenv(addressVariable, noBusAddress);
    }
    // The toolkit keeps the bus connection (or the failed attempt) for the
    // whole process: the handle made here may go at once.
    thread_ =
        std::thread([] { [[maybe_unused]] const bool joined = QDBusConnection::sessionBus().isConnected(); });
}

SessionBusWarmUp::~SessionBusWarmUp() {
    finish();
}

void SessionBusWarmUp::finish() {
    if (thread_.joinable()) thread_.join();
    if (addressReplaced_) {
        addressReplaced_ = false;
        qunsetenv(addressVariable);
    }
}

}  // namespace corvane
