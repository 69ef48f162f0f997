#pragma once

#include <cerrno>
#include <utility>

#include <unistd.h>

namespace corvane::xdg {

// Owns one file descriptor and closes it on every path. Move-only.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) {
            reset();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() { reset(); }

    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }

    // Closes without reporting. On Linux the descriptor is gone even when
    // close() fails, so a failure is never retried.
    void reset() {
        if (fd_ >= 0) ::close(std::exchange(fd_, -1));
    }

    // Gives the descriptor up to a new owner, which closes it.
    int release() { return std::exchange(fd_, -1); }

    // Closes and reports the outcome: 0, or the errno of close(). Needed
    // where a late write error (NFS, quota) only shows up at close.
    int close() {
        if (fd_ < 0) return 0;
        return ::close(std::exchange(fd_, -1)) == 0 ? 0 : errno;
    }

private:
    int fd_ = -1;
};

}  // namespace corvane::xdg
