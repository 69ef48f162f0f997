#pragma once

#include <sys/types.h>
#include <filesystem>
#include <optional>
#include <string>
#include <variant>

#include "ports/xdg/unique_fd.hpp"

namespace corvane {

// A Unix stream socket listening at a path, owned for its whole life: the
// descriptor is closed and the socket file removed on destruction, but only
// while the file at the path is still the one this object made, so a socket
// another instance has put there since is never taken away. A process that
// ends through exit() with the socket still open removes it too.
class ListeningSocket {
public:
    // Binds and listens at `path`, readable and writable by this user only,
    // non-blocking. A socket file already there is taken to be stale (the
    // caller holds the lock that says no other instance runs) and replaced;
    // anything else there (a file, a directory, a link) is refused and left
    // alone. The error is one line naming the path.
    static std::variant<ListeningSocket, std::string> open(const std::filesystem::path& path);

    ListeningSocket(ListeningSocket&&) noexcept;
    ListeningSocket& operator=(ListeningSocket&&) noexcept;
    ~ListeningSocket();

    int fd() const { return fd_.get(); }
    const std::filesystem::path& path() const { return path_; }

    // Stops listening and removes the socket file if it is still ours.
    void close();

private:
    ListeningSocket(xdg::UniqueFd fd, std::filesystem::path path, dev_t device, ino_t inode);

    xdg::UniqueFd fd_;
    std::filesystem::path path_;
    dev_t device_ = 0;
    ino_t inode_ = 0;
};

// The user id of the process at the other end of a connected Unix socket,
// as the kernel recorded it when that process connected.
std::optional<uid_t> peerUser(int fd);
// Accepts one waiting client as a non-blocking, close-on-exec descriptor;
// -1 with errno set as accept(2) does.
int acceptClient(int fd);

}  // namespace corvane
