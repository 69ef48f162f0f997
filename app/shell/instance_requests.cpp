#include "app/shell/instance_requests.hpp"

#include <utility>

#include "app/shell/action_name.hpp"

namespace corvane {

namespace {

void performNamed(const std::string& name, AppControl& control, ReplyHandler reply) {
    const auto action = windowActionNamed(name);
    if (!action) {
        reply(InstanceReply::error("unknown action " + quotedName(name) +
                                   "; valid actions: " + allActionNames()));
        return;
    }
    if (!control.isEnabled()) {
        reply(InstanceReply::error("Corvane is switched off; turn it on with --enable"));
        return;
    }
    if (action->asSpace() && !control.desktopsAvailable()) {
        reply(InstanceReply::error("desktop moves are not available on this system"));
        return;
    }
    control.perform(*action, [reply = std::move(reply)](const ActionOutcome& outcome) {
        reply(outcome.done ? InstanceReply::ok() : InstanceReply::error(outcome.reason));
    });
}

}  // namespace

void respond(const InstanceRequest& request, AppControl& control, ReplyHandler reply) {
    switch (request.kind) {
        case InstanceRequest::Kind::show:
            control.bringForward();
            reply(InstanceReply::ok());
            return;
        case InstanceRequest::Kind::action:
            performNamed(request.action, control, std::move(reply));
            return;
        case InstanceRequest::Kind::enable:
            control.setEnabled(true);
            reply(InstanceReply::ok());
            return;
        case InstanceRequest::Kind::disable:
            control.setEnabled(false);
            reply(InstanceReply::ok());
            return;
        case InstanceRequest::Kind::status:
            reply(InstanceReply{
                InstanceReply::Kind::status,
                statusDocument(control.isEnabled(), control.unavailable(), control.isTourOpen())});
            return;
        // The menu's two entries that have no other way in where there is no
        // tray (GNOME by default, many tiling setups).
        case InstanceRequest::Kind::tour:
            control.openTour();
            reply(InstanceReply::ok());
            return;
        case InstanceRequest::Kind::quit:
            // Answered first: the event loop ends once this event is done.
            reply(InstanceReply::ok());
            control.quit();
            return;
    }
    reply(InstanceReply::error("unknown request"));
}

std::chrono::milliseconds replyTimeout(const InstanceRequest& request) {
    if (request.kind == InstanceRequest::Kind::action) return std::chrono::seconds(30);
    return std::chrono::seconds(5);
}

}  // namespace corvane
