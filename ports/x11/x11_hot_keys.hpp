#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <vector>

#include <xcb/xcb.h>

#include "app/platform/hot_key_service.hpp"
#include "ports/x11/connection.hpp"
#include "ports/x11/keyboard.hpp"

namespace corvane::x11 {

// System-wide shortcuts as passive key grabs on the root window. A shortcut
// is grabbed on every key that types its character on the user's layout,
// once for every Caps Lock / Num Lock / keyboard-group combination, so it
// works with either lock on and in either layout; the server refusing any of
// those grabs (another client holds it) refuses the registration, and
// nothing of it stays grabbed. As with the platform service the product was
// designed on, a combination this service already holds cannot be
// registered a second time.
//
// A keymap change moves the grabs to the keys that now type each shortcut,
// taking the new grabs before releasing the old, and touches nothing when
// our keys did not move (the server announces a new keyboard for every
// switch of input device, and other clients remap unrelated keys): a press
// is never lost to a change.
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
    void installChangeHandler(ChangeHandler handler) override;
    bool isActive(Reference reference) const override;

    // Takes key and keymap events; true when the event was one of ours.
    bool handleEvent(const xcb_generic_event_t& event);
    // After a burst of events: when the keymap changed, moves the grabs
    // and tells the change handler. True when it talked to the server.
    bool followKeyboard();
    // Tells the change handler that the window manager changed.
    void environmentChanged();
    // Called around the press handler, on the main thread: before it is
    // called and once it has returned.
    void setPressHooks(std::function<void()> begin, std::function<void()> end);

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
        std::vector<Combination> combinations;  // as pressed, locks left out; empty: not in force
        HotKeyID identity;
    };

    // The X combinations of a product shortcut under the current keymap;
    // empty when the keymap has no key for it.
    std::vector<Combination> combinationsFor(std::uint32_t keyCode, std::uint32_t modifiers) const;
    // Every lock and group variant of the combinations: what is grabbed.
    std::vector<Combination> variantsOf(const std::vector<Combination>& combinations) const;
    // Moves every registration to its keys under the new keymap.
    void followKeymap();

    // Grabs with checked requests (one round trip for all); returns the
    // grabs the server refused, having taken the rest.
    std::set<Combination> grab(const std::set<Combination>& grabs);
    void ungrab(const std::set<Combination>& grabs);

    void keyPressed(const xcb_key_press_event_t& event);
    void keyReleased(const xcb_key_release_event_t& event);

    Connection& connection_;
    Keyboard keyboard_;
    PressHandler handler_;
    std::function<void()> beginPress_;
    std::function<void()> endPress_;
    ChangeHandler changeHandler_;
    Reference nextReference_ = 1;
    std::map<Reference, Registration> registrations_;
    std::map<Combination, Reference> byCombination_;
    // What the server holds for us: every variant of every registration in force.
    std::set<Combination> held_;
    // The keyboard's generation the grabs were last fitted to.
    std::uint64_t keyboardGeneration_ = 0;
    // The last key event taken: auto-repeat shows as a release directly
    // followed by a press of the same key with the same timestamp, and
    // such a press is not a new press.
    struct KeyEvent {
        xcb_keycode_t keycode = 0;
        xcb_timestamp_t time = 0;
        bool release = false;
    };
    KeyEvent lastKeyEvent_;
};

}  // namespace corvane::x11
