#pragma once

#include "app/shell/app_control.hpp"
#include "app/shell/instance_protocol.hpp"

namespace corvane {

// What the running application does with a request from a second launch,
// and its answer. An action is refused while the application is off (as a
// menu command would do nothing), and a desktop action is refused where
// desktop moves cannot work; each refusal says why.
InstanceReply respond(const InstanceRequest& request, AppControl& control);

}  // namespace corvane
