#include "ports/fake/fake_workspace.hpp"

namespace corvane::fake {

FakeWorkspace::FakeWorkspace(FakeCallLog& log) : log_(log) {}

std::optional<Application> FakeWorkspace::frontmostApplication() {
    log_.record("frontmostApplication");
    std::lock_guard lock(mutex_);
    if (!frontmost_) return std::nullopt;
    return Application{*frontmost_, 0};
}

std::vector<pid_t> FakeWorkspace::runningApplications(std::string_view bundleIdentifier) {
    log_.record("runningApplications " + std::string(bundleIdentifier));
    std::lock_guard lock(mutex_);
    std::vector<pid_t> result;
    const auto [first, last] = running_.equal_range(bundleIdentifier);
    for (auto it = first; it != last; ++it) {
        if (!gone_.count(it->second)) result.push_back(it->second);
    }
    return result;
}

bool FakeWorkspace::activate(const Application& application) {
    const pid_t pid = application.pid;
    log_.record("activate " + std::to_string(pid));
    std::lock_guard lock(mutex_);
    if (gone_.count(pid)) return false;
    activated_.push_back(pid);
    frontmost_ = pid;
    return true;
}

bool FakeWorkspace::terminate(pid_t pid) {
    log_.record("terminate " + std::to_string(pid));
    std::lock_guard lock(mutex_);
    if (gone_.count(pid)) return false;
    terminated_.push_back(pid);
    gone_.insert(pid);
    if (frontmost_ == pid) frontmost_.reset();
    return true;
}

bool FakeWorkspace::openURL(std::string_view url) {
    log_.record("openURL " + std::string(url));
    std::lock_guard lock(mutex_);
    if (openURLFails_) return false;
    openedURLs_.emplace_back(url);
    return true;
}

void FakeWorkspace::setFrontmost(std::optional<pid_t> pid) {
    std::lock_guard lock(mutex_);
    frontmost_ = pid;
}

void FakeWorkspace::addRunningApplication(std::string bundleIdentifier, pid_t pid) {
    std::lock_guard lock(mutex_);
    running_.emplace(std::move(bundleIdentifier), pid);
    gone_.erase(pid);
}

void FakeWorkspace::markGone(pid_t pid) {
    std::lock_guard lock(mutex_);
    gone_.insert(pid);
    if (frontmost_ == pid) frontmost_.reset();
}

void FakeWorkspace::setOpenURLFails(bool fails) {
    std::lock_guard lock(mutex_);
    openURLFails_ = fails;
}

std::vector<std::string> FakeWorkspace::openedURLs() const {
    std::lock_guard lock(mutex_);
    return openedURLs_;
}

std::vector<pid_t> FakeWorkspace::activated() const {
    std::lock_guard lock(mutex_);
    return activated_;
}

std::vector<pid_t> FakeWorkspace::terminated() const {
    std::lock_guard lock(mutex_);
    return terminated_;
}

}  // namespace corvane::fake
