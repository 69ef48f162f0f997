#include "app/shell/instance_requests.hpp"

#include "app/shell/action_name.hpp"

namespace corvane {

namespace {

InstanceReply performNamed(const std::string& name, AppControl& control) {
    const auto action = windowActionNamed(name);
    if (!action)
        return InstanceReply::error("unknown action \"" + name + "\"; valid actions: " + allActionNames());
    if (!control.isEnabled())
        return InstanceReply::error("Corvane is switched off; turn it on with --enable");
    if (action->asSpace() && !control.desktopsAvailable()) {
        return InstanceReply::error("desktop moves are not available on this system");
    }
    control.perform(*action);
    return InstanceReply::ok();
}

}  // namespace

InstanceReply respond(const InstanceRequest& request, AppControl& control) {
    switch (request.kind) {
        case InstanceRequest::Kind::show:
            control.bringForward();
            return InstanceReply::ok();
        case InstanceRequest::Kind::action:
            return performNamed(request.action, control);
        case InstanceRequest::Kind::enable:
            control.setEnabled(true);
            return InstanceReply::ok();
        case InstanceRequest::Kind::disable:
            control.setEnabled(false);
            return InstanceReply::ok();
        case InstanceRequest::Kind::status:
            return InstanceReply{
                InstanceReply::Kind::status,
                statusDocument(control.isEnabled(), control.unavailable(), control.isTourOpen())};
    }
    return InstanceReply::error("unknown request");
}

}  // namespace corvane
