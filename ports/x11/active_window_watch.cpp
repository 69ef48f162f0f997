#include "ports/x11/active_window_watch.hpp"

#include <utility>

#include <xcb/xcb_icccm.h>

namespace corvane::x11 {

namespace {

constexpr std::uint32_t watchedEvents = XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;

// The window a structure event is about.
template <class Event>
xcb_window_t windowOf(const xcb_generic_event_t& event) {
    return reinterpret_cast<const Event&>(event).window;
}

}  // namespace

ActiveWindowWatch::ActiveWindowWatch(Connection& connection, WindowEvents& events)
    : connection_(connection), events_(events) {}

ActiveWindowWatch::~ActiveWindowWatch() {
    follow(std::nullopt);
}

void ActiveWindowWatch::follow(std::optional<xcb_window_t> active) {
    if (active == window_) return;
    if (window_ && listening_) events_.stopListening(*window_, watchedEvents);
    listening_ = false;
    if (read_) read_->overtaken = true;
    facts_.reset();
    window_ = active;
    renew();
}

void ActiveWindowWatch::renew() {
    if (!window_ || listening_) return;
    // Listened to before it is read: a change after the read is heard.
    events_.listen(*window_, watchedEvents);
    listening_ = true;
    eventsCounted_ = 0;
    countingSince_ = std::chrono::steady_clock::now();
    if (!read_) ask();
}

bool ActiveWindowWatch::bearable() {
    const auto now = std::chrono::steady_clock::now();
    if (now - countingSince_ >= std::chrono::seconds(1)) {
        countingSince_ = now;
        eventsCounted_ = 0;
    }
    if (++eventsCounted_ <= eventsPerSecond) return true;
    events_.stopListening(*window_, watchedEvents);
    listening_ = false;
    facts_.reset();
    if (read_) read_->overtaken = true;
    return false;
}

void ActiveWindowWatch::ask() {
    xcb_connection_t* c = connection_.xcb();
    read_ = Read{ServerReads::requestWindow(connection_, *window_), xcb_get_input_focus(c), false};
    connection_.flush();
}

bool ActiveWindowWatch::changesFacts(xcb_atom_t atom) const {
    const xcb_ewmh_connection_t* ewmh = connection_.ewmh();
    return atom == ewmh->_NET_WM_DESKTOP || atom == ewmh->_NET_FRAME_EXTENTS || atom == ewmh->_NET_WM_STATE ||
           atom == ewmh->_NET_WM_WINDOW_TYPE || atom == ewmh->_NET_WM_PID ||
           atom == XCB_ATOM_WM_NORMAL_HINTS || atom == connection_.atoms().gtkFrameExtents;
}

void ActiveWindowWatch::handleEvent(const xcb_generic_event_t& event) {
    if (!window_ || !listening_) return;
    xcb_window_t about = XCB_WINDOW_NONE;
    bool changes = true;
    switch (event.response_type & 0x7f) {
        case XCB_PROPERTY_NOTIFY: {
            const auto& notify = reinterpret_cast<const xcb_property_notify_event_t&>(event);
            about = notify.window;
            // A retitle, say, changes nothing we keep.
            changes = changesFacts(notify.atom);
            break;
        }
        case XCB_CONFIGURE_NOTIFY:
            about = windowOf<xcb_configure_notify_event_t>(event);
            break;
        case XCB_REPARENT_NOTIFY:
            about = windowOf<xcb_reparent_notify_event_t>(event);
            break;
        case XCB_MAP_NOTIFY:
            about = windowOf<xcb_map_notify_event_t>(event);
            break;
        case XCB_UNMAP_NOTIFY:
            about = windowOf<xcb_unmap_notify_event_t>(event);
            break;
        case XCB_DESTROY_NOTIFY:
            if (windowOf<xcb_destroy_notify_event_t>(event) == *window_) {
                // Gone, and its listeners with it; the next active window is announced.
                if (read_) read_->overtaken = true;
                facts_.reset();
                window_.reset();
                listening_ = false;
            }
            return;
        default:
            return;
    }
    if (about != *window_ || !bearable() || !changes) return;
    facts_.reset();
    if (read_) read_->overtaken = true;
}

bool ActiveWindowWatch::takeArrived() {
    if (!read_) return false;
    xcb_connection_t* c = connection_.xcb();
    if (!arrivedReply<xcb_get_input_focus_reply_t>(c, read_->fence.sequence)) return true;
    // Everything asked before the fence has been answered: taking it costs
    // no trip to the server.
    RoundTrips::arrived(c, read_->fence.sequence);
    const Read read = *std::exchange(read_, std::nullopt);
    auto facts = ServerReads::windowReply(connection_, read.request);
    if (read.overtaken || !window_) return true;
    if (!facts.reading) {
        // Gone before it was read, perhaps unheard: a window that comes later
        // under the same number is another one, to be listened to afresh.
        events_.forget(*window_);
        window_.reset();
        listening_ = false;
        return true;
    }
    facts_ = std::move(facts);
    return true;
}

void ActiveWindowWatch::askIfStale() {
    if (window_ && listening_ && !facts_ && !read_ && connection_.isAlive()) ask();
}

std::optional<ServerReads::WindowFacts> ActiveWindowWatch::facts(xcb_window_t window) const {
    if (window_ != window) return std::nullopt;
    return facts_;
}

}  // namespace corvane::x11
