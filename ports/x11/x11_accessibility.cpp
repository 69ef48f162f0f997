#include "ports/x11/x11_accessibility.hpp"

#include <algorithm>
#include <utility>
#include <vector>

#include <xcb/xcb_icccm.h>

#include "ports/x11/client_windows.hpp"
#include "ports/x11/monitors.hpp"
#include "ports/x11/x11_element.hpp"

namespace corvane::x11 {

namespace {

// The primary monitor's top-left corner in root coordinates; the origin of
// the positions this service reads and writes.
Point primaryOrigin(const std::vector<Monitor>& monitors) {
    return Point{static_cast<double>(monitors.front().x), static_cast<double>(monitors.front().y)};
}

bool sameDecorations(const FrameReading& a, const FrameReading& b) {
    return a.left == b.left && a.right == b.right && a.top == b.top && a.bottom == b.bottom &&
           a.shadowLeft == b.shadowLeft && a.shadowTop == b.shadowTop;
}

}  // namespace

// Ends one destruction watch; the window's events are deselected with the last.
class X11Accessibility::Watch final : public Observation {
public:
    Watch(X11Accessibility& owner, std::uint64_t id) : owner_(owner), id_(id) {}
    ~Watch() override { owner_.unwatch(id_); }

private:
    X11Accessibility& owner_;
    std::uint64_t id_;
};

X11Accessibility::X11Accessibility(Connection& connection, ServerState& state, WindowEvents& events)
    : connection_(connection), state_(state), events_(events) {}

X11Accessibility::~X11Accessibility() {
    if (probe_ != XCB_WINDOW_NONE && connection_.isAlive()) {
        xcb_destroy_window(connection_.xcb(), probe_);
        connection_.flush();
    }
}

Element X11Accessibility::applicationElement(const Application& application) {
    return X11Element::application(application.pid, static_cast<xcb_window_t>(application.window));
}

unsigned X11Accessibility::placementRequests() const {
    std::lock_guard lock(mutex_);
    return placementRequests_;
}

std::optional<X11Accessibility::PendingWrite> X11Accessibility::takePending(xcb_window_t window) {
    std::unique_lock lock(mutex_);
    auto pending = std::exchange(pending_, std::nullopt);
    lock.unlock();
    if (pending && pending->window != window) {
        // Anything else asked of the port ends the wait for a position.
        if (!pending->sizeSent) sendHeldSize(*pending);
        return std::nullopt;
    }
    return pending;
}

void X11Accessibility::sendHeldSize(const PendingWrite& pending) {
    WindowFrame::place(connection_, pending.window, pending.reading, std::nullopt, pending.size);
    std::lock_guard lock(mutex_);
    ++placementRequests_;
}

void X11Accessibility::beginPress() {
    holdSizes_ = true;
}

void X11Accessibility::endPress() {
    holdSizes_ = false;
    takePending(XCB_WINDOW_NONE);
}

void X11Accessibility::setPending(std::optional<PendingWrite> pending) {
    std::lock_guard lock(mutex_);
    pending_ = pending;
    ++placementRequests_;
}

std::optional<FrameReading> X11Accessibility::currentReading(xcb_window_t window) {
    if (const auto facts = state_.pressFacts(window); facts && facts->frameCurrent) return facts->reading;
    return WindowFrame::read(connection_, window);
}

std::optional<FrameReading> X11Accessibility::readingForWrite(xcb_window_t window) {
    if (const auto facts = state_.pressFacts(window); facts && facts->reading) return facts->reading;
    return WindowFrame::read(connection_, window);
}

std::optional<Rect> X11Accessibility::outerFrame(xcb_window_t window) {
    auto reading = currentReading(window);
    if (!reading) return std::nullopt;
    const Point origin = primaryOrigin(state_.layout().monitors);
    Rect frame = reading->outer;
    frame.x -= origin.x;
    frame.y -= origin.y;
    return frame;
}

std::optional<xcb_window_t> X11Accessibility::focusedWindow(pid_t pid, xcb_window_t frontmost) {
    if (frontmost != XCB_WINDOW_NONE && state_.activeWindow() == frontmost) return frontmost;
    if (pid != 0) return ClientWindows::applicationWindow(connection_, pid);
    // Nobody names the application's process: the window that made it
    // frontmost is all there is of it.
    if (frontmost != XCB_WINDOW_NONE) return frontmost;
    return std::nullopt;
}

AXCopyResult X11Accessibility::sizeIncrement(xcb_window_t window) {
    if (const auto facts = state_.pressFacts(window)) {
        if (!facts->increment) return {AXStatus::noValue, std::nullopt};
        return {AXStatus::success, AXValue(*facts->increment)};
    }
    xcb_connection_t* c = connection_.xcb();
    xcb_size_hints_t hints{};
    if (!xcb_icccm_get_wm_normal_hints_reply(c, awaiting(c, xcb_icccm_get_wm_normal_hints(c, window)), &hints,
                                             nullptr) ||
        !(hints.flags & XCB_ICCCM_SIZE_HINT_P_RESIZE_INC) || (hints.width_inc <= 1 && hints.height_inc <= 1))
        return {AXStatus::noValue, std::nullopt};
    return {AXStatus::success, AXValue(Size{static_cast<double>(std::max(1, hints.width_inc)),
                                            static_cast<double>(std::max(1, hints.height_inc))})};
}

AXCopyResult X11Accessibility::copyAttribute(const Element& element, std::string_view attribute) {
    const auto* e = element.as<X11Element>();
    if (!e) return {AXStatus::invalidElement, std::nullopt};
    connection_.settle();
    takePending(XCB_WINDOW_NONE);

    if (e->kind == X11Element::Kind::application) {
        if (attribute == AXName::focusedWindow) {
            // Panels, docks and the desktop take focus too, but are not the
            // user's windows to move: the application then has none.
            auto window = focusedWindow(e->pid, e->window);
            const auto facts = window ? state_.pressFacts(*window) : std::nullopt;
            const bool ordinary =
                window && (facts ? facts->client.ordinary : ClientWindows::isOrdinary(connection_, *window));
            if (!ordinary) return {AXStatus::noValue, std::nullopt};
            return {AXStatus::success, AXValue(X11Element::ofWindow(e->pid, *window))};
        }
        return {AXStatus::attributeUnsupported, std::nullopt};
    }

    if (attribute == AXName::position || attribute == AXName::size) {
        auto frame = outerFrame(e->window);
        if (!frame) return {AXStatus::invalidElement, std::nullopt};
        if (attribute == AXName::position) return {AXStatus::success, AXValue(Point{frame->x, frame->y})};
        return {AXStatus::success, AXValue(Size{frame->width, frame->height})};
    }
    if (attribute == AXName::main || attribute == AXName::focused) {
        return {AXStatus::success, AXValue(state_.activeWindow() == e->window)};
    }
    if (attribute == AXName::sizeIncrement) return sizeIncrement(e->window);
    return {AXStatus::attributeUnsupported, std::nullopt};
}

AXStatus X11Accessibility::setAttribute(const Element& element, std::string_view attribute,
                                        const AXValue& value) {
    const auto* e = element.as<X11Element>();
    if (!e) return AXStatus::invalidElement;
    if (e->kind == X11Element::Kind::application) return AXStatus::attributeUnsupported;
    connection_.settle();

    if (attribute == AXName::size) {
        const auto* size = std::get_if<Size>(&value);
        return size ? writeSize(e->window, *size) : AXStatus::illegalArgument;
    }
    if (attribute == AXName::position) {
        const auto* position = std::get_if<Point>(&value);
        return position ? writePosition(e->window, *position) : AXStatus::illegalArgument;
    }
    takePending(XCB_WINDOW_NONE);
    if (attribute == AXName::main || attribute == AXName::focused) {
        const auto* flag = std::get_if<bool>(&value);
        if (!flag) return AXStatus::illegalArgument;
        // Only "make it the one the user works in" has a meaning here.
        if (!*flag || state_.requestActivation(e->window)) return AXStatus::success;
        return AXStatus::cannotComplete;
    }
    return AXStatus::attributeUnsupported;
}

AXStatus X11Accessibility::performAction(const Element& element, std::string_view action) {
    const auto* e = element.as<X11Element>();
    if (!e) return AXStatus::invalidElement;
    connection_.settle();
    takePending(XCB_WINDOW_NONE);
    if (e->kind != X11Element::Kind::window || action != AXName::raise) return AXStatus::actionUnsupported;
    xcb_ewmh_request_restack_window(connection_.ewmh(), connection_.screenNumber(), e->window,
                                    XCB_WINDOW_NONE, XCB_STACK_MODE_ABOVE);
    connection_.flush();
    return connection_.isAlive() ? AXStatus::success : AXStatus::cannotComplete;
}

FrameReading X11Accessibility::restore(xcb_window_t window, const FrameReading& reading) {
    if (!connection_.onMainThread()) return WindowFrame::restore(connection_, window, reading);
    WindowFrame::requestRestore(connection_, window);
    FrameReading restored = reading;
    restored.maximizedOrFullscreen = false;
    return restored;
}

AXStatus X11Accessibility::writeSize(xcb_window_t window, Size size) {
    if (auto pending = takePending(window); pending && pending->frameSent && pending->size == size) {
        // The position request already asked for exactly this size.
        return AXStatus::success;
    }
    auto reading = readingForWrite(window);
    if (!reading) return AXStatus::invalidElement;
    bool restoring = false;
    if (reading->maximizedOrFullscreen) {
        reading = restore(window, *reading);
        restoring = connection_.onMainThread();
    } else if (connection_.onMainThread() && holdSizes_) {
        state_.frameRequested(window);
        std::lock_guard lock(mutex_);
        pending_ = PendingWrite{window, size, false, false, false, *reading};
        return AXStatus::success;
    }
    WindowFrame::place(connection_, window, *reading, std::nullopt, size);
    state_.frameRequested(window);
    setPending(PendingWrite{window, size, false, restoring, true, *reading});
    return AXStatus::success;
}

AXStatus X11Accessibility::writePosition(xcb_window_t window, Point position) {
    auto pending = takePending(window);
    auto reading = readingForWrite(window);
    if (!reading) return AXStatus::invalidElement;
    const Point origin = primaryOrigin(state_.layout().monitors);
    state_.frameRequested(window);
    bool restoring = pending && pending->restoring;
    if (reading->maximizedOrFullscreen) {
        // Also after the size write asked for it: the window manager may not
        // have got to that request yet, and a second one does no harm.
        reading = restore(window, *reading);
        restoring = connection_.onMainThread();
    }
    const Point rootPosition{position.x + origin.x, position.y + origin.y};
    if (pending && !pending->frameSent) {
        WindowFrame::place(connection_, window, *reading, rootPosition, pending->size);
        setPending(PendingWrite{window, pending->size, true, restoring, true, *reading});
        if (restoring) {
            correction_ = Correction{
                window, Rect{rootPosition.x, rootPosition.y, pending->size.width, pending->size.height},
                *reading};
            correctAfterRestore();
        }
    } else {
        WindowFrame::place(connection_, window, *reading, rootPosition, std::nullopt);
        setPending(std::nullopt);
        if (restoring) {
            correction_ = Correction{
                window, Rect{rootPosition.x, rootPosition.y, reading->outer.width, reading->outer.height},
                *reading};
            correctAfterRestore();
        }
    }
    return AXStatus::success;
}

void X11Accessibility::correctAfterRestore() {
    xcb_connection_t* c = connection_.xcb();
    if (probe_ == XCB_WINDOW_NONE) {
        probe_ = xcb_generate_id(c);
        const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_create_window(c, 0, probe_, connection_.root(), 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                          XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &mask);
    }
    // The window manager handles requests in order: its answer to this one
    // means the restore and the frame written after it are done.
    xcb_ewmh_send_client_message(c, probe_, connection_.root(),
                                 connection_.ewmh()->_NET_REQUEST_FRAME_EXTENTS, 0, nullptr);
    connection_.flush();
}

void X11Accessibility::handleEvent(const xcb_generic_event_t& event) {
    switch (event.response_type & 0x7f) {
        case XCB_DESTROY_NOTIFY: {
            const auto& destroyed = reinterpret_cast<const xcb_destroy_notify_event_t&>(event);
            // A watcher may end other watches: none is called while the list is walked.
            std::vector<std::function<void()>> told;
            for (auto it = watchers_.begin(); it != watchers_.end();) {
                if (it->second.window != destroyed.window) {
                    ++it;
                    continue;
                }
                told.push_back(std::move(it->second.destroyed));
                it = watchers_.erase(it);
            }
            for (auto& tell : told) {
                if (tell) tell();
            }
            return;
        }
        case XCB_PROPERTY_NOTIFY: {
            const auto& changed = reinterpret_cast<const xcb_property_notify_event_t&>(event);
            if (changed.window != probe_ || probe_ == XCB_WINDOW_NONE || !correction_) return;
            const Correction correction = *std::exchange(correction_, std::nullopt);
            const auto now = WindowFrame::read(connection_, correction.window);
            // Written with the decorations of the maximised state; a window
            // manager that dresses restored windows differently has left the
            // visible frame off by the difference.
            if (!now || now->maximizedOrFullscreen || sameDecorations(*now, correction.reading)) return;
            WindowFrame::place(connection_, correction.window, *now,
                               Point{correction.target.x, correction.target.y},
                               Size{correction.target.width, correction.target.height});
            return;
        }
        default:
            return;
    }
}

std::unique_ptr<Observation> X11Accessibility::observeDestruction(const Element& window,
                                                                  std::function<void()> destroyed) {
    const auto* e = window.as<X11Element>();
    if (!e || e->kind != X11Element::Kind::window || !connection_.onMainThread()) return nullptr;
    if (!events_.listenChecked(e->window, XCB_EVENT_MASK_STRUCTURE_NOTIFY)) return nullptr;
    const std::uint64_t id = nextWatch_++;
    watchers_.emplace(id, Watcher{e->window, std::move(destroyed)});
    return std::make_unique<Watch>(*this, id);
}

void X11Accessibility::unwatch(std::uint64_t id) {
    const auto it = watchers_.find(id);
    if (it == watchers_.end()) return;
    const xcb_window_t window = it->second.window;
    watchers_.erase(it);
    // Every configure of the window would wake us for nothing otherwise.
    events_.stopListening(window, XCB_EVENT_MASK_STRUCTURE_NOTIFY);
}

}  // namespace corvane::x11
