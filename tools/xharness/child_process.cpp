#include "tools/xharness/child_process.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "tools/xharness/deadline.hpp"

extern char** environ;

namespace corvane::xharness {

namespace {

// Descriptor numbers the child's final descriptors are staged at, well
// above anything a test hands over, so that dup2 never clobbers a source.
constexpr int stagingBase = 100;

UniqueFd stage(int fd) {
    int staged = ::fcntl(fd, F_DUPFD_CLOEXEC, stagingBase);
    if (staged < 0) throw std::runtime_error(std::string("fcntl(F_DUPFD_CLOEXEC): ") + std::strerror(errno));
    return UniqueFd(staged);
}

UniqueFd openOutput(const std::optional<std::filesystem::path>& file) {
    int fd = file ? ::open(file->c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600)
                  : ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (fd < 0) throw std::runtime_error("cannot open output file: " + std::string(std::strerror(errno)));
    return UniqueFd(fd);
}

std::vector<std::string> buildEnvironment(const SpawnOptions& options) {
    std::vector<std::string> result;
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
        std::string_view text(*entry);
        std::string name(text.substr(0, text.find('=')));
        bool dropped = options.environment.contains(name);
        for (const auto& unset : options.unsetEnvironment) dropped = dropped || unset == name;
        if (!dropped) result.emplace_back(text);
    }
    for (const auto& [name, value] : options.environment) result.push_back(name + "=" + value);
    return result;
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
    std::vector<char*> result;
    for (auto& s : strings) result.push_back(s.data());
    result.push_back(nullptr);
    return result;
}

ExitStatus decode(int wstatus) {
    if (WIFEXITED(wstatus)) return ExitStatus{.exited = true, .code = WEXITSTATUS(wstatus), .signal = 0};
    return ExitStatus{.exited = false, .code = 0, .signal = WIFSIGNALED(wstatus) ? WTERMSIG(wstatus) : 0};
}

}  // namespace

Pipe Pipe::make() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error(std::string("pipe2: ") + std::strerror(errno));
    return Pipe{UniqueFd(fds[0]), UniqueFd(fds[1])};
}

std::string describe(const ExitStatus& status) {
    if (status.exited) return "exit code " + std::to_string(status.code);
    return "signal " + std::to_string(status.signal) + " (" + ::strsignal(status.signal) + ")";
}

ChildProcess::ChildProcess(const SpawnOptions& options) {
    if (options.argv.empty()) throw std::runtime_error("ChildProcess: empty argv");

    // Everything the child needs is prepared here: between fork and exec
    // only async-signal-safe calls are allowed.
    std::vector<std::string> args = options.argv;
    std::vector<std::string> env = buildEnvironment(options);
    std::vector<char*> argvPointers = pointers(args);
    std::vector<char*> envPointers = pointers(env);

    std::vector<std::pair<int, UniqueFd>> handOver;
    UniqueFd devNullIn(::open("/dev/null", O_RDONLY | O_CLOEXEC));
    handOver.emplace_back(0, stage(devNullIn.get()));
    handOver.emplace_back(1, stage(openOutput(options.stdoutFile).get()));
    handOver.emplace_back(2, stage(openOutput(options.stderrFile).get()));
    for (const auto& [target, source] : options.descriptors) handOver.emplace_back(target, stage(source));

    Pipe execError = Pipe::make();
    const pid_t parent = ::getpid();
    pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error(std::string("fork: ") + std::strerror(errno));
    if (pid == 0) {
        ::setpgid(0, 0);
        // Should the test process itself crash, its servers go with it
        // instead of lingering as orphans.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent) ::_exit(127);
        for (const auto& [target, staged] : handOver) {
            if (::dup2(staged.get(), target) < 0) {
                int err = errno;
                (void)!::write(execError.write.get(), &err, sizeof err);
                ::_exit(127);
            }
        }
        ::execvpe(argvPointers[0], argvPointers.data(), envPointers.data());
        int err = errno;
        (void)!::write(execError.write.get(), &err, sizeof err);
        ::_exit(127);
    }
    // Set the group from this side too, so that signalGroup() works even
    // if it runs before the child got to its own setpgid.
    ::setpgid(pid, pid);
    pid_ = pid;
    pidFd_ = UniqueFd(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)));
    execError.write.reset();

    int childErrno = 0;
    ssize_t n;
    do {
        n = ::read(execError.read.get(), &childErrno, sizeof childErrno);
    } while (n < 0 && errno == EINTR);
    if (n > 0) {
        reap(0);
        throw std::runtime_error("cannot start " + options.argv[0] + ": " + std::strerror(childErrno));
    }
    if (!pidFd_) {
        terminate();
        throw std::runtime_error(std::string("pidfd_open: ") + std::strerror(errno));
    }
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0) terminate();
}

bool ChildProcess::reap(int flags) {
    if (status_) return true;
    int wstatus = 0;
    pid_t r;
    do {
        r = ::waitpid(pid_, &wstatus, flags);
    } while (r < 0 && errno == EINTR);
    if (r == pid_) {
        status_ = decode(wstatus);
        return true;
    }
    return false;
}

bool ChildProcess::isRunning() {
    return !reap(WNOHANG);
}

std::optional<ExitStatus> ChildProcess::status() {
    reap(WNOHANG);
    return status_;
}

std::optional<ExitStatus> ChildProcess::waitForExit(std::chrono::milliseconds timeout) {
    Deadline deadline(timeout);
    while (!reap(WNOHANG)) {
        pollfd p{.fd = pidFd_.get(), .events = POLLIN, .revents = 0};
        int r = ::poll(&p, 1, deadline.remainingMs());
        if (r == 0) return reap(WNOHANG) ? status_ : std::nullopt;
        if (r < 0 && errno != EINTR) return std::nullopt;
    }
    return status_;
}

void ChildProcess::signalGroup(int signal) {
    if (pid_ > 0 && !groupEnded_) ::kill(-pid_, signal);
}

ExitStatus ChildProcess::terminate(std::chrono::milliseconds grace) {
    if (groupEnded_) return *status_;
    if (!status_) {
        signalGroup(SIGTERM);
        if (!waitForExit(grace)) {
            signalGroup(SIGKILL);
            reap(0);
        }
    }
    // Stragglers of the group (a terminal's shell, say) go too.
    signalGroup(SIGKILL);
    groupEnded_ = true;
    return *status_;
}

CommandResult runToCompletion(SpawnOptions options, const std::filesystem::path& scratch,
                              std::chrono::milliseconds timeout) {
    static std::atomic<int> runs{0};
    const std::string tag = "run-" + std::to_string(::getpid()) + "-" + std::to_string(++runs);
    options.stdoutFile = scratch / (tag + ".out");
    options.stderrFile = scratch / (tag + ".err");
    CommandResult result;
    {
        ChildProcess process(options);
        result.status = process.waitForExit(timeout);
    }
    auto slurp = [](const std::filesystem::path& path) {
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    };
    result.out = slurp(*options.stdoutFile);
    result.err = slurp(*options.stderrFile);
    return result;
}

}  // namespace corvane::xharness
