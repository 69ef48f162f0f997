#include "tools/wayland_session/session_user.hpp"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

#include "tools/xharness/child_process.hpp"

namespace corvane::wayland {

std::optional<SessionUser> SessionUser::forTests(std::string& whyNot) {
    SessionUser user;
    if (::geteuid() != 0) {
        user.uid_ = ::getuid();
        user.gid_ = ::getgid();
        return user;
    }
    const char* chosen = std::getenv("CORVANE_TEST_USER");
    const std::string name = chosen && *chosen ? chosen : "nobody";
    const passwd* entry = ::getpwnam(name.c_str());
    if (!entry || entry->pw_uid == 0) {
        whyNot = "running as root, and there is no unprivileged user \"" + name +
                 "\" to run the compositor as; set CORVANE_TEST_USER to one";
        return std::nullopt;
    }
    user.name_ = name;
    user.uid_ = entry->pw_uid;
    user.gid_ = entry->pw_gid;
    return user;
}

void SessionUser::give(const std::filesystem::path& path, bool recursive) const {
    if (isSelf()) return;
    if (::chown(path.c_str(), uid_, gid_) != 0)
        throw std::runtime_error("cannot hand " + path.string() + " to " + name_);
    if (!recursive || !std::filesystem::is_directory(path)) return;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(path))
        if (::lchown(entry.path().c_str(), uid_, gid_) != 0)
            throw std::runtime_error("cannot hand " + entry.path().string() + " to " + name_);
}

std::vector<std::string> SessionUser::wrap(const std::vector<std::string>& argv,
                                           const std::map<std::string, std::string>& environment,
                                           const std::filesystem::path& directory) const {
    std::vector<std::string> full;
    if (!isSelf())
        full = {"setpriv", "--reuid=" + std::to_string(uid_), "--regid=" + std::to_string(gid_),
                "--init-groups", "--"};
    full.insert(full.end(), {"env", "-i", "-C", directory.string(), "PATH=/usr/local/bin:/usr/bin:/bin"});
    for (const auto& [name, value] : environment) full.push_back(name + "=" + value);
    full.insert(full.end(), argv.begin(), argv.end());
    return full;
}

bool SessionUser::canRun(const std::filesystem::path& program, const std::filesystem::path& scratch) const {
    xharness::SpawnOptions check;
    check.argv = wrap({"test", "-x", program.string()}, {}, scratch);
    const auto result = xharness::runToCompletion(check, scratch, std::chrono::milliseconds(10000));
    return result.status && result.status->exited && result.status->code == 0;
}

std::filesystem::path reachableCopy(const SessionUser& user, const std::filesystem::path& program,
                                    const std::filesystem::path& directory) {
    if (user.isSelf() || user.canRun(program, directory)) return program;
    const auto bin = directory / "bin";
    std::filesystem::create_directories(bin);
    user.give(bin);
    const auto copy = bin / program.filename();
    std::filesystem::copy_file(program, copy, std::filesystem::copy_options::overwrite_existing);
    using std::filesystem::perms;
    std::filesystem::permissions(copy, perms::owner_all | perms::group_read | perms::group_exec |
                                           perms::others_read | perms::others_exec);
    if (!user.canRun(copy, directory))
        throw std::runtime_error(user.name() + " cannot run " + program.string() +
                                 "; set CORVANE_TEST_USER to a user who can");
    return copy;
}

}  // namespace corvane::wayland
