#include "app/desktops/failure.hpp"

namespace corvane::desktops {

namespace {

std::string describe(Failure::Case c, int requested, const WindowServer::Names& names) {
    switch (c) {
        case Failure::Case::desktopCreateFailed:
            return "Could not create Desktop " + std::to_string(requested) + " on this display. Add it in " +
                   names.desktopOverview + ", then try again.";
        case Failure::Case::noWindow:
            return "No focused window to move";
        case Failure::Case::noDisplay:
            return "Could not identify the window's display or Spaces";
        case Failure::Case::noWindowID:
            return "Could not identify the focused window";
        case Failure::Case::operationUnavailable:
            return "Native Desktop move is unavailable on " + names.thisSystem;
        case Failure::Case::moveFailed:
            return names.system + " did not move the window to the requested Desktop";
        case Failure::Case::switchFailed:
            return "The window moved, but Corvane could not switch to its Desktop";
    }
    return {};
}

}  // namespace

Failure::Failure(Case c, int requested)
    : case_(c), requested_(requested), description_(describe(c, requested, {})) {}

std::string Failure::description(const WindowServer::Names& names) const {
    return describe(case_, requested_, names);
}

Failure Failure::desktopCreateFailed(int requested) {
    return Failure(Case::desktopCreateFailed, requested);
}

}  // namespace corvane::desktops
