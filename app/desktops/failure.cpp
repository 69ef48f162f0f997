#include "app/desktops/failure.hpp"

namespace corvane::desktops {

namespace {

std::string describe(Failure::Case c, int requested) {
    switch (c) {
        case Failure::Case::desktopCreateFailed:
            return "Could not create Desktop " + std::to_string(requested) +
                   " on this display. Add it in Mission Control, then try again.";
        case Failure::Case::noWindow:
            return "No focused window to move";
        case Failure::Case::noDisplay:
            return "Could not identify the window's display or Spaces";
        case Failure::Case::noWindowID:
            return "Could not identify the focused window";
        case Failure::Case::operationUnavailable:
            return "Native Desktop move is unavailable on this macOS version";
        case Failure::Case::moveFailed:
            return "macOS did not move the window to the requested Desktop";
        case Failure::Case::switchFailed:
            return "The window moved, but Corvane could not switch to its Desktop";
    }
    return {};
}

}  // namespace

Failure::Failure(Case c, int requested)
    : case_(c), requested_(requested), description_(describe(c, requested)) {}

Failure Failure::desktopCreateFailed(int requested) {
    return Failure(Case::desktopCreateFailed, requested);
}

}  // namespace corvane::desktops
