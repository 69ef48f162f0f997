#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace corvane {

// One keyboard event from one of our own windows, in the product's terms:
// the stored form's key code and the Carbon modifier mask (Shortcut::command,
// ::shift, ::option, ::control). The recorder and the tour read these, so the
// shortcut a user types means the same in the stored form on every platform.
struct KeyInput {
    enum class Kind {
        keyDown,           // a key that is not a modifier went down (auto-repeat included)
        keyUp,             // a key that is not a modifier went up
        modifiersChanged,  // a modifier key went down or up; keyCode is absent
    };
    Kind kind = Kind::keyDown;
    // The product key code of the physical key; absent for a key the stored
    // form has no code for (and for modifier changes).
    std::optional<std::uint32_t> keyCode;
    // The modifiers held once the event has happened.
    std::uint32_t modifiers = 0;
    // What the key stands for without modifiers, as the stored form's key
    // table names it ("k", "1", "-"); empty when it types nothing printable.
    std::string characters;
    bool isAutoRepeat = false;
};

}  // namespace corvane
