#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "app/platform/defaults.hpp"
#include "app/platform/system_feedback.hpp"
#include "ports/xdg/atomic_file.hpp"

namespace corvane::xdg {

// The user's settings as one file per key in a private directory:
//   <directory>/enabled, <directory>/tourCompleted   the text "true" or "false"
//                                                    (one trailing newline allowed)
//   <directory>/config                               the exact stored bytes
// The directory is made 0700 (an existing one of ours is tightened to 0700),
// every file 0600. Writes are atomic (see replaceFile). Keys are simple names
// of letters, digits, '-' and '_', so no key can name a file outside the
// directory, a temporary file or a kept-aside copy. Main thread only.
class FileDefaults final : public Defaults {
public:
    struct Options {
        // Fault injection for every write and keepAside copy.
        WriteHooks hooks;
        // The time that names kept-aside copies; the system clock when empty.
        std::function<std::chrono::system_clock::time_point()> now;
        // Fault injection for reads: a non-zero errno fails the read of that
        // file as if the system had reported it (tests run as root, whom
        // permissions do not stop).
        std::function<int(const std::filesystem::path&)> beforeRead;
    };

    // Uses `directory` as it is (nothing is created until the first write).
    // Tightens an existing directory owned by this user to 0700 and removes
    // temporary files left by writers that crashed and are no longer running.
    FileDefaults(std::filesystem::path directory, SystemFeedback& feedback, Options options);
    explicit FileDefaults(std::filesystem::path directory, SystemFeedback& feedback);

    // $XDG_CONFIG_HOME/corvane, or ~/.config/corvane; empty when no home
    // directory is known (every write then fails with a log line).
    static std::filesystem::path defaultDirectory();

    const std::filesystem::path& directory() const { return directory_; }

    // Absent for a missing file, an unreadable one (logged), an invalid key
    // (logged) and, for boolValue, any content but "true" or "false".
    // A file that exists but cannot be read is left alone for the rest of
    // the session: see isHeld.
    std::optional<bool> boolValue(std::string_view key) override;
    std::optional<std::string> bytesValue(std::string_view key) override;

    // False, with one log line naming the file and the error, when the value
    // could not be replaced; the old file is then untouched. False without a
    // line for a held key.
    bool setBool(std::string_view key, bool value) override;
    bool setBytes(std::string_view key, std::string_view bytes) override;

    // Copies the current bytes to "<key>.unreadable-<YYYYmmddTHHMMSSZ>" (UTC),
    // adding "-2", "-3", ... when that name is taken, 0600, atomically and
    // never over an existing file. Returns the copy's path; absent when the
    // key holds nothing or the copy failed (logged). A failed copy holds the
    // key.
    std::optional<std::string> keepAside(std::string_view key) override;

    // A held key's file could not be read, or could not be copied aside
    // before being replaced: it may hold the user's only copy of something,
    // so no write replaces it until the next start. The session runs on the
    // defaults for that key, and the log says so once.
    bool isHeld(std::string_view key) const;

private:
    bool acceptsKey(std::string_view key);
    std::optional<std::string> read(std::string_view key);
    bool write(std::string_view key, std::string_view bytes);
    std::optional<FileError> prepareDirectory();
    void tidyDirectory();
    void hold(std::string_view key, const std::string& reason);

    std::filesystem::path directory_;
    SystemFeedback& feedback_;
    Options options_;
    std::set<std::string, std::less<>> held_;
};

}  // namespace corvane::xdg
