#pragma once

#include <sys/types.h>

#include <string>

namespace corvane::xdg {

// The kernel's short name of a running process (/proc/PID/comm); empty when
// the process is gone or not ours to see.
std::string programName(pid_t pid);

}  // namespace corvane::xdg
