#include "app/shell/file_lock.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace corvane {

FileLock::Attempt FileLock::acquire(const std::filesystem::path& path) {
    return lock(path, true);
}

FileLock::Attempt FileLock::tryAcquire(const std::filesystem::path& path) {
    return lock(path, false);
}

FileLock::Attempt FileLock::lock(const std::filesystem::path& path, bool wait) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return Failure{"cannot open " + path.string() + ": " + std::strerror(errno)};
    FileLock held(fd);
    int result = 0;
    do {
        result = ::flock(fd, LOCK_EX | (wait ? 0 : LOCK_NB));
    } while (result != 0 && errno == EINTR);
    if (result == 0) return held;
    if (errno == EWOULDBLOCK) return Busy{};
    return Failure{"cannot lock " + path.string() + ": " + std::strerror(errno)};
}

FileLock::FileLock(FileLock&& other) noexcept : fd_(other.fd_) {
    other.fd_ = -1;
}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        release();
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

FileLock::~FileLock() {
    release();
}

void FileLock::release() {
    // Closing the only descriptor of the open file drops its flock.
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

}  // namespace corvane
