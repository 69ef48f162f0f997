#include "ports/macos/event_flags.hpp"

#include "core/shortcut.hpp"

namespace corvane::macos {

std::uint32_t carbonModifiers(std::uint64_t flags) {
    std::uint32_t mask = 0;
    if (flags & EventFlags::command) mask |= Shortcut::command;
    if (flags & EventFlags::shift) mask |= Shortcut::shift;
    if (flags & EventFlags::option) mask |= Shortcut::option;
    if (flags & EventFlags::control) mask |= Shortcut::control;
    return mask;
}

}  // namespace corvane::macos
