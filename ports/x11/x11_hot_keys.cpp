#include "ports/x11/x11_hot_keys.hpp"

#include <algorithm>
#include <utility>

namespace corvane::x11 {

X11HotKeys::X11HotKeys(Connection& connection) : connection_(connection), keyboard_(connection) {}

X11HotKeys::~X11HotKeys() {
    for (const auto& [reference, registration] : registrations_) ungrab(registration.grabs);
}

std::optional<HotKeyService::Reference> X11HotKeys::registerHotKey(std::uint32_t keyCode,
                                                                   std::uint32_t modifiers,
                                                                   HotKeyID identity) {
    auto combinations = combinationsFor(keyCode, modifiers);
    if (combinations.empty()) return std::nullopt;
    const bool taken = std::any_of(combinations.begin(), combinations.end(),
                                   [&](const Combination& c) { return byCombination_.count(c) > 0; });
    if (taken) return std::nullopt;
    auto grabs = grab(combinations);
    if (!grabs) return std::nullopt;

    const Reference reference = nextReference_++;
    for (const auto& c : combinations) byCombination_[c] = reference;
    registrations_[reference] =
        Registration{keyCode, modifiers, std::move(combinations), std::move(*grabs), identity};
    return reference;
}

std::vector<X11HotKeys::Combination> X11HotKeys::combinationsFor(std::uint32_t keyCode,
                                                                 std::uint32_t modifiers) const {
    const auto keysym = KeyMapping::keysym(keyCode);
    if (!keysym) return {};
    const std::uint16_t xMods = KeyMapping::xModifiers(modifiers, keyboard_.layout());
    std::vector<Combination> combinations;
    for (xcb_keycode_t keycode : keyboard_.keycodes(*keysym)) combinations.push_back({keycode, xMods});
    return combinations;
}

void X11HotKeys::regrabAll() {
    for (auto& [reference, registration] : registrations_) ungrab(registration.grabs);
    byCombination_.clear();
    for (auto& [reference, registration] : registrations_) {
        registration.combinations = combinationsFor(registration.keyCode, registration.modifiers);
        auto grabs = grab(registration.combinations);
        // A shortcut the new keymap cannot express, or that another client
        // took meanwhile, stays registered but silent until the next pass.
        registration.grabs = grabs ? std::move(*grabs) : std::vector<Combination>{};
        if (!grabs) registration.combinations.clear();
        for (const auto& c : registration.combinations) byCombination_[c] = reference;
    }
}

void X11HotKeys::unregisterHotKey(Reference reference) {
    auto it = registrations_.find(reference);
    if (it == registrations_.end()) return;
    ungrab(it->second.grabs);
    for (const auto& c : it->second.combinations) byCombination_.erase(c);
    registrations_.erase(it);
}

void X11HotKeys::installPressHandler(PressHandler handler) {
    handler_ = std::move(handler);
}

std::optional<std::vector<X11HotKeys::Combination>> X11HotKeys::grab(
    const std::vector<Combination>& combinations) {
    xcb_connection_t* c = connection_.xcb();
    const auto variants = KeyMapping::lockVariants(keyboard_.layout());
    struct Attempt {
        Combination combination;
        xcb_void_cookie_t cookie;
    };
    std::vector<Attempt> attempts;
    for (const auto& combination : combinations) {
        for (std::uint16_t lock : variants) {
            const Combination variant{combination.keycode,
                                      static_cast<std::uint16_t>(combination.modifiers | lock)};
            attempts.push_back(
                {variant, xcb_grab_key_checked(c, 0, connection_.root(), variant.modifiers, variant.keycode,
                                               XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC)});
        }
    }
    std::vector<Combination> taken;
    bool refused = false;
    for (const auto& attempt : attempts) {
        XPtr<xcb_generic_error_t> error(xcb_request_check(c, attempt.cookie));
        if (error || !connection_.isAlive())
            refused = true;
        else
            taken.push_back(attempt.combination);
    }
    if (!refused) return taken;
    ungrab(taken);
    return std::nullopt;
}

// Returns once the server has released the grabs, so that a combination
// given up is free for other clients when the call returns.
void X11HotKeys::ungrab(const std::vector<Combination>& grabs) {
    xcb_connection_t* c = connection_.xcb();
    for (const auto& g : grabs) xcb_ungrab_key(c, g.keycode, connection_.root(), g.modifiers);
    reply(c, xcb_get_input_focus(c), xcb_get_input_focus_reply);
}

bool X11HotKeys::handleEvent(const xcb_generic_event_t& event) {
    switch (event.response_type & 0x7f) {
        case XCB_KEY_PRESS:
            keyPressed(reinterpret_cast<const xcb_key_press_event_t&>(event));
            return true;
        case XCB_KEY_RELEASE:
            keyReleased(reinterpret_cast<const xcb_key_release_event_t&>(event));
            return true;
        case XCB_MAPPING_NOTIFY: {
            auto* mapping = const_cast<xcb_mapping_notify_event_t*>(
                reinterpret_cast<const xcb_mapping_notify_event_t*>(&event));
            const bool keysMoved =
                mapping->request == XCB_MAPPING_KEYBOARD || mapping->request == XCB_MAPPING_MODIFIER;
            keyboard_.refresh(mapping);
            if (keysMoved) regrabAll();
            return true;
        }
        default:
            return false;
    }
}

void X11HotKeys::keyPressed(const xcb_key_press_event_t& event) {
    if (auto released = lastRelease_.find(event.detail);
        released != lastRelease_.end() && released->second == event.time)
        return;
    const Combination pressed{event.detail, KeyMapping::withoutLocks(event.state, keyboard_.layout())};
    auto found = byCombination_.find(pressed);
    if (found == byCombination_.end() || !handler_) return;
    const HotKeyID identity = registrations_.at(found->second).identity;
    // The handler may unregister hot keys (and so change our maps): call a copy.
    auto handler = handler_;
    handler(identity);
}

void X11HotKeys::keyReleased(const xcb_key_release_event_t& event) {
    lastRelease_[event.detail] = event.time;
}

}  // namespace corvane::x11
