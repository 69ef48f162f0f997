#include "ports/macos/mission_control_pass.hpp"

namespace corvane::macos::MissionControlPass {

Points points(const Rect& displayBounds) {
    return Points{
        Point{displayBounds.midX(), displayBounds.midY()},
        Point{displayBounds.maxX() - 30, displayBounds.minY() + 34},
    };
}

}  // namespace corvane::macos::MissionControlPass
