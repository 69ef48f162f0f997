#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

struct xkb_keymap;

namespace corvane::kwin {

// The keyboard layout a Plasma session uses, as KWin reads it from the
// user's kxkbrc: rules names for libxkbcommon. Empty members mean
// libxkbcommon's defaults (which follow XKB_DEFAULT_* like KWin's).
struct LayoutNames {
    std::string model;
    std::string layout;
    std::string variant;
    std::string options;
    friend bool operator==(const LayoutNames&, const LayoutNames&) = default;
};

// From kxkbrc's text; a configuration that does not set its own layouts
// ("Use" false, or no [Layout] group) gives the defaults.
LayoutNames parseKxkbrc(std::string_view text);
// From $XDG_CONFIG_HOME/kxkbrc (else ~/.config/kxkbrc).
LayoutNames sessionLayout();
// The first of the layouts (with its variant): the one Plasma types with
// at log-in, which our own windows' keys are read with.
LayoutNames firstLayout(const LayoutNames& names);

struct KeymapFree {
    void operator()(xkb_keymap* keymap) const;
};
using Keymap = std::unique_ptr<xkb_keymap, KeymapFree>;
// The compiled keymap; null when libxkbcommon cannot compile these names.
Keymap compileKeymap(const LayoutNames& names);

}  // namespace corvane::kwin
