#pragma once

#include <sys/types.h>
#include <filesystem>
#include <string>
#include <vector>

namespace corvane::x11::test {

// A child process, terminated and reaped when this goes.
class Child {
public:
    Child() = default;
    // Starts `argv` with the environment changed by `env` ("NAME=value").
    // Descriptors without close-on-exec (a -displayfd pipe) stay open in it.
    static Child spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env = {});
    ~Child();
    Child(Child&& other) noexcept;
    Child& operator=(Child&& other) noexcept;
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    pid_t pid() const { return pid_; }
    bool isRunning() const;
    // Waits for the child to end by itself; its exit status, or -1.
    int wait();
    void terminate();

private:
    pid_t pid_ = -1;
};

// A private X server for one test: Xvfb on a free display (found through
// -displayfd), optionally split into RandR monitors, with openbox managing it.
// Everything is stopped when the session goes.
class XSession {
public:
    struct MonitorSpec {
        std::string name;      // "*name" makes it the primary
        std::string geometry;  // w/mmwxh/mmh+x+y
        std::string outputs;   // "screen" or "none"
    };
    // Throws std::runtime_error when the server or the window manager does
    // not come up.
    explicit XSession(const std::string& screenSize = "3200x1200x24",
                      const std::vector<MonitorSpec>& monitors = {});
    ~XSession();
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    const std::string& display() const { return display_; }
    // Runs a program against this display and waits for it.
    int run(const std::vector<std::string>& argv);
    // True while Xvfb and openbox both still run.
    bool isAlive() const;

private:
    void writeOpenboxConfig();
    void waitForWindowManager();

    // Members go in reverse order, so on every path (a throwing constructor
    // too) the processes stop before their directory is removed.
    struct TemporaryDirectory {
        std::filesystem::path path;
        TemporaryDirectory();
        ~TemporaryDirectory();
        TemporaryDirectory(const TemporaryDirectory&) = delete;
        TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;
    };
    TemporaryDirectory configDirectory_;
    const std::filesystem::path& configHome_ = configDirectory_.path;
    Child server_;
    Child windowManager_;
    std::string display_;
};

}  // namespace corvane::x11::test
