#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "app/platform/hot_key_service.hpp"
#include "core/shortcut.hpp"
#include "core/window_action.hpp"

namespace corvane {

// A four-character code as the platform packs it: the first character in the
// most significant byte.
constexpr std::uint32_t fourCharCode(const char (&code)[5]) {
    return (static_cast<std::uint32_t>(static_cast<unsigned char>(code[0])) << 24) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(code[1])) << 16) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(code[2])) << 8) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(code[3]));
}

// The system-wide hot keys of the application: registers shortcuts under
// identities that name their action and turns a press back into the action.
// One per store; main thread only.
//
// The press handler handed to the service holds the callback itself, not
// this object: the newest registry's callback receives every press, also
// after the registry is gone (the callback decides what that means).
class HotKeys {
public:
    using Callback = std::function<void(const WindowAction&)>;

    // The signature every identity of ours carries.
    static constexpr std::uint32_t signature = fourCharCode("CRVN");

    // Every action: the placements in declared order, then the desktop
    // actions in declared order. A hot key's identifier is its action's
    // position here (0...28), so the order must never change.
    static const std::vector<WindowAction>& actions();

    // Installs the press handler that calls `onPress` (which may be empty:
    // presses are then taken and ignored).
    HotKeys(HotKeyService& service, Callback onPress);
    // Forgets the references without unregistering: registrations live as
    // long as the process, and a later registry starts from unregisterAll().
    ~HotKeys();
    HotKeys(const HotKeys&) = delete;
    HotKeys& operator=(const HotKeys&) = delete;

    // Registers the shortcut under the identifier `position`; false when the
    // system refuses it (nothing is kept then). A shortcut without Control,
    // Option or Command is refused before the system sees it: as a
    // system-wide hot key it would swallow a key (or a shifted character)
    // from every application.
    bool registerHotKey(std::size_t position, const Shortcut& shortcut);
    // Unregisters everything this registry registered; statuses are ignored.
    void unregisterAll();
    std::size_t registeredCount() const { return refs_.size(); }
    // The identifiers registered but not in force now (a keyboard change
    // left their shortcut without a key), in registration order.
    std::vector<std::size_t> positionsOutOfForce() const;

    // What the installed handler does with a press: noErr when the identity
    // is ours and names an action (the callback, if any, has run);
    // eventNotHandledErr for an unreadable press, a foreign signature or an
    // identifier out of range, so that other handlers may take it.
    static std::int32_t handlePress(std::optional<HotKeyID> identity, const Callback& callback);

private:
    struct Held {
        std::size_t position = 0;
        HotKeyService::Reference reference = 0;
    };
    HotKeyService& service_;
    std::vector<Held> refs_;
};

}  // namespace corvane
