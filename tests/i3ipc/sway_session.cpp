#include "tests/i3ipc/sway_session.hpp"

#include <fcntl.h>
#include <poll.h>
#include <pwd.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "ports/i3ipc/ipc_frame.hpp"
#include "tools/xharness/corvane_process.hpp"
#include "tools/xharness/unique_fd.hpp"

namespace corvane::i3ipc::testing {

namespace {

using Clock = std::chrono::steady_clock;

void giveTo(const std::filesystem::path& path, const std::string& user) {
    if (user.empty()) return;
    const passwd* entry = ::getpwnam(user.c_str());
    if (!entry) throw std::runtime_error("no user " + user + " to run sway as");
    if (::chown(path.c_str(), entry->pw_uid, entry->pw_gid) != 0)
        throw std::runtime_error("cannot hand " + path.string() + " to " + user);
}

void writeFile(const std::filesystem::path& path, const std::string& text, const std::string& user) {
    std::ofstream(path) << text;
    giveTo(path, user);
}

// Waits for a file to appear in a directory, on inotify, not by polling.
bool waitForFile(const std::filesystem::path& path, std::chrono::milliseconds limit) {
    const xharness::UniqueFd watch(::inotify_init1(IN_CLOEXEC | IN_NONBLOCK));
    ::inotify_add_watch(watch.get(), path.parent_path().c_str(), IN_CREATE | IN_MOVED_TO);
    const auto deadline = Clock::now() + limit;
    while (!std::filesystem::exists(path)) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) return false;
        pollfd p{watch.get(), POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left.count())) > 0) {
            char buffer[4096];
            while (::read(watch.get(), buffer, sizeof buffer) > 0) {
            }
        }
    }
    return true;
}

}  // namespace

SwaySession::SwaySession(const std::string& extraConfig) : dir_("corvane-sway") {
    if (::geteuid() == 0) {
        const char* user = std::getenv("CORVANE_TEST_USER");
        user_ = user && *user ? user : "nobody";
    }
    giveTo(dir_.path(), user_);
    if (!user_.empty() && !canRun(binary_)) {
        // A build under a private home directory is out of that user's
        // reach: the session's own directory holds a copy it can run (the
        // program needs nothing beside itself but the system's libraries).
        // (Not at the top: "corvane/" there is the runtime directory.)
        std::filesystem::create_directory(dir_.path() / "bin");
        const auto copy = dir_.path() / "bin" / "corvane";
        std::filesystem::copy_file(CORVANE_BINARY, copy);
        std::filesystem::permissions(
            copy, std::filesystem::perms::owner_all | std::filesystem::perms::group_read |
                      std::filesystem::perms::group_exec | std::filesystem::perms::others_read |
                      std::filesystem::perms::others_exec);
        binary_ = copy.string();
        if (!canRun(binary_))
            throw std::runtime_error(user_ + " cannot run " + std::string(CORVANE_BINARY) +
                                     "; set CORVANE_TEST_USER to a user who can");
    }
    std::filesystem::create_directory(dir_.path() / "config");
    giveTo(dir_.path() / "config", user_);
    socket_ = dir_.path() / "sway.sock";
    writeFile(dir_.path() / "sway.conf",
              "output HEADLESS-1 resolution 1440x900 position 0 0\n"
              "xwayland disable\n"
              "default_border none\n"
              "default_floating_border none\n"
              "focus_on_window_activation focus\n" +
                  extraConfig,
              user_);
    xharness::SpawnOptions spawn;
    spawn.argv = asUser({"env", "WLR_BACKENDS=headless", "WLR_LIBINPUT_NO_DEVICES=1", "WLR_RENDERER=pixman",
                         "WLR_HEADLESS_OUTPUTS=1", "sway", "-c", (dir_.path() / "sway.conf").string()});
    spawn.stderrFile = dir_.path() / "sway.log";
    sway_ = std::make_unique<xharness::ChildProcess>(spawn);
    if (!waitForFile(socket_, timeout)) throw std::runtime_error("sway did not start:\n" + log());
    // The socket appears before sway listens and runs its loop: it is
    // ready once it answers.
    const auto deadline = Clock::now() + timeout;
    while (!ipc_ && Clock::now() < deadline) {
        ipc_ = IpcConnection::open(socket_.string());
        if (ipc_ && !ipc_->request(MessageType::getVersion, {}, std::chrono::milliseconds(200))) ipc_.reset();
        if (!ipc_) waitForFile(dir_.path() / "never", std::chrono::milliseconds(5));
    }
    events_ = IpcConnection::open(socket_.string());
    if (!ipc_ || !events_ || !events_->request(MessageType::subscribe, R"(["window","workspace","binding"])"))
        throw std::runtime_error("cannot reach sway's socket:\n" + log());
}

bool SwaySession::canRun(const std::string& program) const {
    xharness::SpawnOptions check;
    check.argv = asUser({"test", "-x", program});
    const auto reachable = xharness::runToCompletion(check, dir_.path(), timeout);
    return reachable.status && reachable.status->exited && reachable.status->code == 0;
}

SwaySession::~SwaySession() {
    ipc_.reset();
    events_.reset();
    sway_->terminate();
}

std::map<std::string, std::string> SwaySession::environment() const {
    return {{"XDG_RUNTIME_DIR", dir_.path().string()},
            {"XDG_CONFIG_HOME", (dir_.path() / "config").string()},
            {"HOME", dir_.path().string()},
            {"SWAYSOCK", socket_.string()},
            {"WAYLAND_DISPLAY", "wayland-1"}};
}

std::vector<std::string> SwaySession::asUser(std::vector<std::string> argv) const {
    // `env -i` keeps the test's own session (an X display, a D-Bus bus)
    // out: only what a sway session sets reaches the child.
    // setpriv changes the user and execs in place: no parent stays behind
    // that would hold a signal for seconds before passing it on.
    std::vector<std::string> full;
    if (!user_.empty()) {
        const passwd* entry = ::getpwnam(user_.c_str());
        if (!entry) throw std::runtime_error("no user " + user_);
        full = {"setpriv", "--reuid=" + std::to_string(entry->pw_uid),
                "--regid=" + std::to_string(entry->pw_gid), "--init-groups", "--"};
    }
    // The session's directory is the working directory too: the test's own
    // may be out of the user's reach, and sway passes it on to what it starts.
    full.insert(full.end(), {"env", "-i", "-C", dir_.path().string(), "PATH=/usr/local/bin:/usr/bin:/bin"});
    for (const auto& [name, value] : environment()) full.push_back(name + "=" + value);
    full.insert(full.end(), argv.begin(), argv.end());
    return full;
}

CommandOutcome SwaySession::command(const std::string& text) {
    const auto reply = ipc_->request(MessageType::runCommand, text);
    return reply ? parseCommandReply(*reply) : CommandOutcome{false, "no reply"};
}

bool SwaySession::reload() {
    if (!command("reload").success) return false;
    const auto deadline = Clock::now() + timeout;
    while (Clock::now() < deadline) {
        pollfd p{events_->fileDescriptor(), POLLIN, 0};
        ::poll(&p, 1, 100);
        bool alive = true;
        for (const auto& event : events_->readEvents(alive))
            if (event.eventType() == EventType::workspace && parseWorkspaceChange(event.payload) == "reload")
                return true;
        if (!alive) return false;
    }
    return false;
}

std::optional<Tree> SwaySession::tree() {
    const auto reply = ipc_->request(MessageType::getTree, {});
    return reply ? parseTree(*reply) : std::nullopt;
}

std::vector<Output> SwaySession::outputs() {
    const auto reply = ipc_->request(MessageType::getOutputs, {});
    return reply ? parseOutputs(*reply) : std::vector<Output>{};
}

bool SwaySession::waitFor(const std::function<bool(const Tree&)>& done, std::chrono::milliseconds limit) {
    const auto deadline = Clock::now() + limit;
    for (;;) {
        if (const auto t = tree(); t && done(*t)) return true;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) return false;
        // Every change to a window comes as an event; the tree is read again
        // after each. The cap only bounds a change that sends none.
        pollfd p{events_->fileDescriptor(), POLLIN, 0};
        ::poll(&p, 1, static_cast<int>(std::min<long>(left.count(), 100)));
        bool alive = true;
        events_->readEvents(alive);
        if (!alive) return false;
    }
}

std::int64_t SwaySession::openWindow() {
    const auto before = tree();
    const std::size_t count = before ? before->windows.size() : 0;
    const auto outcome = command("exec foot cat");
    if (!outcome.success) throw std::runtime_error("cannot open a window: " + outcome.error);
    std::int64_t id = 0;
    const bool opened = waitFor([&](const Tree& t) {
        const auto focused = t.focused();
        if (t.windows.size() <= count || !focused) return false;
        id = focused->id;
        return true;
    });
    if (!opened) throw std::runtime_error("the window did not appear:\n" + log());
    return id;
}

void SwaySession::press(const std::string& combination) {
    // "ctrl+alt+logo+Left": wtype holds each modifier, types the key, lets go.
    std::vector<std::string> parts;
    std::stringstream in(combination);
    for (std::string part; std::getline(in, part, '+');) parts.push_back(part);
    std::vector<std::string> argv{"wtype"};
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) argv.insert(argv.end(), {"-M", parts[i]});
    argv.insert(argv.end(), {"-k", parts.back()});
    for (std::size_t i = parts.size() - 1; i-- > 0;) argv.insert(argv.end(), {"-m", parts[i]});
    xharness::SpawnOptions spawn;
    spawn.argv = asUser(argv);
    const auto result = xharness::runToCompletion(spawn, dir_.path(), timeout);
    if (!result.status || !result.status->exited || result.status->code != 0)
        throw std::runtime_error("wtype failed: " + result.err);
}

std::string SwaySession::log() const {
    std::ifstream in(dir_.path() / "sway.log");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

SwayCorvane::SwayCorvane(SwaySession& session, const std::string& configText) : session_(session) {
    const auto config = session.directory() / "config" / "corvane";
    std::filesystem::create_directories(config);
    std::ofstream(config / "tourCompleted") << "true";
    if (!configText.empty()) std::ofstream(config / "config") << configText;
    // The app's files belong to the session's user, like everything of theirs.
    if (const auto& user = session.user(); !user.empty()) {
        const passwd* entry = ::getpwnam(user.c_str());
        for (const auto& path : {config, config / "tourCompleted", config / "config"})
            if (entry && std::filesystem::exists(path) &&
                ::chown(path.c_str(), entry->pw_uid, entry->pw_gid) != 0)
                throw std::runtime_error("cannot hand the settings to the session's user");
    }

    xharness::SpawnOptions spawn;
    spawn.argv = session.asUser(
        {"CORVANE_READY_FD=" + std::to_string(xharness::readyDescriptor), session.corvaneBinary()});
    spawn.stderrFile = session.directory() / "corvane.log";
    auto [process, said] = xharness::startAwaitingReady(std::move(spawn), SwaySession::timeout);
    process_ = std::move(process);
    if (said != "ready\n") throw std::runtime_error("corvane did not become ready:\n" + stderrText());
}

SwayCorvane::~SwayCorvane() {
    process_->terminate();
}

xharness::CommandResult SwayCorvane::run(const std::vector<std::string>& arguments) {
    std::vector<std::string> argv{session_.corvaneBinary()};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    xharness::SpawnOptions spawn;
    spawn.argv = session_.asUser(argv);
    return xharness::runToCompletion(spawn, session_.directory(), SwaySession::timeout);
}

std::string SwayCorvane::stderrText() const {
    std::ifstream in(session_.directory() / "corvane.log");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace corvane::i3ipc::testing
