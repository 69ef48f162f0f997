#include "ports/x11/server_state.hpp"

#include <algorithm>
#include <utility>

#include <xcb/randr.h>

namespace corvane::x11 {

namespace {

using Clock = std::chrono::steady_clock;
using namespace ServerReads;

}  // namespace

ServerState::ServerState(Connection& connection, WindowEvents& events, bool randr15)
    : connection_(connection), events_(events), randr15_(randr15), activeWatch_(connection, events) {
    xcb_connection_t* c = connection_.xcb();
    if (randr15_) {
        if (const auto* extension = xcb_get_extension_data(c, &xcb_randr_id);
            extension && extension->present) {
            randrEvent_ = extension->first_event;
            xcb_randr_select_input(c, connection_.root(),
                                   XCB_RANDR_NOTIFY_MASK_SCREEN_CHANGE | XCB_RANDR_NOTIFY_MASK_OUTPUT_CHANGE |
                                       XCB_RANDR_NOTIFY_MASK_CRTC_CHANGE);
        }
    }
    // The root's own size changes come as its ConfigureNotify; its property
    // changes (the active window, the desktops, the work area) as
    // PropertyNotify. Neither comes for other clients' windows.
    auto attributes =
        reply(c, xcb_get_window_attributes(c, connection_.root()), xcb_get_window_attributes_reply);
    const std::uint32_t mask =
        (attributes ? attributes->your_event_mask : 0u) |
        std::uint32_t{XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY};
    xcb_change_window_attributes(c, connection_.root(), XCB_CW_EVENT_MASK, &mask);
    connection_.flush();
}

void ServerState::askActive() {
    xcb_connection_t* c = connection_.xcb();
    if (activeAsked_) xcb_discard_reply(c, activeAsked_->sequence);
    activeAsked_ = xcb_ewmh_get_active_window(connection_.ewmh(), connection_.screenNumber());
    xcb_flush(c);
}

void ServerState::askDesktops() {
    xcb_connection_t* c = connection_.xcb();
    if (desktopsAsked_) {
        xcb_discard_reply(c, desktopsAsked_->count.sequence);
        xcb_discard_reply(c, desktopsAsked_->current.sequence);
    }
    desktopsAsked_ = requestDesktops(connection_);
    xcb_flush(c);
}

void ServerState::learnActive(std::optional<xcb_window_t> active) {
    {
        std::lock_guard lock(mutex_);
        active_ = active;
    }
    activeWatch_.follow(active);
}

bool ServerState::takeActive() {
    if (!activeAsked_) return false;
    const auto reply = arrivedReply<xcb_get_property_reply_t>(connection_.xcb(), activeAsked_->sequence);
    if (!reply) return true;
    activeAsked_.reset();
    learnActive(activeFrom(reply->get()));
    return true;
}

bool ServerState::takeReplies() {
    const bool lookedForActive = takeActive();
    const bool lookedForFacts = activeWatch_.takeArrived();
    activeWatch_.askIfStale();
    return lookedForActive || lookedForFacts;
}

void ServerState::forgetAll() {
    if (activeAsked_) xcb_discard_reply(connection_.xcb(), activeAsked_->sequence);
    if (desktopsAsked_) {
        xcb_discard_reply(connection_.xcb(), desktopsAsked_->count.sequence);
        xcb_discard_reply(connection_.xcb(), desktopsAsked_->current.sequence);
    }
    activeAsked_.reset();
    desktopsAsked_.reset();
    active_.reset();
    layout_.reset();
    struts_.reset();
    supported_.reset();
    desktops_.reset();
}

void ServerState::handleEvent(const xcb_generic_event_t& event) {
    const std::uint8_t type = event.response_type & 0x7f;
    activeWatch_.handleEvent(event);
    if (type == XCB_DESTROY_NOTIFY) {
        events_.forget(reinterpret_cast<const xcb_destroy_notify_event_t&>(event).window);
        return;
    }
    std::lock_guard lock(mutex_);
    if (randrEvent_ != 0 &&
        (type == randrEvent_ + XCB_RANDR_SCREEN_CHANGE_NOTIFY || type == randrEvent_ + XCB_RANDR_NOTIFY)) {
        layout_.reset();
        struts_.reset();
        return;
    }
    if (type == XCB_CONFIGURE_NOTIFY) {
        const auto& configure = reinterpret_cast<const xcb_configure_notify_event_t&>(event);
        if (configure.window != connection_.root()) return;
        layout_.reset();
        struts_.reset();
        return;
    }
    if (type != XCB_PROPERTY_NOTIFY) return;
    const auto& notify = reinterpret_cast<const xcb_property_notify_event_t&>(event);
    const xcb_ewmh_connection_t* ewmh = connection_.ewmh();
    const xcb_atom_t atom = notify.atom;
    if (atom == ewmh->_NET_WM_STRUT || atom == ewmh->_NET_WM_STRUT_PARTIAL) {
        struts_.reset();
        return;
    }
    if (notify.window != connection_.root()) return;
    if (atom == ewmh->_NET_ACTIVE_WINDOW) {
        active_.reset();
        askActive();
    } else if (atom == ewmh->_NET_NUMBER_OF_DESKTOPS || atom == ewmh->_NET_CURRENT_DESKTOP) {
        desktops_.reset();
        askDesktops();
    } else if (atom == ewmh->_NET_CLIENT_LIST || atom == ewmh->_NET_WORKAREA) {
        // A dock coming or going changes the client list (the stacking list
        // changes with every raise, which says nothing about struts); a
        // window manager recomputes the work area when any strut changes.
        struts_.reset();
    } else if (atom == ewmh->_NET_SUPPORTED || atom == ewmh->_NET_SUPPORTING_WM_CHECK) {
        // Another window manager: nothing it did not say itself holds.
        forgetAll();
        askActive();
    }
}

void ServerState::beginPress() {
    // What came before the press and is already here serves it; nothing is
    // asked now that the press does not ask itself.
    takeActive();
    activeWatch_.takeArrived();
    std::unique_lock lock(mutex_);
    inPress_ = true;
    activatedInPress_.reset();
    pressFacts_.clear();
    pressedAt_ = Clock::now();
    const bool needActive = !active_, needLayout = !layout_, needStruts = !struts_;
    const bool needSupported = !supported_, needDesktops = !desktops_;
    const std::optional<xcb_window_t> knownActive = active_ ? *active_ : std::nullopt;
    lock.unlock();

    xcb_ewmh_connection_t* ewmh = connection_.ewmh();
    // First round: everything that depends on nothing else, including the
    // active window's facts when the active window is known.
    // What an event made us ask for already is taken, not asked again.
    xcb_get_property_cookie_t activeCookie{};
    if (needActive)
        activeCookie = activeAsked_ ? *std::exchange(activeAsked_, std::nullopt)
                                    : xcb_ewmh_get_active_window(ewmh, connection_.screenNumber());
    LayoutRequest layoutRequest{};
    if (needLayout) layoutRequest = requestLayout(connection_, randr15_);
    ClientListRequest listRequest{};
    if (needStruts) listRequest = requestClientList(connection_);
    xcb_get_property_cookie_t supportedCookie{};
    if (needSupported) supportedCookie = xcb_ewmh_get_supported(ewmh, connection_.screenNumber());
    DesktopsRequest desktopsRequest{};
    if (needDesktops)
        desktopsRequest =
            desktopsAsked_ ? *std::exchange(desktopsAsked_, std::nullopt) : requestDesktops(connection_);
    std::optional<WindowFacts> facts = knownActive ? activeWatch_.facts(*knownActive) : std::nullopt;
    std::optional<WindowRequest> windowRequest;
    if (knownActive && !facts) windowRequest = requestWindow(connection_, *knownActive);

    const std::optional<xcb_window_t> active =
        needActive ? activeReply(connection_, activeCookie) : knownActive;
    std::optional<Layout> layout;
    if (needLayout) layout = layoutReply(connection_, layoutRequest);
    std::vector<xcb_window_t> clients;
    if (needStruts) clients = clientListReply(connection_, listRequest);
    std::optional<bool> supported;
    if (needSupported) supported = supportedReply(connection_, supportedCookie);
    std::optional<std::optional<Desktops>> desktops;
    if (needDesktops) desktops = desktopsReply(connection_, desktopsRequest);
    if (windowRequest) facts = windowReply(connection_, *windowRequest);

    // Second round: what the first one named.
    if (!facts && !windowRequest && active) windowRequest = requestWindow(connection_, *active);
    std::vector<xcb_get_atom_name_cookie_t> nameCookies;
    if (layout) nameCookies = requestNames(connection_, layout->monitors);
    StrutsRequest strutsRequest;
    if (needStruts) strutsRequest = requestStruts(connection_, clients);

    if (!facts && windowRequest) facts = windowReply(connection_, *windowRequest);
    if (layout) layout->names = namesReply(connection_, nameCookies);
    std::optional<std::vector<Strut>> struts;
    if (needStruts) {
        auto [list, holders] = strutsReply(connection_, strutsRequest);
        struts = std::move(list);
        watchStrutHolders(holders);
    }

    // Events that arrived meanwhile are dispatched after this press and
    // forget what they change then.
    if (needActive) activeWatch_.follow(active);
    lock.lock();
    if (needActive) active_ = active;
    if (layout) layout_ = std::move(layout);
    if (struts) struts_ = std::move(struts);
    if (supported) supported_ = supported;
    if (desktops) desktops_ = desktops;
    if (active && facts) pressFacts_.emplace(*active, std::move(*facts));
}

void ServerState::endPress() {
    // A window given up on for its noise is followed again after the press:
    // its facts then serve the next one.
    activeWatch_.renew();
    std::lock_guard lock(mutex_);
    inPress_ = false;
}

void ServerState::watchStrutHolders(const std::vector<xcb_window_t>& holders) {
    const std::set<xcb_window_t> now(holders.begin(), holders.end());
    for (xcb_window_t w : now) {
        if (!strutHolders_.count(w)) events_.listen(w, XCB_EVENT_MASK_PROPERTY_CHANGE);
    }
    for (xcb_window_t w : strutHolders_) {
        if (!now.count(w)) events_.stopListening(w, XCB_EVENT_MASK_PROPERTY_CHANGE);
    }
    strutHolders_ = now;
}

bool ServerState::keptServes() const {
    // Outside a press the main thread may be a caller that does not dispatch
    // the port's events (a test, a tool): only the press knows that every
    // event before it has been dispatched.
    return !connection_.onMainThread() || inPress_;
}

std::optional<xcb_window_t> ServerState::activeWindow() {
    {
        std::lock_guard lock(mutex_);
        if (active_ && keptServes()) return *active_;
    }
    const bool main = connection_.onMainThread();
    const auto cookie = main && activeAsked_
                            ? *std::exchange(activeAsked_, std::nullopt)
                            : xcb_ewmh_get_active_window(connection_.ewmh(), connection_.screenNumber());
    const auto active = activeReply(connection_, cookie);
    if (main) learnActive(active);
    return active;
}

ServerState::Layout ServerState::layout() {
    {
        std::lock_guard lock(mutex_);
        if (layout_ && keptServes()) return *layout_;
    }
    Layout layout = layoutReply(connection_, requestLayout(connection_, randr15_));
    layout.names = namesReply(connection_, requestNames(connection_, layout.monitors));
    if (connection_.onMainThread()) {
        std::lock_guard lock(mutex_);
        layout_ = layout;
    }
    return layout;
}

std::vector<Strut> ServerState::struts() {
    {
        std::lock_guard lock(mutex_);
        if (struts_ && keptServes()) return *struts_;
    }
    const auto clients = clientListReply(connection_, requestClientList(connection_));
    auto [struts, holders] = strutsReply(connection_, requestStruts(connection_, clients));
    if (connection_.onMainThread()) {
        watchStrutHolders(holders);
        std::lock_guard lock(mutex_);
        struts_ = struts;
    }
    return struts;
}

bool ServerState::desktopsSupported() {
    {
        std::lock_guard lock(mutex_);
        if (supported_ && keptServes()) return *supported_;
    }
    const bool supported =
        supportedReply(connection_, xcb_ewmh_get_supported(connection_.ewmh(), connection_.screenNumber()));
    if (connection_.onMainThread()) {
        std::lock_guard lock(mutex_);
        supported_ = supported;
    }
    return supported;
}

std::optional<ServerState::Desktops> ServerState::desktops() {
    {
        std::lock_guard lock(mutex_);
        if (desktops_ && keptServes()) return *desktops_;
    }
    const bool main = connection_.onMainThread();
    const auto desktops = main && desktopsAsked_
                              ? desktopsReply(connection_, *std::exchange(desktopsAsked_, std::nullopt))
                              : readDesktops(connection_);
    if (main) {
        std::lock_guard lock(mutex_);
        desktops_ = desktops;
    }
    return desktops;
}

std::optional<ServerState::Desktops> ServerState::readDesktops(Connection& connection) {
    return desktopsReply(connection, requestDesktops(connection));
}

std::optional<ServerState::WindowFacts> ServerState::pressFacts(xcb_window_t window) {
    std::lock_guard lock(mutex_);
    const auto it = pressFacts_.find(window);
    if (it == pressFacts_.end()) return std::nullopt;
    const bool serves =
        connection_.onMainThread() ? inPress_ : Clock::now() - pressedAt_ < pressFactsLifetime;
    if (!serves) return std::nullopt;
    return it->second;
}

bool ServerState::activationNeeded(xcb_window_t window) {
    if (!connection_.onMainThread()) return true;
    std::lock_guard lock(mutex_);
    if (!inPress_) return true;
    if (activatedInPress_ == window) return false;
    activatedInPress_ = window;
    return true;
}

bool ServerState::requestActivation(xcb_window_t window) {
    if (activationNeeded(window)) {
        xcb_ewmh_request_change_active_window(connection_.ewmh(), connection_.screenNumber(), window,
                                              XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER, XCB_CURRENT_TIME,
                                              XCB_WINDOW_NONE);
        connection_.flush();
    }
    return connection_.isAlive();
}

void ServerState::frameRequested(xcb_window_t window) {
    std::lock_guard lock(mutex_);
    if (const auto it = pressFacts_.find(window); it != pressFacts_.end()) it->second.frameCurrent = false;
}

void ServerState::desktopRequested(xcb_window_t window) {
    std::lock_guard lock(mutex_);
    if (const auto it = pressFacts_.find(window); it != pressFacts_.end()) it->second.desktopCurrent = false;
}

}  // namespace corvane::x11
