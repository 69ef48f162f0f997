#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include <xcb/xcb.h>

#include "app/platform/hot_key_service.hpp"
#include "ports/x11/connection.hpp"
#include "ports/x11/keyboard.hpp"

namespace corvane::x11 {

// System-wide shortcuts as passive key grabs on the root window. A shortcut
// is grabbed once for every Caps Lock / Num Lock combination, so it works with
// either lock on; the server refusing any of those grabs (another client holds
// it) refuses the registration, and nothing of it stays grabbed. As with the
// platform service the product was designed on, a combination this service
// already holds cannot be registered a second time.
//
// Main thread only. Presses arrive through handleEvent, called by the port's
// event dispatch.
class X11HotKeys final : public HotKeyService {
public:
    explicit X11HotKeys(Connection& connection);
    ~X11HotKeys() override;

    std::optional<Reference> registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers,
                                            HotKeyID identity) override;
    void unregisterHotKey(Reference reference) override;
    void installPressHandler(PressHandler handler) override;

    // Takes key and mapping events; true when the event was one of ours.
    bool handleEvent(const xcb_generic_event_t& event);

    // The keymap the grabs follow, kept current on every mapping change.
    const Keyboard& keyboard() const { return keyboard_; }

private:
    struct Combination {
        xcb_keycode_t keycode = 0;
        std::uint16_t modifiers = 0;
        friend auto operator<=>(const Combination&, const Combination&) = default;
    };
    struct Registration {
        std::uint32_t keyCode = 0;              // the product's key code and modifier
        std::uint32_t modifiers = 0;            // mask, to grab again after a keymap change
        std::vector<Combination> combinations;  // as pressed, locks left out
        std::vector<Combination> grabs;         // every lock variant, as grabbed
        HotKeyID identity;
    };

    // The X combinations of a product shortcut under the current keymap;
    // empty when the keymap has no such key.
    std::vector<Combination> combinationsFor(std::uint32_t keyCode, std::uint32_t modifiers) const;
    // After a keymap change the same shortcut may sit on other keycodes or
    // modifier bits: every registration is grabbed again.
    void regrabAll();

    // Grabs every lock variant of every combination with checked requests
    // (one round trip for all) and returns the grabs; on any refusal releases
    // what it took and returns nothing.
    std::optional<std::vector<Combination>> grab(const std::vector<Combination>& combinations);
    void ungrab(const std::vector<Combination>& grabs);

    void keyPressed(const xcb_key_press_event_t& event);
    void keyReleased(const xcb_key_release_event_t& event);

    Connection& connection_;
    Keyboard keyboard_;
    PressHandler handler_;
    Reference nextReference_ = 1;
    std::map<Reference, Registration> registrations_;
    std::map<Combination, Reference> byCombination_;
    // Auto-repeat shows as a release and a press with the same timestamp;
    // those presses are not new presses.
    std::map<xcb_keycode_t, xcb_timestamp_t> lastRelease_;
};

}  // namespace corvane::x11
