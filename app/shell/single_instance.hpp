#pragma once

#include <QLocalServer>
#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "app/shell/instance_protocol.hpp"

namespace corvane {

// The running application's end of the channel to later launches: one
// request line per connection, one reply line back, then the connection
// closes. Main thread.
class InstanceServer {
public:
    // Answers a request through `reply`, at once or later (an action waits
    // for its outcome); a reply for a client that has gone is dropped.
    using Handler =
        std::function<void(const InstanceRequest&, std::function<void(const InstanceReply&)> reply)>;

    explicit InstanceServer(Handler handler);
    ~InstanceServer();
    InstanceServer(const InstanceServer&) = delete;
    InstanceServer& operator=(const InstanceServer&) = delete;

    // Listens at `path`, reachable by this user only. The caller holds the
    // instance lock, so a socket file already there belongs to an instance
    // that has ended: it is removed and replaced. Absent on success,
    // otherwise a description of the failure.
    std::optional<std::string> listen(const std::filesystem::path& path);
    // Stops listening and removes the socket file. Also done on destruction.
    void close();

private:
    void serve(class QLocalSocket* connection);

    Handler handler_;
    QLocalServer server_;
    std::filesystem::path path_;
};

// The later launch's end: sends `request` to the instance listening at
// `path` and returns its reply line. Absent when nothing listens there; an
// "error: ..." line of our own when the instance took longer than `timeout`
// or hung up without answering.
std::optional<std::string> askRunningInstance(const std::filesystem::path& path,
                                              const InstanceRequest& request,
                                              std::chrono::milliseconds timeout = std::chrono::seconds(5));

}  // namespace corvane
