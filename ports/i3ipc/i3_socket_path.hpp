#pragma once

#include <optional>
#include <string>

namespace corvane::i3ipc {

// The IPC socket i3 announces on the X display's root window
// (I3_SOCKET_PATH), for sessions where I3SOCK did not reach us (started
// by something other than i3 itself). Absent when the display cannot be
// opened or no i3 runs there.
std::optional<std::string> i3SocketOnDisplay(const std::string& displayName);

}  // namespace corvane::i3ipc
