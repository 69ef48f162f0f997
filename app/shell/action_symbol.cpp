#include "app/shell/action_symbol.hpp"

namespace corvane {

namespace {

std::string_view placementSymbol(Placement placement) {
    switch (placement.value()) {
        case Placement::leftHalf:
            return "rectangle.lefthalf.filled";
        case Placement::rightHalf:
            return "rectangle.righthalf.filled";
        case Placement::topHalf:
            return "rectangle.tophalf.filled";
        case Placement::bottomHalf:
            return "rectangle.bottomhalf.filled";
        case Placement::topLeft:
            return "rectangle.inset.topleft.filled";
        case Placement::topRight:
            return "rectangle.inset.topright.filled";
        case Placement::bottomLeft:
            return "rectangle.inset.bottomleft.filled";
        case Placement::bottomRight:
            return "rectangle.inset.bottomright.filled";
        case Placement::maximize:
            return "rectangle.fill";
        case Placement::previousDisplay:
            return "rectangle.lefthalf.inset.filled.arrow.left";
        case Placement::nextDisplay:
            return "rectangle.righthalf.inset.filled.arrow.right";
    }
    return {};
}

}  // namespace

std::string_view symbol(const WindowAction& action) {
    if (const auto placement = action.asPlacement()) return placementSymbol(*placement);
    // A desktop action's symbol depends only on whether it follows the window.
    const auto space = action.asSpace();
    return space && space->followsWindow() ? "rectangle.on.rectangle.angled"
                                           : "rectangle.portrait.and.arrow.right";
}

}  // namespace corvane
