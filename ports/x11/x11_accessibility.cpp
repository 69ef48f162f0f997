#include "ports/x11/x11_accessibility.hpp"

#include <utility>

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

}  // namespace

X11Accessibility::X11Accessibility(Connection& connection, bool randr15)
    : connection_(connection), randr15_(randr15) {}

Element X11Accessibility::applicationElement(pid_t pid) {
    return X11Element::application(pid);
}

unsigned X11Accessibility::placementRequests() const {
    std::lock_guard lock(mutex_);
    return placementRequests_;
}

std::optional<X11Accessibility::PendingWrite> X11Accessibility::takePending(xcb_window_t window) {
    std::lock_guard lock(mutex_);
    auto pending = std::exchange(pending_, std::nullopt);
    if (pending && pending->window != window) return std::nullopt;
    return pending;
}

void X11Accessibility::setPending(std::optional<PendingWrite> pending) {
    std::lock_guard lock(mutex_);
    pending_ = pending;
    ++placementRequests_;
}

std::optional<Rect> X11Accessibility::outerFrame(xcb_window_t window) {
    // The monitors go out first so that both answers come in one round trip.
    auto monitorsRequest = requestMonitors(connection_, randr15_);
    auto reading = WindowFrame::read(connection_, window);
    const Point origin = primaryOrigin(monitorsReply(connection_, monitorsRequest));
    if (!reading) return std::nullopt;
    Rect frame = reading->outer;
    frame.x -= origin.x;
    frame.y -= origin.y;
    return frame;
}

AXCopyResult X11Accessibility::copyAttribute(const Element& element, std::string_view attribute) {
    const auto* e = element.as<X11Element>();
    if (!e) return {AXStatus::invalidElement, std::nullopt};
    takePending(XCB_WINDOW_NONE);

    if (e->kind == X11Element::Kind::application) {
        if (attribute == AXName::focusedWindow) {
            auto window = ClientWindows::applicationWindow(connection_, e->pid);
            if (!window) return {AXStatus::noValue, std::nullopt};
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
        return {AXStatus::success, AXValue(ClientWindows::active(connection_) == e->window)};
    }
    return {AXStatus::attributeUnsupported, std::nullopt};
}

AXStatus X11Accessibility::setAttribute(const Element& element, std::string_view attribute,
                                        const AXValue& value) {
    const auto* e = element.as<X11Element>();
    if (!e) return AXStatus::invalidElement;
    if (e->kind == X11Element::Kind::application) return AXStatus::attributeUnsupported;

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
        return *flag ? activate(e->window) : AXStatus::success;
    }
    return AXStatus::attributeUnsupported;
}

AXStatus X11Accessibility::performAction(const Element& element, std::string_view action) {
    const auto* e = element.as<X11Element>();
    if (!e) return AXStatus::invalidElement;
    takePending(XCB_WINDOW_NONE);
    if (e->kind != X11Element::Kind::window || action != AXName::raise) return AXStatus::actionUnsupported;
    xcb_ewmh_request_restack_window(connection_.ewmh(), connection_.screenNumber(), e->window,
                                    XCB_WINDOW_NONE, XCB_STACK_MODE_ABOVE);
    connection_.flush();
    return connection_.isAlive() ? AXStatus::success : AXStatus::cannotComplete;
}

AXStatus X11Accessibility::writeSize(xcb_window_t window, Size size) {
    if (auto pending = takePending(window); pending && pending->frameSent && pending->size == size) {
        // The position request already asked for exactly this size.
        return AXStatus::success;
    }
    auto reading = WindowFrame::read(connection_, window);
    if (!reading) return AXStatus::invalidElement;
    if (reading->maximizedOrFullscreen) reading = WindowFrame::restore(connection_, window, *reading);
    WindowFrame::place(connection_, window, *reading, std::nullopt, size);
    setPending(PendingWrite{window, size, false});
    return AXStatus::success;
}

AXStatus X11Accessibility::writePosition(xcb_window_t window, Point position) {
    auto pending = takePending(window);
    auto monitorsRequest = requestMonitors(connection_, randr15_);
    auto reading = WindowFrame::read(connection_, window);
    const Point origin = primaryOrigin(monitorsReply(connection_, monitorsRequest));
    if (!reading) return AXStatus::invalidElement;
    if (reading->maximizedOrFullscreen) reading = WindowFrame::restore(connection_, window, *reading);
    const Point rootPosition{position.x + origin.x, position.y + origin.y};
    if (pending && !pending->frameSent) {
        WindowFrame::place(connection_, window, *reading, rootPosition, pending->size);
        setPending(PendingWrite{window, pending->size, true});
    } else {
        WindowFrame::place(connection_, window, *reading, rootPosition, std::nullopt);
        setPending(std::nullopt);
    }
    return AXStatus::success;
}

AXStatus X11Accessibility::activate(xcb_window_t window) {
    xcb_ewmh_request_change_active_window(connection_.ewmh(), connection_.screenNumber(), window,
                                          XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER, XCB_CURRENT_TIME,
                                          XCB_WINDOW_NONE);
    connection_.flush();
    return connection_.isAlive() ? AXStatus::success : AXStatus::cannotComplete;
}

}  // namespace corvane::x11
