#pragma once

#include <sys/types.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace corvane::wayland {

// Who runs a compositor under test. Compositors refuse root or misbehave as
// root (sway refuses outright; GNOME Shell's services expect a user
// session), so a test running as root runs the compositor, the app and the
// clients as an unprivileged user: CORVANE_TEST_USER, else "nobody". A test
// running as anyone else runs everything as itself.
class SessionUser {
public:
    // Absent, with the reason in `whyNot`, when no such user exists.
    static std::optional<SessionUser> forTests(std::string& whyNot);

    bool isSelf() const { return name_.empty(); }
    const std::string& name() const { return name_; }
    uid_t uid() const { return uid_; }
    gid_t gid() const { return gid_; }

    // Hands a file or folder (and, with `recursive`, all it holds) to the user.
    void give(const std::filesystem::path& path, bool recursive = false) const;
    // argv run as the user, in `directory`, with only `environment` (and a
    // plain PATH): the test's own display and buses stay out. setpriv changes
    // the user and execs in place, so no parent stays behind holding signals.
    std::vector<std::string> wrap(const std::vector<std::string>& argv,
                                  const std::map<std::string, std::string>& environment,
                                  const std::filesystem::path& directory) const;
    // Whether the user may run the program.
    bool canRun(const std::filesystem::path& program, const std::filesystem::path& scratch) const;

private:
    std::string name_;
    uid_t uid_ = 0;
    gid_t gid_ = 0;
};

// A program made reachable for the user: the program itself where the user
// may run it, else a copy in `directory`/bin (a build under a private home is
// out of an unprivileged user's reach). Throws when neither works.
std::filesystem::path reachableCopy(const SessionUser& user, const std::filesystem::path& program,
                                    const std::filesystem::path& directory);

}  // namespace corvane::wayland
