#pragma once

#include <sys/types.h>
#include <cstdint>

namespace corvane {

// An application as the workspace hands it out. Where every window names the
// process that owns it, the process id says it all and `window` stays 0.
// Where a window may name no process (an X11 client without _NET_WM_PID,
// one on another machine), the port also records the window that made the
// application frontmost, so the application can still be found and acted
// on; `pid` is then 0 when no process could be found at all. The
// application layer passes it back to the port as it came.
struct Application {
    pid_t pid = 0;
    std::uint64_t window = 0;

    friend bool operator==(const Application&, const Application&) = default;
};

}  // namespace corvane
