#pragma once

#include "app/platform/keyboard_map.hpp"

namespace corvane::macos {

// Keys in our own windows on a Mac. A native virtual key code already is the
// product key code (both name the physical position), and hot keys are
// registered by position too, so a shortcut recorded on any layout fires on
// the key the user pressed. The modifier names are the Mac's own (the
// defaults).
class MacKeyboardMap final : public KeyboardMap {
public:
    MacKeyboardMap() = default;
    std::optional<Key> productKey(std::uint32_t nativeKeyCode) const override;
};

}  // namespace corvane::macos
