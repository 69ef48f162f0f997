#pragma once

#include <sys/types.h>
#include <optional>
#include <string_view>
#include <vector>

#include "app/platform/application.hpp"

namespace corvane {

// The running applications. Main thread only.
class Workspace {
public:
    virtual ~Workspace() = default;

    // The application that owns the window the user is working in; absent
    // when no application is frontmost.
    virtual std::optional<Application> frontmostApplication() = 0;
    // Running applications with the given bundle (or program) identifier.
    virtual std::vector<pid_t> runningApplications(std::string_view bundleIdentifier) = 0;
    // Brings an application forward; false when it is gone.
    virtual bool activate(const Application& application) = 0;
    // Asks an application politely to quit; false when the request could not be sent.
    virtual bool terminate(pid_t pid) = 0;
    // Opens a URL with the system's handler; false when it could not be opened.
    virtual bool openURL(std::string_view url) = 0;

protected:
    Workspace() = default;
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;
};

}  // namespace corvane
