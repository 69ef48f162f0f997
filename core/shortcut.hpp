#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace corvane {

// One global keyboard shortcut: the platform key code, a Carbon modifier mask
// and the label shown for the key. The label never takes part in identity.
struct Shortcut {
    std::uint32_t keyCode = 0;
    std::uint32_t modifiers = 0;
    std::string key;

    static constexpr std::uint32_t command = 0x100;
    static constexpr std::uint32_t shift = 0x200;
    static constexpr std::uint32_t option = 0x800;
    static constexpr std::uint32_t control = 0x1000;

    // Glyphs for the set bits in the order ⌃⌥⇧⌘, then the key label.
    std::string display() const;
    // At least one of command, option or control; shift alone does not count.
    bool hasRequiredModifier() const;

    friend bool operator==(const Shortcut& a, const Shortcut& b) {
        return a.keyCode == b.keyCode && a.modifiers == b.modifiers;
    }
};

}  // namespace corvane

template <>
struct std::hash<corvane::Shortcut> {
    std::size_t operator()(const corvane::Shortcut& s) const noexcept;
};
