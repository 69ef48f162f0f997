#pragma once

#include "app/platform/screens.hpp"

namespace corvane::macos {

// The displays as AppKit lists them (the primary first, frames in the
// bottom-left space already) and as Core Graphics identifies them.
class MacScreens final : public Screens {
public:
    MacScreens() = default;

    std::vector<Screen> screens() override;
    std::optional<std::string> displayUUID(std::uint32_t displayNumber) override;
    std::optional<Rect> displayBounds(std::uint32_t displayNumber) override;
};

}  // namespace corvane::macos
