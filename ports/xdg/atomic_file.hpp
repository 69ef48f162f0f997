#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include <sys/types.h>

namespace corvane::xdg {

// A failed file operation: the errno and one line fit for the diagnostics log,
// which names the file and the system's description of the error.
struct FileError {
    int code = 0;
    std::string message;
    // True when the new content already took the target's name and only the
    // final directory sync failed: readers see the new bytes, but whether they
    // survive a power cut is unknown.
    bool committed = false;
};

// The points inside a write where a test may inject a failure or a crash.
enum class WriteStep {
    write,          // the temporary file exists, nothing written to it yet
    sync,           // every byte written, before the file is synced
    commit,         // temporary file synced and closed, before it takes the target's name
    syncDirectory,  // the target's name holds the new bytes, before the directory is synced
};

// Fault injection for tests. `before` runs ahead of each step: returning 0 lets
// the step run; returning an errno fails the step exactly as if the system had
// reported that error (the temporary file is removed, the target untouched).
// An exception thrown by it propagates untouched and leaves the disk as a crash
// at that instant would: the temporary file stays behind.
struct WriteHooks {
    std::function<int(WriteStep)> before;
};

// Replaces `directory/name` with `bytes`, created with exactly `mode`. The bytes
// go to a fresh temporary file in the same directory, are synced, and the file
// is renamed over the target; the directory is synced last. A crash at any
// instant therefore leaves either the old or the new content under the name.
// On failure the old file is untouched and no temporary file remains.
// The directory must exist.
std::optional<FileError> replaceFile(const std::filesystem::path& directory, std::string_view name,
                                     std::string_view bytes, mode_t mode = 0600,
                                     const WriteHooks& hooks = {});

// Like replaceFile, but never replaces anything: when `directory/name` already
// exists it fails with code EEXIST and leaves that file alone.
std::optional<FileError> createFile(const std::filesystem::path& directory, std::string_view name,
                                    std::string_view bytes, mode_t mode = 0600, const WriteHooks& hooks = {});

// What reading a whole file found. No bytes and no error: the file does not
// exist. An error: it exists but could not be read (or is not a regular file,
// or is larger than the limit); the bytes are then absent.
struct ReadOutcome {
    std::optional<std::string> bytes;
    std::optional<FileError> error;
};

// Reads the regular file at `path`. Never blocks on a FIFO, never throws
// (short of running out of memory).
ReadOutcome readFile(const std::filesystem::path& path, std::size_t limit);

// Creates `directory` and any missing parents, each with exactly `mode`.
// Directories that already exist are left as they are.
std::optional<FileError> makeDirectories(const std::filesystem::path& directory, mode_t mode);

// Removes `directory/name`. A file that is already gone counts as success.
std::optional<FileError> removeFile(const std::filesystem::path& directory, std::string_view name);

// Temporary files are named ".<name>.tmp-<pid>-<sequence>". When `fileName`
// is one, returns the process id that made it.
std::optional<pid_t> temporaryFileOwner(std::string_view fileName);

// The system's description of an errno value (thread-safe strerror).
std::string errorText(int code);

}  // namespace corvane::xdg
