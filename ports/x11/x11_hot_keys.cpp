#include "ports/x11/x11_hot_keys.hpp"

#include "ports/x11/press_trace.hpp"

#include <algorithm>
#include <utility>

namespace corvane::x11 {

X11HotKeys::X11HotKeys(Connection& connection)
    : connection_(connection), keyboard_(connection), keyboardGeneration_(keyboard_.generation()) {}

X11HotKeys::~X11HotKeys() {
    ungrab(held_);
}

std::optional<HotKeyService::Reference> X11HotKeys::registerHotKey(std::uint32_t keyCode,
                                                                   std::uint32_t modifiers,
                                                                   HotKeyID identity) {
    auto combinations = combinationsFor(keyCode, modifiers);
    if (combinations.empty()) return std::nullopt;
    const bool taken = std::any_of(combinations.begin(), combinations.end(),
                                   [&](const Combination& c) { return byCombination_.count(c) > 0; });
    if (taken) return std::nullopt;
    const auto variants = variantsOf(combinations);
    const std::set<Combination> wanted(variants.begin(), variants.end());
    if (const auto refused = grab(wanted); !refused.empty()) {
        std::set<Combination> took;
        std::set_difference(wanted.begin(), wanted.end(), refused.begin(), refused.end(),
                            std::inserter(took, took.end()));
        ungrab(took);
        return std::nullopt;
    }
    held_.insert(wanted.begin(), wanted.end());

    const Reference reference = nextReference_++;
    for (const auto& c : combinations) byCombination_[c] = reference;
    registrations_[reference] = Registration{keyCode, modifiers, std::move(combinations), identity};
    return reference;
}

std::vector<X11HotKeys::Combination> X11HotKeys::combinationsFor(std::uint32_t keyCode,
                                                                 std::uint32_t modifiers) const {
    // The stored modifiers as they are, whatever level the character sits on
    // here: AZERTY's 1 is shifted, yet Ctrl+Alt on the key labelled 1 is
    // "Ctrl+Alt+1" (and with Shift, the desktop follow shortcut), as the user reads it.
    const std::uint16_t xMods = KeyMapping::xModifiers(modifiers, keyboard_.layout());
    std::vector<Combination> combinations;
    for (xcb_keycode_t keycode : keyboard_.keycodes(keyCode)) combinations.push_back({keycode, xMods});
    return combinations;
}

std::vector<X11HotKeys::Combination> X11HotKeys::variantsOf(
    const std::vector<Combination>& combinations) const {
    const auto locks = KeyMapping::lockVariants(keyboard_.layout());
    std::vector<Combination> variants;
    for (const auto& c : combinations)
        for (std::uint16_t lock : locks)
            variants.push_back({c.keycode, static_cast<std::uint16_t>(c.modifiers | lock)});
    return variants;
}

void X11HotKeys::followKeymap() {
    // Where each registration belongs now; an earlier registration keeps a
    // combination two of them would share.
    std::map<Reference, std::vector<Combination>> wanted;
    std::set<Combination> claimed;
    for (const auto& [reference, registration] : registrations_) {
        auto combinations = combinationsFor(registration.keyCode, registration.modifiers);
        const bool clash = std::any_of(combinations.begin(), combinations.end(),
                                       [&](const Combination& c) { return claimed.count(c) > 0; });
        if (clash) combinations.clear();
        claimed.insert(combinations.begin(), combinations.end());
        wanted[reference] = std::move(combinations);
    }

    // Take what is new before letting go of anything, so that a shortcut on
    // a key that did not move is held throughout.
    std::set<Combination> toTake;
    for (const auto& [reference, combinations] : wanted)
        for (const auto& v : variantsOf(combinations))
            if (!held_.count(v)) toTake.insert(v);
    const auto refused = grab(toTake);

    std::set<Combination> kept;
    for (auto& [reference, combinations] : wanted) {
        const auto variants = variantsOf(combinations);
        const bool refusedHere = std::any_of(variants.begin(), variants.end(),
                                             [&](const Combination& v) { return refused.count(v); });
        // Another client holds a new key of this shortcut: it is not in
        // force until a later change, and gives up the rest of its keys.
        if (refusedHere)
            combinations.clear();
        else
            kept.insert(variants.begin(), variants.end());
    }
    std::set<Combination> toRelease;
    for (const auto& g : held_)
        if (!kept.count(g)) toRelease.insert(g);
    for (const auto& g : toTake)
        if (!refused.count(g) && !kept.count(g)) toRelease.insert(g);
    ungrab(toRelease);
    held_ = std::move(kept);

    byCombination_.clear();
    for (auto& [reference, registration] : registrations_) {
        registration.combinations = std::move(wanted[reference]);
        for (const auto& c : registration.combinations) byCombination_[c] = reference;
    }
}

void X11HotKeys::unregisterHotKey(Reference reference) {
    auto it = registrations_.find(reference);
    if (it == registrations_.end()) return;
    std::set<Combination> grabs;
    for (const auto& v : variantsOf(it->second.combinations))
        if (held_.erase(v)) grabs.insert(v);
    ungrab(grabs);
    for (const auto& c : it->second.combinations) byCombination_.erase(c);
    registrations_.erase(it);
}

void X11HotKeys::installPressHandler(PressHandler handler) {
    handler_ = std::move(handler);
}

void X11HotKeys::installChangeHandler(ChangeHandler handler) {
    changeHandler_ = std::move(handler);
}

bool X11HotKeys::isActive(Reference reference) const {
    const auto it = registrations_.find(reference);
    return it != registrations_.end() && !it->second.combinations.empty();
}

void X11HotKeys::environmentChanged() {
    // The handler may register and unregister: call a copy.
    if (auto handler = changeHandler_) handler(Change::environment);
}

std::set<X11HotKeys::Combination> X11HotKeys::grab(const std::set<Combination>& grabs) {
    xcb_connection_t* c = connection_.xcb();
    std::vector<std::pair<Combination, xcb_void_cookie_t>> attempts;
    for (const auto& g : grabs)
        attempts.emplace_back(g, xcb_grab_key_checked(c, 0, connection_.root(), g.modifiers, g.keycode,
                                                      XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    std::set<Combination> refused;
    for (const auto& [g, cookie] : attempts) {
        XPtr<xcb_generic_error_t> error(xcb_request_check(c, awaiting(c, cookie)));
        if (error || !connection_.isAlive()) refused.insert(g);
    }
    return refused;
}

// Returns once the server has released the grabs, so that a combination
// given up is free for other clients when the call returns.
void X11HotKeys::ungrab(const std::set<Combination>& grabs) {
    if (grabs.empty()) return;
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
        default:
            break;
    }
    return keyboard_.handleEvent(event);
}

void X11HotKeys::setPressHooks(std::function<void()> begin, std::function<void()> end) {
    beginPress_ = std::move(begin);
    endPress_ = std::move(end);
}

bool X11HotKeys::followKeyboard() {
    if (!keyboard_.refresh()) return false;
    // Most announcements change nothing of ours (a switch of input device,
    // a remapped key no shortcut uses): the grabs stay exactly as they are.
    if (keyboard_.generation() == keyboardGeneration_) return true;
    keyboardGeneration_ = keyboard_.generation();
    followKeymap();
    if (auto handler = changeHandler_) handler(Change::keyboard);
    return true;
}

void X11HotKeys::keyPressed(const xcb_key_press_event_t& event) {
    // The server repeats a held key as a release and a press at one instant,
    // with nothing between them. Presses typed by a program can share a
    // millisecond too, but always with another key event between.
    const bool repeated =
        lastKeyEvent_.release && lastKeyEvent_.keycode == event.detail && lastKeyEvent_.time == event.time;
    lastKeyEvent_ = {event.detail, event.time, false};
    if (repeated) return;
    const Combination pressed{event.detail, KeyMapping::withoutLocks(event.state, keyboard_.layout())};
    auto found = byCombination_.find(pressed);
    if (found == byCombination_.end() || !handler_) return;
    const HotKeyID identity = registrations_.at(found->second).identity;
    PressTrace::pressReceived(identity.id);
    // The handler may unregister hot keys (and so change our maps): call copies.
    auto handler = handler_;
    auto end = endPress_;
    struct EndPress {
        std::function<void()>& end;
        ~EndPress() {
            if (end) end();
        }
    } endPress{end};
    if (auto begin = beginPress_) begin();
    handler(identity);
}

void X11HotKeys::keyReleased(const xcb_key_release_event_t& event) {
    lastKeyEvent_ = {event.detail, event.time, true};
}

}  // namespace corvane::x11
