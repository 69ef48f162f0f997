#pragma once

#include "app/shell/file_lock.hpp"
#include "app/shell/instance_paths.hpp"

namespace corvane {

// The running Corvane on a Mac, once this process has won the instance lock:
// a menu-bar accessory (the bundle's Info.plist keeps it out of the Dock)
// over the macOS port. Hot keys arrive through the Carbon handler on the
// Cocoa run loop the toolkit runs; opening the app again (Finder, Dock,
// Spotlight) shows the settings window. Releases `launchLock` once it
// listens for the command line's requests, and returns the exit status.
int runMacApplication(int argc, char** argv, const InstancePaths& paths, FileLock& launchLock);

}  // namespace corvane
