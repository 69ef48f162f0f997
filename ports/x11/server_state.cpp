#include "ports/x11/server_state.hpp"

#include <algorithm>
#include <utility>

#include <xcb/randr.h>
#include <xcb/xcb_icccm.h>
#include <xcb/xcbext.h>

namespace corvane::x11 {

namespace {

using Clock = std::chrono::steady_clock;
using DesktopsRequest = ServerState::DesktopsRequest;

// Each read below comes in two halves, the requests and the replies, so that
// a press can send everything it needs before it waits for anything.

struct LayoutRequest {
    MonitorsRequest monitors;
    xcb_get_geometry_cookie_t root{};
};

LayoutRequest requestLayout(Connection& connection, bool randr15) {
    return {requestMonitors(connection, randr15), xcb_get_geometry(connection.xcb(), connection.root())};
}

ServerState::Layout layoutReply(Connection& connection, const LayoutRequest& request) {
    ServerState::Layout layout;
    layout.monitors = monitorsReply(connection, request.monitors);
    // The setup's screen size is the one at connection time; RandR may have
    // resized the root since.
    if (auto geometry = reply(connection.xcb(), request.root, xcb_get_geometry_reply)) {
        layout.root = Rect{0, 0, double(geometry->width), double(geometry->height)};
    } else {
        const xcb_screen_t* screen = connection.screen();
        layout.root = Rect{0, 0, double(screen->width_in_pixels), double(screen->height_in_pixels)};
    }
    return layout;
}

std::vector<xcb_get_atom_name_cookie_t> requestNames(Connection& connection,
                                                     const std::vector<Monitor>& monitors) {
    std::vector<xcb_get_atom_name_cookie_t> cookies;
    for (const auto& m : monitors)
        cookies.push_back(m.name != XCB_ATOM_NONE ? xcb_get_atom_name(connection.xcb(), m.name)
                                                  : xcb_get_atom_name_cookie_t{0});
    return cookies;
}

std::vector<std::optional<std::string>> namesReply(Connection& connection,
                                                   const std::vector<xcb_get_atom_name_cookie_t>& cookies) {
    std::vector<std::optional<std::string>> names;
    for (const auto& cookie : cookies) {
        if (cookie.sequence == 0) {
            names.emplace_back();
            continue;
        }
        auto r = reply(connection.xcb(), cookie, xcb_get_atom_name_reply);
        if (r)
            names.emplace_back(std::string(xcb_get_atom_name_name(r.get()),
                                           static_cast<std::size_t>(xcb_get_atom_name_name_length(r.get()))));
        else
            names.emplace_back();
    }
    return names;
}

struct ClientListRequest {
    xcb_get_property_cookie_t list{}, stacking{};
};

ClientListRequest requestClientList(Connection& connection) {
    xcb_ewmh_connection_t* ewmh = connection.ewmh();
    return {xcb_ewmh_get_client_list(ewmh, connection.screenNumber()),
            xcb_ewmh_get_client_list_stacking(ewmh, connection.screenNumber())};
}

std::vector<xcb_window_t> clientListReply(Connection& connection, const ClientListRequest& request) {
    xcb_ewmh_connection_t* ewmh = connection.ewmh();
    xcb_connection_t* c = connection.xcb();
    std::vector<xcb_window_t> windows;
    // Both replies are taken, so none is left waiting; either list names
    // every managed window.
    xcb_ewmh_get_windows_reply_t list;
    const bool hasList = xcb_ewmh_get_client_list_reply(ewmh, awaiting(c, request.list), &list, nullptr) != 0;
    xcb_ewmh_get_windows_reply_t stacking;
    const bool hasStacking =
        xcb_ewmh_get_client_list_stacking_reply(ewmh, awaiting(c, request.stacking), &stacking, nullptr) != 0;
    if (hasStacking) windows.assign(stacking.windows, stacking.windows + stacking.windows_len);
    if (hasList && !hasStacking) windows.assign(list.windows, list.windows + list.windows_len);
    if (hasList) xcb_ewmh_get_windows_reply_wipe(&list);
    if (hasStacking) xcb_ewmh_get_windows_reply_wipe(&stacking);
    return windows;
}

struct StrutsRequest {
    std::vector<xcb_window_t> windows;
    std::vector<xcb_get_property_cookie_t> partial, plain;
};

StrutsRequest requestStruts(Connection& connection, std::vector<xcb_window_t> windows) {
    xcb_ewmh_connection_t* ewmh = connection.ewmh();
    StrutsRequest request;
    for (xcb_window_t w : windows) {
        request.partial.push_back(xcb_ewmh_get_wm_strut_partial(ewmh, w));
        request.plain.push_back(xcb_ewmh_get_wm_strut(ewmh, w));
    }
    request.windows = std::move(windows);
    return request;
}

// The struts, and the windows that hold them.
std::pair<std::vector<Strut>, std::vector<xcb_window_t>> strutsReply(Connection& connection,
                                                                     const StrutsRequest& request) {
    xcb_ewmh_connection_t* ewmh = connection.ewmh();
    xcb_connection_t* c = connection.xcb();
    std::vector<Strut> struts;
    std::vector<xcb_window_t> holders;
    for (std::size_t i = 0; i < request.windows.size(); ++i) {
        xcb_ewmh_wm_strut_partial_t partial{};
        xcb_ewmh_get_extents_reply_t plain{};
        const bool hasPartial = xcb_ewmh_get_wm_strut_partial_reply(ewmh, awaiting(c, request.partial[i]),
                                                                    &partial, nullptr) != 0;
        const bool hasPlain =
            xcb_ewmh_get_wm_strut_reply(ewmh, awaiting(c, request.plain[i]), &plain, nullptr) != 0;
        if (hasPartial) {
            struts.push_back({partial.left, partial.right, partial.top, partial.bottom, partial.left_start_y,
                              partial.left_end_y, partial.right_start_y, partial.right_end_y,
                              partial.top_start_x, partial.top_end_x, partial.bottom_start_x,
                              partial.bottom_end_x});
        } else if (hasPlain) {
            struts.push_back(Struts::fromPlain(plain.left, plain.right, plain.top, plain.bottom));
        }
        if (hasPartial || hasPlain) holders.push_back(request.windows[i]);
    }
    return {std::move(struts), std::move(holders)};
}

DesktopsRequest requestDesktops(Connection& connection) {
    xcb_ewmh_connection_t* ewmh = connection.ewmh();
    return {xcb_ewmh_get_number_of_desktops(ewmh, connection.screenNumber()),
            xcb_ewmh_get_current_desktop(ewmh, connection.screenNumber())};
}

// The reply to a property request: taken without waiting when it has come
// already (a request sent as an event announced the change), else waited for.
XPtr<xcb_get_property_reply_t> propertyReply(Connection& connection, xcb_get_property_cookie_t cookie) {
    void* answer = nullptr;
    xcb_generic_error_t* error = nullptr;
    if (xcb_poll_for_reply(connection.xcb(), cookie.sequence, &answer, &error) != 0) {
        std::free(error);
        return XPtr<xcb_get_property_reply_t>(static_cast<xcb_get_property_reply_t*>(answer));
    }
    return reply(connection.xcb(), cookie, xcb_get_property_reply);
}

std::optional<ServerState::Desktops> desktopsReply(Connection& connection, const DesktopsRequest& request) {
    ServerState::Desktops desktops;
    auto count = propertyReply(connection, request.count);
    auto current = propertyReply(connection, request.current);
    if (!count || !xcb_ewmh_get_cardinal_from_reply(&desktops.count, count.get())) return std::nullopt;
    if (!current || !xcb_ewmh_get_cardinal_from_reply(&desktops.current, current.get())) return std::nullopt;
    return desktops;
}

bool supportedReply(Connection& connection, xcb_get_property_cookie_t cookie) {
    xcb_ewmh_connection_t* ewmh = connection.ewmh();
    xcb_ewmh_get_atoms_reply_t atoms;
    if (!xcb_ewmh_get_supported_reply(ewmh, awaiting(connection.xcb(), cookie), &atoms, nullptr))
        return false;
    auto has = [&](xcb_atom_t a) {
        return std::find(atoms.atoms, atoms.atoms + atoms.atoms_len, a) != atoms.atoms + atoms.atoms_len;
    };
    const bool all =
        has(ewmh->_NET_NUMBER_OF_DESKTOPS) && has(ewmh->_NET_CURRENT_DESKTOP) && has(ewmh->_NET_WM_DESKTOP);
    xcb_ewmh_get_atoms_reply_wipe(&atoms);
    return all;
}

std::optional<xcb_window_t> activeReply(Connection& connection, xcb_get_property_cookie_t cookie) {
    xcb_window_t window = XCB_WINDOW_NONE;
    auto r = propertyReply(connection, cookie);
    if (!r || !xcb_ewmh_get_window_from_reply(&window, r.get()) || window == XCB_WINDOW_NONE)
        return std::nullopt;
    return window;
}

struct WindowRequest {
    ClientWindows::ClientRequest client;
    WindowFrame::ReadRequest frame;
    xcb_get_property_cookie_t hints{}, desktop{};
};

WindowRequest requestWindow(Connection& connection, xcb_window_t window) {
    xcb_connection_t* c = connection.xcb();
    return {ClientWindows::requestClient(connection, window), WindowFrame::requestRead(connection, window),
            xcb_icccm_get_wm_normal_hints(c, window), xcb_ewmh_get_wm_desktop(connection.ewmh(), window)};
}

ServerState::WindowFacts windowReply(Connection& connection, const WindowRequest& request) {
    xcb_connection_t* c = connection.xcb();
    ServerState::WindowFacts facts;
    facts.client = ClientWindows::clientReply(connection, request.client);
    facts.reading = WindowFrame::readReply(connection, request.frame);
    xcb_size_hints_t hints{};
    if (xcb_icccm_get_wm_normal_hints_reply(c, awaiting(c, request.hints), &hints, nullptr) &&
        (hints.flags & XCB_ICCCM_SIZE_HINT_P_RESIZE_INC) && (hints.width_inc > 1 || hints.height_inc > 1))
        facts.increment = Size{static_cast<double>(std::max(1, hints.width_inc)),
                               static_cast<double>(std::max(1, hints.height_inc))};
    std::uint32_t desktop = 0;
    if (xcb_ewmh_get_wm_desktop_reply(connection.ewmh(), awaiting(c, request.desktop), &desktop, nullptr))
        facts.desktop = desktop;
    return facts;
}

}  // namespace

ServerState::ServerState(Connection& connection, bool randr15) : connection_(connection), randr15_(randr15) {
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
    }
}

void ServerState::beginPress() {
    std::unique_lock lock(mutex_);
    inPress_ = true;
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
    std::optional<WindowRequest> windowRequest;
    if (knownActive) windowRequest = requestWindow(connection_, *knownActive);

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
    std::optional<WindowFacts> facts;
    if (windowRequest) facts = windowReply(connection_, *windowRequest);

    // Second round: what the first one named.
    if (!windowRequest && active) windowRequest = requestWindow(connection_, *active);
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
    lock.lock();
    if (needActive) active_ = active;
    if (layout) layout_ = std::move(layout);
    if (struts) struts_ = std::move(struts);
    if (supported) supported_ = supported;
    if (desktops) desktops_ = desktops;
    if (active && facts) pressFacts_.emplace(*active, std::move(*facts));
}

void ServerState::endPress() {
    std::lock_guard lock(mutex_);
    inPress_ = false;
}

void ServerState::watchStrutHolders(const std::vector<xcb_window_t>& holders) {
    // Docks and panels are not windows we place or watch otherwise, so this
    // mask is theirs alone.
    const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    for (xcb_window_t w : holders)
        xcb_change_window_attributes(connection_.xcb(), w, XCB_CW_EVENT_MASK, &mask);
    if (!holders.empty()) connection_.flush();
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
    if (main) {
        std::lock_guard lock(mutex_);
        active_ = active;
    }
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

void ServerState::frameRequested(xcb_window_t window) {
    std::lock_guard lock(mutex_);
    if (const auto it = pressFacts_.find(window); it != pressFacts_.end()) it->second.frameCurrent = false;
}

void ServerState::desktopRequested(xcb_window_t window) {
    std::lock_guard lock(mutex_);
    if (const auto it = pressFacts_.find(window); it != pressFacts_.end()) it->second.desktopCurrent = false;
}

}  // namespace corvane::x11
