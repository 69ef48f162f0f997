#include "ports/macos/mac_workspace.hpp"

#include <AppKit/AppKit.h>

#include "ports/macos/ns_string.hpp"

namespace corvane::macos {

std::optional<Application> MacWorkspace::frontmostApplication() {
    NSRunningApplication* front = NSWorkspace.sharedWorkspace.frontmostApplication;
    if (!front) return std::nullopt;
    return Application{front.processIdentifier, 0};
}

std::vector<pid_t> MacWorkspace::runningApplications(std::string_view bundleIdentifier) {
    std::vector<pid_t> pids;
    NSString* identifier = nsString(bundleIdentifier);
    if (!identifier) return pids;
    for (NSRunningApplication* app in
         [NSRunningApplication runningApplicationsWithBundleIdentifier:identifier])
        pids.push_back(app.processIdentifier);
    return pids;
}

bool MacWorkspace::activate(const Application& application) {
    NSRunningApplication* app =
        [NSRunningApplication runningApplicationWithProcessIdentifier:application.pid];
    if (!app || app.terminated) return false;
    // No options: the application's key window comes forward, as a click in
    // the Dock would do it.
    return [app activateWithOptions:0];
}

bool MacWorkspace::terminate(pid_t pid) {
    NSRunningApplication* app = [NSRunningApplication runningApplicationWithProcessIdentifier:pid];
    return app && [app terminate];
}

bool MacWorkspace::openURL(std::string_view url) {
    NSString* text = nsString(url);
    NSURL* target = text ? [NSURL URLWithString:text] : nil;
    return target && [NSWorkspace.sharedWorkspace openURL:target];
}

}  // namespace corvane::macos
