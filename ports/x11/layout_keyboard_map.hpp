#pragma once

#include <optional>
#include <string>

#include "app/platform/keyboard_map.hpp"
#include "ports/x11/key_table.hpp"

namespace corvane::x11 {

// A keyboard layout by its XKB names, as a compositor's settings give it.
struct XkbLayout {
    std::string layout;   // "fr"
    std::string variant;  // "azerty"; may be empty
    friend bool operator==(const XkbLayout&, const XkbLayout&) = default;
};

// Our own windows' keys where they do not come from an X server we can ask
// (Wayland: GNOME, Plasma, sway), for the recorder and the tour: Wayland
// hands clients XKB key codes (evdev + 8), read here against the layout the
// compositor types with (from its settings, read at start). Main thread only.
class LayoutKeyboardMap final : public KeyboardMap {
public:
    // The layout to read keys with; absent, or unknown to this system: the
    // default, which follows XKB_DEFAULT_LAYOUT and its kin as compositors do.
    explicit LayoutKeyboardMap(const std::optional<XkbLayout>& layout);

    Names names() const override;
    std::optional<Key> productKey(std::uint32_t nativeKeyCode) const override;

private:
    KeyTable table_;
};

}  // namespace corvane::x11
