#pragma once

#include <chrono>
#include <functional>

#include "app/shell/app_control.hpp"
#include "app/shell/instance_protocol.hpp"

namespace corvane {

using ReplyHandler = std::function<void(const InstanceReply&)>;

// What the running application does with a request from a second launch,
// and its answer, given to `reply` exactly once on the main thread. Most
// requests are answered before this returns; an action is answered once its
// outcome is known: "ok" only when the window was placed or sent, else an
// error saying why (which for a desktop move may take a while, without
// holding up the main thread). An action is refused while the application is
// off (as a menu command would do nothing), and a desktop action is refused
// where desktop moves cannot work.
void respond(const InstanceRequest& request, AppControl& control, ReplyHandler reply);

// How long a second launch waits for each part of the answer. A desktop
// action may create desktops and wait for the window manager before the
// running application can answer.
std::chrono::milliseconds replyTimeout(const InstanceRequest& request);

}  // namespace corvane
