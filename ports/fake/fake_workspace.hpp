#pragma once

#include <sys/types.h>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "app/platform/workspace.hpp"
#include "ports/fake/fake_call_log.hpp"

namespace corvane::fake {

// The running applications, scripted. Logged as "frontmostApplication",
// "runningApplications <id>", "activate <pid>", "terminate <pid>",
// "openURL <url>". Thread-safe.
class FakeWorkspace final : public Workspace {
public:
    explicit FakeWorkspace(FakeCallLog& log);

    // The frontmost process as an application of its process id alone.
    std::optional<Application> frontmostApplication() override;
    std::vector<pid_t> runningApplications(std::string_view bundleIdentifier) override;
    // Makes the application frontmost; false for a process marked gone.
    bool activate(const Application& application) override;
    // Marks the application terminated (gone); false for one already gone.
    bool terminate(pid_t pid) override;
    // Records the URL; false while URLs are set to fail.
    bool openURL(std::string_view url) override;

    // --- Scripting (not logged) ---
    void setFrontmost(std::optional<pid_t> pid);
    void addRunningApplication(std::string bundleIdentifier, pid_t pid);
    // A process that has quit: activate fails, it is no longer listed.
    void markGone(pid_t pid);
    void setOpenURLFails(bool fails);
    std::vector<std::string> openedURLs() const;
    std::vector<pid_t> activated() const;
    std::vector<pid_t> terminated() const;

private:
    FakeCallLog& log_;
    mutable std::mutex mutex_;
    std::optional<pid_t> frontmost_;
    std::multimap<std::string, pid_t, std::less<>> running_;
    std::set<pid_t> gone_;
    bool openURLFails_ = false;
    std::vector<std::string> openedURLs_;
    std::vector<pid_t> activated_;
    std::vector<pid_t> terminated_;
};

}  // namespace corvane::fake
