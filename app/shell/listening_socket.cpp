#include "app/shell/listening_socket.hpp"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <utility>
#include <vector>

namespace corvane {

namespace {

std::string failure(const std::string& what, const std::filesystem::path& path, int code) {
    return what + " " + path.string() + ": " + std::strerror(code);
}

void removeIfSame(const std::filesystem::path& path, dev_t device, ino_t inode) {
    struct stat current {};
    if (::lstat(path.c_str(), &current) == 0 && current.st_dev == device && current.st_ino == inode) {
        ::unlink(path.c_str());
    }
}

// The sockets still listening, for a process that ends through exit() rather
// than by returning from main: the toolkit does that when it loses its X
// connection, and no destructor on the stack runs then.
class ExitCleanup {
public:
    void add(const std::filesystem::path& path, dev_t device, ino_t inode) {
        const std::lock_guard lock(mutex_);
        entries_.push_back({path, device, inode, ::getpid()});
    }
    void remove(dev_t device, ino_t inode) {
        const std::lock_guard lock(mutex_);
        std::erase_if(entries_, [&](const Entry& e) { return e.device == device && e.inode == inode; });
    }
    void removeAll() {
        const std::lock_guard lock(mutex_);
        // A forked child that exits has not been listening: the socket is its parent's.
        for (const Entry& e : entries_) {
            if (e.owner == ::getpid()) removeIfSame(e.path, e.device, e.inode);
        }
        entries_.clear();
    }

private:
    struct Entry {
        std::filesystem::path path;
        dev_t device;
        ino_t inode;
        pid_t owner;
    };
    std::mutex mutex_;
    std::vector<Entry> entries_;
};

ExitCleanup& exitCleanup() {
    static ExitCleanup cleanup;
    // Registered once the object is complete, so the handler runs before the
    // object is destroyed at exit.
    [[maybe_unused]] static const bool registered = std::atexit([] { exitCleanup().removeAll(); }) == 0;
    return cleanup;
}

}  // namespace

std::variant<ListeningSocket, std::string> ListeningSocket::open(const std::filesystem::path& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string name = path.string();
    if (name.size() >= sizeof address.sun_path) {
        return "cannot listen at " + name + ": the path is longer than a socket address can hold";
    }
    std::memcpy(address.sun_path, name.c_str(), name.size() + 1);

    struct stat existing {};
    if (::lstat(name.c_str(), &existing) == 0) {
        // Removing whatever is there would destroy something the user put
        // there, or that a link points at; only an old socket of ours goes.
        if (!S_ISSOCK(existing.st_mode)) {
            return name +
                   " is in the way of Corvane's instance socket (it is not a socket); remove it and start "
                   "again";
        }
        if (::unlink(name.c_str()) != 0 && errno != ENOENT)
            return failure("cannot remove stale", path, errno);
    } else if (errno != ENOENT) {
        return failure("cannot inspect", path, errno);
    }

    xdg::UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!fd) return failure("cannot make a socket for", path, errno);
    if (::bind(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        return failure("cannot listen at", path, errno);
    }
    // The directory already keeps others out; the mode says the same on the file.
    struct stat made {};
    if (::chmod(name.c_str(), 0600) != 0 || ::lstat(name.c_str(), &made) != 0 ||
        ::listen(fd.get(), SOMAXCONN) != 0) {
        const int code = errno;
        ::unlink(name.c_str());
        return failure("cannot listen at", path, code);
    }
    return ListeningSocket(std::move(fd), path, made.st_dev, made.st_ino);
}

ListeningSocket::ListeningSocket(xdg::UniqueFd fd, std::filesystem::path path, dev_t device, ino_t inode)
    : fd_(std::move(fd)), path_(std::move(path)), device_(device), inode_(inode) {
    exitCleanup().add(path_, device_, inode_);
}

ListeningSocket::ListeningSocket(ListeningSocket&& other) noexcept
    : fd_(std::move(other.fd_)),
      path_(std::exchange(other.path_, {})),
      device_(other.device_),
      inode_(other.inode_) {}

ListeningSocket& ListeningSocket::operator=(ListeningSocket&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = std::move(other.fd_);
        path_ = std::exchange(other.path_, {});
        device_ = other.device_;
        inode_ = other.inode_;
    }
    return *this;
}

ListeningSocket::~ListeningSocket() {
    close();
}

void ListeningSocket::close() {
    if (!fd_) return;
    fd_.reset();
    exitCleanup().remove(device_, inode_);
    removeIfSame(path_, device_, inode_);
}

std::optional<uid_t> peerUser(int fd) {
#ifdef __APPLE__
    uid_t user = 0;
    gid_t group = 0;
    if (::getpeereid(fd, &user, &group) != 0) return std::nullopt;
    return user;
#else
    ucred credentials{};
    socklen_t size = sizeof credentials;
    if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0 || size != sizeof credentials) {
        return std::nullopt;
    }
    return credentials.uid;
#endif
}

int acceptClient(int fd) {
#ifdef __APPLE__
    // No accept4 there: the flags are set right after, before anyone else can
    // see the descriptor (the main thread is the only one that accepts).
    const int client = ::accept(fd, nullptr, nullptr);
    if (client >= 0) {
        ::fcntl(client, F_SETFL, ::fcntl(client, F_GETFL) | O_NONBLOCK);
        ::fcntl(client, F_SETFD, FD_CLOEXEC);
    }
    return client;
#else
    return ::accept4(fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
#endif
}

}  // namespace corvane
