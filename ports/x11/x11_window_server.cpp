#include "ports/x11/x11_window_server.hpp"

#include <algorithm>

#include "ports/x11/press_trace.hpp"
#include "ports/x11/property_wait.hpp"
#include "ports/x11/x11_element.hpp"

namespace corvane::x11 {

namespace {

constexpr std::int32_t kConnection = 1;
constexpr std::int32_t kIllegalSpace = -50;
constexpr std::uint32_t kAllDesktops = 0xFFFFFFFF;

// A space identifier as a desktop index, when it can name one.
std::optional<std::uint32_t> desktopIndex(std::uint64_t space) {
    if (space == 0 || space > kAllDesktops) return std::nullopt;
    return static_cast<std::uint32_t>(space - 1);
}

PlistValue spaceEntry(std::uint32_t index) {
    return PlistValue::Dictionary{{"ManagedSpaceID", PlistValue::integer(std::int64_t(index) + 1)},
                                  {"type", PlistValue::integer(0)}};
}

}  // namespace

X11WindowServer::X11WindowServer(Connection& connection, ServerState& state)
    : connection_(connection), state_(state) {}

bool X11WindowServer::supported() {
    connection_.settle();
    return state_.desktopsSupported();
}

template <class Read, class Reached>
std::invoke_result_t<Read> X11WindowServer::awaitedRead(xcb_window_t window, xcb_atom_t atom,
                                                        Awaited& awaited, const char* what, const Read& read,
                                                        const Reached& reached) {
    if (!awaited.listening) {
        // Asked for on the main thread: heard from here on, and a change made
        // before shows in this read.
        PropertyWait::listen(connection_, window, true);
        awaited.listening = true;
        auto now = read();
        if (reached(now)) {
            PressTrace::replyReceived(what);
            awaited.over = true;
            PropertyWait::listen(connection_, window, false);
            return now;
        }
    }
    const bool heard = PropertyWait::waitFor(connection_, window, atom, noticeWait);
    auto now = read();
    // A window manager that did not answer in time is left to the caller's
    // polls: nothing stays selected that nobody reads.
    if (!heard || reached(now)) {
        if (heard) PressTrace::replyReceived(what);
        awaited.over = true;
        PropertyWait::listen(connection_, window, false);
    }
    return now;
}

std::optional<ServerState::Desktops> X11WindowServer::desktops() {
    std::unique_lock lock(mutex_);
    auto awaited = switchAwaited_;
    lock.unlock();
    if (!awaited || connection_.onMainThread()) return state_.desktops();
    auto now = awaitedRead(
        connection_.root(), connection_.ewmh()->_NET_CURRENT_DESKTOP, *awaited, "_NET_CURRENT_DESKTOP",
        [&] { return ServerState::readDesktops(connection_); },
        [&](const std::optional<ServerState::Desktops>& d) { return !d || d->current == awaited->value; });
    lock.lock();
    if (awaited->over)
        switchAwaited_.reset();
    else
        switchAwaited_ = awaited;
    return now;
}

std::optional<std::uint32_t> X11WindowServer::windowDesktop(xcb_window_t window) {
    std::unique_lock lock(mutex_);
    const auto found = movesAwaited_.find(window);
    std::optional<Awaited> awaited =
        found != movesAwaited_.end() ? std::optional(found->second) : std::nullopt;
    lock.unlock();
    auto read = [&]() -> std::optional<std::uint32_t> {
        xcb_ewmh_connection_t* ewmh = connection_.ewmh();
        std::uint32_t desktop = 0;
        if (xcb_ewmh_get_wm_desktop_reply(ewmh,
                                          awaiting(connection_.xcb(), xcb_ewmh_get_wm_desktop(ewmh, window)),
                                          &desktop, nullptr) == 0)
            return std::nullopt;
        return desktop;
    };
    if (!awaited || connection_.onMainThread()) {
        if (const auto facts = state_.pressFacts(window); facts && facts->desktopCurrent)
            return facts->desktop;
        return read();
    }
    auto now = awaitedRead(window, connection_.ewmh()->_NET_WM_DESKTOP, *awaited, "_NET_WM_DESKTOP", read,
                           [&](const std::optional<std::uint32_t>& d) { return !d || *d == awaited->value; });
    lock.lock();
    if (awaited->over)
        movesAwaited_.erase(window);
    else
        movesAwaited_[window] = *awaited;
    return now;
}

WindowServer::Availability X11WindowServer::availability() {
    const bool ok = supported();
    return Availability{ok, ok, ok, ok};
}

std::optional<std::int32_t> X11WindowServer::mainConnection() {
    if (!supported()) return std::nullopt;
    return kConnection;
}

PlistValue X11WindowServer::displaySpaces(const std::vector<std::string>& monitorNames,
                                          std::uint32_t desktops, std::uint32_t current) {
    PlistValue::Array spaces;
    for (std::uint32_t i = 0; i < desktops; ++i) spaces.push_back(spaceEntry(i));
    PlistValue::Array displays;
    for (const auto& name : monitorNames) {
        displays.push_back(PlistValue::Dictionary{
            {"Display Identifier", name},
            {"Current Space",
             PlistValue::Dictionary{{"ManagedSpaceID", PlistValue::integer(std::int64_t(current) + 1)}}},
            {"Spaces", spaces}});
    }
    return displays;
}

std::optional<PlistValue> X11WindowServer::copyManagedDisplaySpaces(std::int32_t) {
    connection_.settle();
    const auto layout = state_.layout();
    const auto now = desktops();
    if (!now) return std::nullopt;
    std::vector<std::string> names;
    for (std::size_t i = 0; i < layout.monitors.size(); ++i)
        names.push_back(layout.names[i].value_or("monitor-" + std::to_string(i + 1)));
    return displaySpaces(names, now->count, now->current);
}

std::optional<PlistValue> X11WindowServer::copySpacesForWindows(std::int32_t, std::int32_t,
                                                                const std::vector<std::uint32_t>& windows) {
    connection_.settle();
    PlistValue::Array spaces;
    auto add = [&](std::uint32_t index) {
        const PlistValue id = PlistValue::integer(std::int64_t(index) + 1);
        if (std::find(spaces.begin(), spaces.end(), id) == spaces.end()) spaces.push_back(id);
    };
    for (std::uint32_t w : windows) {
        const auto desktop = windowDesktop(w);
        if (!desktop) continue;
        if (*desktop == kAllDesktops) {
            const auto all = state_.desktops();
            for (std::uint32_t i = 0; all && i < all->count; ++i) add(i);
        } else {
            add(*desktop);
        }
    }
    if (!connection_.isAlive()) return std::nullopt;
    return PlistValue(std::move(spaces));
}

std::optional<std::int32_t> X11WindowServer::setCurrentSpace(std::int32_t, const std::string&,
                                                             std::uint64_t space) {
    connection_.settle();
    const auto index = desktopIndex(space);
    if (!index || *index == kAllDesktops) return kIllegalSpace;
    const auto shown = state_.desktops();
    if (!(shown && shown->current == *index)) {
        // On the desktop queue heard from before the request on, so the
        // notice cannot be missed; from the main thread, the queue starts
        // listening when it first reads.
        const bool listening = !connection_.onMainThread();
        if (listening) PropertyWait::listen(connection_, connection_.root(), true);
        std::lock_guard lock(mutex_);
        switchAwaited_ = Awaited{*index, listening};
    }
    xcb_ewmh_request_change_current_desktop(connection_.ewmh(), connection_.screenNumber(), *index,
                                            XCB_CURRENT_TIME);
    connection_.flush();
    PressTrace::requestSent("_NET_CURRENT_DESKTOP");
    return connection_.isAlive() ? 0 : kIllegalSpace;
}

std::optional<WindowServer::WindowNumber> X11WindowServer::windowNumber(const Element& window) {
    const auto* e = window.as<X11Element>();
    if (!e || e->kind != X11Element::Kind::window) return WindowNumber{static_cast<std::int32_t>(-25202), 0};
    return WindowNumber{0, e->window};
}

bool X11WindowServer::performBridgedMove(const std::vector<std::uint32_t>& windows, std::uint64_t space) {
    connection_.settle();
    const auto index = desktopIndex(space);
    if (!index || *index == kAllDesktops || windows.empty()) return false;
    const bool listening = !connection_.onMainThread();
    for (std::uint32_t w : windows) {
        if (listening) PropertyWait::listen(connection_, w, true);
        {
            std::lock_guard lock(mutex_);
            movesAwaited_[w] = Awaited{*index, listening};
        }
        state_.desktopRequested(w);
        xcb_ewmh_request_change_wm_desktop(connection_.ewmh(), connection_.screenNumber(), w, *index,
                                           XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER);
    }
    connection_.flush();
    PressTrace::requestSent("_NET_WM_DESKTOP");
    return connection_.isAlive();
}

WindowServer::Names X11WindowServer::names() {
    // There is no access to grant on X11: only the window manager can lack desktops.
    return Names{"The window manager", "this window manager", "your desktop's workspace settings",
                 "Desktop moves are unavailable: the window manager offers no EWMH desktops"};
}

}  // namespace corvane::x11
