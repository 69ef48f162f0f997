#pragma once

#include <sys/types.h>
#include <filesystem>
#include <optional>
#include <string>

namespace corvane {

// Where the running application listens for a second launch, and the locks
// that decide which launch is the running one. Everything lives in one
// directory that only the user can enter.
struct InstancePaths {
    std::filesystem::path directory;

    // $XDG_RUNTIME_DIR/corvane, or /tmp/corvane-<uid> when the variable is
    // unset, empty or not an absolute path.
    static InstancePaths forUser(const char* runtimeDirectory, uid_t uid);
    // The same for this process's environment and user.
    static InstancePaths current();

    std::filesystem::path socket() const { return directory / "instance"; }
    // Held by the running application for as long as it lives.
    std::filesystem::path instanceLock() const { return directory / "instance.lock"; }
    // Held while an application decides whether it is the running one and,
    // if so, until it listens; so a second launch never finds a lock without
    // a listener behind it.
    std::filesystem::path launchLock() const { return directory / "launch.lock"; }
};

// Creates `directory` with mode 0700, or accepts an existing one that is a
// real directory (not a link) owned by this user, tightening its mode to
// 0700. The parent must exist. Returns a description of the failure, or
// absent when the directory is ready.
std::optional<std::string> preparePrivateDirectory(const std::filesystem::path& directory);

}  // namespace corvane
