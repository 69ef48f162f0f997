#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/shell/instance_protocol.hpp"
#include "app/shell/listening_socket.hpp"

class QSocketNotifier;

namespace corvane {

// How much of the process a crowd of clients may take.
struct InstanceLimits {
    // A request takes microseconds to answer; this many at once is a flood.
    int maxClients = 32;
    // A client that connects and says nothing must not hold a connection forever.
    std::chrono::milliseconds idleTimeout{5000};
    // How long clients wait after the process ran out of descriptors
    // before the next attempt to accept them.
    std::chrono::milliseconds acceptPause{250};
};

// The running application's end of the channel to later launches: one
// request line per connection, one reply line back, then the connection
// closes. Main thread.
//
// A flood of connections (idle or not) costs a bounded number of
// descriptors: beyond `maxClients` at once a client is answered with an
// error line and hung up on, an idle client is dropped after `idleTimeout`,
// and when the process runs out of descriptors the pending clients wait in
// the kernel's queue until accepting works again. The socket stays where it
// is through all of this.
class InstanceServer {
public:
    // Answers a request through `reply`, at once or later (an action waits
    // for its outcome); a reply for a client that has gone is dropped.
    using Handler =
        std::function<void(const InstanceRequest&, std::function<void(const InstanceReply&)> reply)>;
    using Log = std::function<void(std::string_view)>;

    using Limits = InstanceLimits;

    // `log` receives a line the first time clients are refused for each
    // reason in this session (never one per client).
    explicit InstanceServer(Handler handler, Log log = {}, Limits limits = {});
    ~InstanceServer();
    InstanceServer(const InstanceServer&) = delete;
    InstanceServer& operator=(const InstanceServer&) = delete;

    // Listens at `path`, reachable by this user only. The caller holds the
    // instance lock, so a socket file already there belongs to an instance
    // that has ended: it is removed and replaced. Anything else at the path
    // is left alone and refused. Absent on success, otherwise a one-line
    // description of the failure.
    std::optional<std::string> listen(const std::filesystem::path& path);
    // Stops listening and removes the socket file (if it is still ours).
    // Also done on destruction.
    void close();

    // Connections being served now.
    int clientCount() const { return clients_; }

private:
    void acceptPending();
    void admit(xdg::UniqueFd connection);
    void serve(xdg::UniqueFd connection);
    void logOnce(bool& said, std::string_view line);

    Handler handler_;
    Log log_;
    Limits limits_;
    int clients_ = 0;
    bool saidForeign_ = false;
    bool saidBusy_ = false;
    bool saidOutOfDescriptors_ = false;
    std::optional<ListeningSocket> socket_;
    std::unique_ptr<QSocketNotifier> notifier_;
    QTimer resume_;
    // Parent of the connections being served; declared last so that they go
    // first, while the count they update still exists.
    QObject connections_;
};

// The later launch's end: sends `request` to the instance listening at
// `path` and returns its reply line. Absent when nothing listens there; an
// "error: ..." line of our own when the instance took longer than `timeout`
// or hung up without answering.
std::optional<std::string> askRunningInstance(const std::filesystem::path& path,
                                              const InstanceRequest& request,
                                              std::chrono::milliseconds timeout = std::chrono::seconds(5));

}  // namespace corvane
