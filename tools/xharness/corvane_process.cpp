#include "tools/xharness/corvane_process.hpp"

#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "tools/xharness/deadline.hpp"

namespace corvane::xharness {

namespace {

constexpr int readyDescriptor = 3;

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void makePrivateDirectory(const std::filesystem::path& path) {
    std::filesystem::create_directories(path);
    ::chmod(path.c_str(), 0700);
}

// Reads the ready pipe until the app says "ready", closes it (EOF: it
// ended) or the deadline passes.
std::string readReady(int fd, std::chrono::milliseconds timeout) {
    Deadline deadline(timeout);
    std::string text;
    while (text.find('\n') == std::string::npos) {
        pollfd p{.fd = fd, .events = POLLIN, .revents = 0};
        int r = ::poll(&p, 1, deadline.remainingMs());
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) break;
        char buffer[64];
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0) break;
        text.append(buffer, static_cast<std::size_t>(n));
    }
    return text;
}

}  // namespace

CorvaneProcess::CorvaneProcess(std::filesystem::path binary, XServer& server, CorvaneOptions options)
    : binary_(std::move(binary)), server_(server), home_("corvane-app") {
    configHome_ = home_.path() / "config";
    runtimeDir_ = home_.path() / "runtime";
    makePrivateDirectory(configHome_);
    makePrivateDirectory(runtimeDir_);
    makePrivateDirectory(home_.path() / "cache");
    makePrivateDirectory(home_.path() / "data");
    if (options.tourCompleted) options.configFiles.try_emplace("corvane/tourCompleted", "true\n");
    for (const auto& [relative, contents] : options.configFiles) {
        std::filesystem::path file = configHome_ / relative;
        makePrivateDirectory(file.parent_path());
        std::ofstream(file, std::ios::binary) << contents;
    }

    Pipe ready = Pipe::make();
    SpawnOptions spawn;
    spawn.argv = {binary_.string()};
    spawn.environment = environment();
    spawn.environment["CORVANE_READY_FD"] = std::to_string(readyDescriptor);
    spawn.unsetEnvironment = XServer::hostEnvironmentToDrop();
    spawn.descriptors = {{readyDescriptor, ready.write.get()}};
    spawn.stderrFile = home_.path() / "stderr.log";
    spawn.stdoutFile = home_.path() / "stdout.log";
    const auto started = std::chrono::steady_clock::now();
    process_ = std::make_unique<ChildProcess>(spawn);
    ready.write.reset();

    const std::string said = readReady(ready.read.get(), readyTimeout);
    startDuration_ =
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - started);
    if (said != "ready\n") {
        std::optional<ExitStatus> ended = process_->waitForExit(std::chrono::milliseconds(200));
        std::string why = ended          ? "it ended (" + describe(*ended) + ")"
                          : said.empty() ? "it said nothing"
                                         : "it said \"" + said + "\"";
        throw std::runtime_error("corvane did not become ready: " + why + "\nstderr:\n" + stderrText());
    }
}

CorvaneProcess::~CorvaneProcess() = default;

std::map<std::string, std::string> CorvaneProcess::environment() const {
    std::map<std::string, std::string> env = server_.clientEnvironment();
    env["XDG_CONFIG_HOME"] = configHome_.string();
    env["XDG_RUNTIME_DIR"] = runtimeDir_.string();
    env["XDG_CACHE_HOME"] = (home_.path() / "cache").string();
    env["XDG_DATA_HOME"] = (home_.path() / "data").string();
    return env;
}

std::string CorvaneProcess::stderrText() const {
    return readFile(home_.path() / "stderr.log");
}

CommandResult CorvaneProcess::run(const std::vector<std::string>& arguments,
                                  std::chrono::milliseconds timeout) const {
    SpawnOptions spawn;
    spawn.argv = {binary_.string()};
    spawn.argv.insert(spawn.argv.end(), arguments.begin(), arguments.end());
    spawn.environment = environment();
    spawn.unsetEnvironment = XServer::hostEnvironmentToDrop();
    spawn.unsetEnvironment.push_back("CORVANE_READY_FD");
    return runToCompletion(spawn, home_.path(), timeout);
}

}  // namespace corvane::xharness
