#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "core/shortcut.hpp"
#include "core/window_action.hpp"

namespace corvane {

// The user's whole configuration as a plain value.
struct Config {
    std::unordered_map<Placement, Shortcut> shortcuts;
    std::unordered_map<SpaceAction, Shortcut> spaceShortcuts;
    std::int64_t gap = 0;

    static constexpr std::int64_t maxGap = 40;

    // 29 shortcuts, gap 0; built once (thread-safe) and shared read-only.
    static const Config& defaults();

    // The stored form: compact JSON with "shortcuts", "spaceShortcuts", "gap",
    // "known" and "knownSpaces". Empty bytes if encoding fails.
    std::string encoded() const;
    // Never fails: absent or unreadable bytes give the defaults.
    static Config decode(std::optional<std::string_view> bytes);
    // Like decode, but tells an unreadable document apart: absent result when
    // bytes are present and cannot be read (so the caller can keep them).
    static std::optional<Config> decodeIfReadable(std::string_view bytes);

    // Shortcut sharing queries; all by Shortcut equality (label ignored).
    std::unordered_map<WindowAction, Shortcut> allShortcuts() const;
    std::unordered_set<WindowAction> conflictingActions() const;
    std::unordered_set<Placement> conflicts() const;
    // Other actions with the same shortcut, sorted by title.
    std::vector<WindowAction> actionsSharingWith(const WindowAction& action) const;
    // Other placements with the same shortcut, in allCases order.
    std::vector<Placement> placementsSharingWith(Placement placement) const;

    friend bool operator==(const Config&, const Config&) = default;
};

}  // namespace corvane
