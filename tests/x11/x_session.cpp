#include "tests/x11/x_session.hpp"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <utility>

#include <xcb/xcb.h>

extern char** environ;

namespace corvane::x11::test {

namespace {

constexpr int kStartTimeoutMs = 20000;

std::vector<std::string> mergedEnvironment(const std::vector<std::string>& changes) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry(*e);
        const auto name = entry.substr(0, entry.find('=') + 1);
        bool replaced = false;
        for (const auto& c : changes) replaced = replaced || c.rfind(name, 0) == 0;
        if (!replaced) env.push_back(entry);
    }
    env.insert(env.end(), changes.begin(), changes.end());
    return env;
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
    std::vector<char*> result;
    for (auto& s : strings) result.push_back(s.data());
    result.push_back(nullptr);
    return result;
}

// Reads the display number Xvfb writes once it accepts connections.
std::string readDisplayNumber(int fd) {
    std::string text;
    while (text.find('\n') == std::string::npos) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, kStartTimeoutMs) <= 0) throw std::runtime_error("Xvfb did not report its display");
        char buffer[32];
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0) throw std::runtime_error("Xvfb exited before reporting its display");
        text.append(buffer, static_cast<std::size_t>(n));
    }
    return text.substr(0, text.find('\n'));
}

}  // namespace

Child Child::spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env) {
    std::vector<std::string> args = argv;
    auto argp = pointers(args);
    auto envStrings = mergedEnvironment(env);
    auto envp = pointers(envStrings);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // The children's chatter is not the test's output; CORVANE_TEST_CHILD_LOG
    // names a file to collect it in when a fixture needs debugging.
    const char* log = std::getenv("CORVANE_TEST_CHILD_LOG");
    for (int fd : {STDOUT_FILENO, STDERR_FILENO})
        posix_spawn_file_actions_addopen(&actions, fd, log ? log : "/dev/null", O_WRONLY | O_CREAT | O_APPEND,
                                         0600);
    Child child;
    const int rc = posix_spawnp(&child.pid_, args[0].c_str(), &actions, nullptr, argp.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) throw std::runtime_error("cannot start " + args[0] + ": " + std::strerror(rc));
    return child;
}

Child::~Child() {
    terminate();
}

Child::Child(Child&& other) noexcept : pid_(std::exchange(other.pid_, -1)) {}

Child& Child::operator=(Child&& other) noexcept {
    if (this != &other) {
        terminate();
        pid_ = std::exchange(other.pid_, -1);
    }
    return *this;
}

bool Child::isRunning() const {
    if (pid_ <= 0) return false;
    int status = 0;
    return waitpid(pid_, &status, WNOHANG) == 0;
}

int Child::wait() {
    if (pid_ <= 0) return -1;
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void Child::terminate() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    wait();
}

XSession::TemporaryDirectory::TemporaryDirectory() {
    const auto pattern = (std::filesystem::temp_directory_path() / "corvane-x11-test-XXXXXX").string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (!mkdtemp(name.data())) throw std::runtime_error("cannot make a temporary directory");
    path = name.data();
}

XSession::TemporaryDirectory::~TemporaryDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

XSession::XSession(const std::string& screenSize, const std::vector<MonitorSpec>& monitors) {
    int fds[2];
    if (pipe(fds) != 0) throw std::runtime_error("pipe failed");
    struct Close {
        int fd;
        ~Close() { close(fd); }
    } readEnd{fds[0]};
    {
        // Only Xvfb keeps the write end, so a server that dies ends the read.
        Close writeEnd{fds[1]};
        server_ = Child::spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", screenSize,
                                "-noreset", "-nolisten", "tcp"});
    }
    display_ = ":" + readDisplayNumber(fds[0]);
    // Monitors before the window manager, so that it starts on the final layout.
    for (const auto& m : monitors) {
        if (run({"xrandr", "--setmonitor", m.name, m.geometry, m.outputs}) != 0)
            throw std::runtime_error("xrandr --setmonitor failed");
    }
    writeOpenboxConfig();
    // Openbox runs its start-up command just before it enters its event loop;
    // the command's line in a FIFO is our signal that it is there.
    const auto fifo = configHome_ / "ready";
    if (mkfifo(fifo.c_str(), 0600) != 0) throw std::runtime_error("mkfifo failed");
    const int readyFd = open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (readyFd < 0) throw std::runtime_error("cannot open the FIFO");
    windowManager_ =
        Child::spawn({"openbox", "--sm-disable", "--startup", "sh -c 'echo ready > " + fifo.string() + "'"},
                     {"DISPLAY=" + display_, "XDG_CONFIG_HOME=" + configHome_.string()});
    pollfd p{readyFd, POLLIN, 0};
    const int ready = poll(&p, 1, kStartTimeoutMs);
    close(readyFd);
    if (ready <= 0) throw std::runtime_error("openbox did not start");
    waitForWindowManager();
}

XSession::~XSession() {
    windowManager_.terminate();
    server_.terminate();
}

// The stock configuration binds Control-Alt-arrows and more to its own
// actions; the tests' window manager binds no keys, so every grab is ours.
void XSession::writeOpenboxConfig() {
    std::filesystem::create_directories(configHome_ / "openbox");
    std::ofstream rc(configHome_ / "openbox" / "rc.xml");
    rc << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
          "<openbox_config xmlns=\"http://openbox.org/3.4/rc\">\n"
          "  <desktops><number>4</number></desktops>\n"
          "  <keyboard></keyboard>\n"
          "  <mouse></mouse>\n"
          "</openbox_config>\n";
}

int XSession::run(const std::vector<std::string>& argv) {
    return Child::spawn(argv, {"DISPLAY=" + display_}).wait();
}

bool XSession::isAlive() const {
    return server_.isRunning() && windowManager_.isRunning();
}

// Openbox is ready once it announces the desktops and its supporting window
// on the root; every root property change wakes us, nothing is polled.
void XSession::waitForWindowManager() {
    xcb_connection_t* c = xcb_connect(display_.c_str(), nullptr);
    struct Disconnect {
        xcb_connection_t* c;
        ~Disconnect() { xcb_disconnect(c); }
    } disconnect{c};
    if (xcb_connection_has_error(c)) throw std::runtime_error("cannot connect to " + display_);
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);

    auto atom = [&](const char* name) {
        auto* r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::strlen(name), name), nullptr);
        const xcb_atom_t a = r ? r->atom : xcb_atom_t{XCB_ATOM_NONE};
        std::free(r);
        return a;
    };
    const xcb_atom_t wanted[] = {atom("_NET_SUPPORTING_WM_CHECK"), atom("_NET_NUMBER_OF_DESKTOPS"),
                                 atom("_NET_CURRENT_DESKTOP"), atom("_NET_CLIENT_LIST_STACKING")};
    auto ready = [&] {
        for (xcb_atom_t a : wanted) {
            auto* r = xcb_get_property_reply(c, xcb_get_property(c, 0, root, a, XCB_ATOM_ANY, 0, 1), nullptr);
            const bool present = r && r->type != XCB_ATOM_NONE;
            std::free(r);
            if (!present) return false;
        }
        return true;
    };
    auto waitFor = [&](const std::function<bool()>& condition, const char* what) {
        while (!condition()) {
            if (!windowManager_.isRunning()) throw std::runtime_error("openbox exited");
            // Events read while asking above are already queued; only block on the socket otherwise.
            if (auto* queued = xcb_poll_for_queued_event(c)) {
                std::free(queued);
                continue;
            }
            pollfd p{xcb_get_file_descriptor(c), POLLIN, 0};
            if (poll(&p, 1, kStartTimeoutMs) <= 0) throw std::runtime_error(what);
            while (auto* e = xcb_poll_for_event(c)) std::free(e);
        }
    };
    waitFor(ready, "openbox did not start");

    // Openbox announces itself before it has adopted the existing windows and
    // entered its event loop. A request only that loop answers proves it is
    // there: ask for the frame extents of a scratch window.
    const xcb_window_t probe = xcb_generate_id(c);
    const std::uint32_t probeMask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(c, XCB_COPY_FROM_PARENT, probe, root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &probeMask);
    xcb_client_message_event_t request{};
    request.response_type = XCB_CLIENT_MESSAGE;
    request.format = 32;
    request.window = probe;
    request.type = atom("_NET_REQUEST_FRAME_EXTENTS");
    xcb_send_event(c, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&request));
    xcb_flush(c);
    const xcb_atom_t extents = atom("_NET_FRAME_EXTENTS");
    waitFor(
        [&] {
            auto* r = xcb_get_property_reply(c, xcb_get_property(c, 0, probe, extents, XCB_ATOM_ANY, 0, 4),
                                             nullptr);
            const bool present = r && r->type != XCB_ATOM_NONE;
            std::free(r);
            return present;
        },
        "openbox did not answer");
    xcb_destroy_window(c, probe);
    xcb_flush(c);
}

}  // namespace corvane::x11::test
