#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <variant>

namespace corvane {

// An exclusive advisory lock (flock) on a file, held for as long as the
// object lives. The system drops it when the process ends, however it ends,
// so a lock never outlives its holder.
class FileLock {
public:
    // The lock is held by another open file (usually another process).
    struct Busy {};
    // The lock file could not be opened or locked; the message says why.
    struct Failure {
        std::string message;
    };
    using Attempt = std::variant<FileLock, Busy, Failure>;

    // Waits until the lock is free.
    static Attempt acquire(const std::filesystem::path& path);
    // Returns Busy at once when another holder has it.
    static Attempt tryAcquire(const std::filesystem::path& path);

    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock();

    // Drops the lock now.
    void release();

private:
    explicit FileLock(int fd) : fd_(fd) {}
    static Attempt lock(const std::filesystem::path& path, bool wait);
    int fd_ = -1;
};

}  // namespace corvane
