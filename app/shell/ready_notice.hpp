#pragma once

#include <optional>
#include <string>

namespace corvane {

// The environment variable through which a starter (an end-to-end test, the
// demo) hands us a file descriptor to hear that launching has finished.
inline constexpr const char* readyFdVariable = "CORVANE_READY_FD";

// If CORVANE_READY_FD names a file descriptor, writes "ready\n" to it, closes
// it and removes the variable, so the notice goes out once. Returns absent
// when there was nothing to do or the notice went out, otherwise a
// description of what went wrong. The caller ignores SIGPIPE (a starter that
// has gone away must not end us).
std::optional<std::string> sendReadyNotice();

}  // namespace corvane
