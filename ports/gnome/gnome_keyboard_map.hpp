#pragma once

#include <optional>
#include <string>

#include "app/platform/keyboard_map.hpp"
#include "ports/x11/key_table.hpp"

namespace corvane::gnome {

// The first keyboard layout of GNOME's input sources, as XKB names it.
struct InputSource {
    std::string layout;   // "fr"
    std::string variant;  // "azerty"; may be empty
    friend bool operator==(const InputSource&, const InputSource&) = default;
};

// The first XKB source of `org.gnome.desktop.input-sources sources` in
// gsettings' text form ("[('xkb', 'fr+azerty'), ('ibus', 'anthy')]"); absent
// when there is none (GNOME then types with the system's default layout).
std::optional<InputSource> firstXkbSource(const std::string& gvariantText);

// Our own windows' keys on GNOME, for the recorder and the tour: Wayland
// hands clients XKB key codes, read here against the layout GNOME types with
// (its first input source, read at start), not the environment's, which
// GNOME does not set. Main thread only.
class GnomeKeyboardMap final : public KeyboardMap {
public:
    // The layout to read keys with; absent: the system's default.
    explicit GnomeKeyboardMap(const std::optional<InputSource>& source);
    // Asks gsettings for the user's first input source.
    static std::optional<InputSource> userSource();

    Names names() const override;
    std::optional<Key> productKey(std::uint32_t nativeKeyCode) const override;

private:
    x11::KeyTable table_;
};

}  // namespace corvane::gnome
