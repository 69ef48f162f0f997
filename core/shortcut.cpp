#include "core/shortcut.hpp"

#include "core/hash_combine.hpp"

namespace corvane {

std::string Shortcut::display() const {
    std::string text;
    if (modifiers & control) text += "⌃";
    if (modifiers & option) text += "⌥";
    if (modifiers & shift) text += "⇧";
    if (modifiers & command) text += "⌘";
    return text + key;
}

bool Shortcut::hasRequiredModifier() const {
    return (modifiers & (command | option | control)) != 0;
}

}  // namespace corvane

std::size_t std::hash<corvane::Shortcut>::operator()(const corvane::Shortcut& s) const noexcept {
    const std::hash<std::uint32_t> hash32;
    return corvane::detail::hashCombine(hash32(s.keyCode), hash32(s.modifiers));
}
