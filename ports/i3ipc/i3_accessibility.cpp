#include "ports/i3ipc/i3_accessibility.hpp"

#include <chrono>
#include <cmath>
#include <string>
#include <thread>
#include <utility>

#include "ports/i3ipc/i3_element.hpp"

namespace corvane::i3ipc {

std::optional<Output> primaryOutput(const std::vector<Output>& outputs) {
    if (outputs.empty()) return std::nullopt;
    for (const auto& o : outputs)
        if (o.primary) return o;
    for (const auto& o : outputs)
        if (o.rect.x == 0 && o.rect.y == 0) return o;
    return outputs.front();
}

Point primaryOrigin(const std::vector<Output>& outputs) {
    const auto primary = primaryOutput(outputs);
    return primary ? Point{primary->rect.x, primary->rect.y} : Point{};
}

namespace {

std::string px(double value) {
    return std::to_string(static_cast<long long>(std::lround(value)));
}

bool sameFrame(const Rect& a, const Rect& b) {
    return std::lround(a.x) == std::lround(b.x) && std::lround(a.y) == std::lround(b.y) &&
           std::lround(a.width) == std::lround(b.width) && std::lround(a.height) == std::lround(b.height);
}

}  // namespace

I3Accessibility::I3Accessibility(IpcSession& session, bool clientsCommitLate)
    : session_(session), clientsCommitLate_(clientsCommitLate) {}

Element I3Accessibility::applicationElement(const Application& application) {
    return I3Element::application(application.pid);
}

unsigned I3Accessibility::placementCommands() const {
    std::lock_guard lock(mutex_);
    return placementCommands_;
}

std::optional<I3Accessibility::PendingWrite> I3Accessibility::takePending(std::int64_t container) {
    std::optional<PendingWrite> pending;
    {
        std::lock_guard lock(mutex_);
        pending = std::exchange(pending_, std::nullopt);
    }
    if (pending && pending->container == container) return pending;
    // A size held back for a position that did not come still has to reach
    // the window.
    if (pending && pending->state == PendingWrite::State::held)
        place(pending->container, std::nullopt, pending->size);
    return std::nullopt;
}

void I3Accessibility::setPending(std::optional<PendingWrite> pending) {
    std::lock_guard lock(mutex_);
    pending_ = pending;
}

void I3Accessibility::flushPending() {
    takePending(0);
}

AXCopyResult I3Accessibility::copyAttribute(const Element& element, std::string_view attribute) {
    const auto* e = element.as<I3Element>();
    if (!e) return {AXStatus::invalidElement, std::nullopt};
    takePending(0);
    // Asked before the tree is read: the mover asks for attributes this
    // window manager does not have on every press.
    const bool supported = e->kind == I3Element::Kind::application
                               ? attribute == AXName::focusedWindow
                               : attribute == AXName::position || attribute == AXName::size ||
                                     attribute == AXName::main || attribute == AXName::focused;
    if (!supported) return {AXStatus::attributeUnsupported, std::nullopt};
    const auto tree = session_.tree();
    if (!tree) return {AXStatus::cannotComplete, std::nullopt};

    if (e->kind == I3Element::Kind::application) {
        if (auto focused = tree->focused(); focused && (!focused->pid || *focused->pid == e->pid))
            return {AXStatus::success, AXValue(I3Element::window(e->pid, focused->id))};
        for (const auto& w : tree->windows)
            if (w.pid && *w.pid == e->pid)
                return {AXStatus::success, AXValue(I3Element::window(e->pid, w.id))};
        return {AXStatus::noValue, std::nullopt};
    }

    const auto window = tree->window(e->container);
    if (!window) return {AXStatus::invalidElement, std::nullopt};
    if (attribute == AXName::size)
        return {AXStatus::success, AXValue(Size{window->rect.width, window->rect.height})};
    if (attribute == AXName::position) {
        const Point origin = primaryOrigin(session_.outputs());
        return {AXStatus::success, AXValue(Point{window->rect.x - origin.x, window->rect.y - origin.y})};
    }
    return {AXStatus::success, AXValue(window->focused)};
}

AXStatus I3Accessibility::setAttribute(const Element& element, std::string_view attribute,
                                       const AXValue& value) {
    const auto* e = element.as<I3Element>();
    if (!e) return AXStatus::invalidElement;
    if (e->kind == I3Element::Kind::application) return AXStatus::attributeUnsupported;

    using State = PendingWrite::State;
    if (attribute == AXName::size) {
        const auto* size = std::get_if<Size>(&value);
        if (!size) return AXStatus::illegalArgument;
        if (auto pending = takePending(e->container);
            pending && pending->state == State::frameSent && pending->size == *size)
            return AXStatus::success;
        // During a press the position follows at once: hold the size for it,
        // so the window manager gets one command and lays out once.
        if (session_.sharesReads()) {
            setPending(PendingWrite{e->container, *size, State::held});
            return AXStatus::success;
        }
        const AXStatus status = place(e->container, std::nullopt, *size);
        if (status == AXStatus::success) setPending(PendingWrite{e->container, *size, State::sentAlone});
        return status;
    }
    if (attribute == AXName::position) {
        const auto* position = std::get_if<Point>(&value);
        if (!position) return AXStatus::illegalArgument;
        const auto pending = takePending(e->container);
        const bool carries = pending && pending->state != State::frameSent;
        std::optional<Size> size;
        if (carries) size = pending->size;
        if (!size) {
            const auto tree = session_.tree();
            const auto window = tree ? tree->window(e->container) : std::nullopt;
            if (!window) return AXStatus::invalidElement;
            size = Size{window->rect.width, window->rect.height};
        }
        const AXStatus status = place(e->container, *position, *size);
        if (status == AXStatus::success && carries)
            setPending(PendingWrite{e->container, *size, State::frameSent});
        return status;
    }
    takePending(0);
    if (attribute == AXName::main || attribute == AXName::focused) {
        const auto* flag = std::get_if<bool>(&value);
        if (!flag) return AXStatus::illegalArgument;
        if (!*flag) return AXStatus::success;
        const auto outcome = session_.run("[con_id=" + std::to_string(e->container) + "] focus");
        return outcome.success ? AXStatus::success : AXStatus::cannotComplete;
    }
    return AXStatus::attributeUnsupported;
}

AXStatus I3Accessibility::performAction(const Element& element, std::string_view action) {
    const auto* e = element.as<I3Element>();
    if (!e) return AXStatus::invalidElement;
    takePending(0);
    if (e->kind != I3Element::Kind::window || action != AXName::raise) return AXStatus::actionUnsupported;
    // Floating windows are stacked by focus; focusing is the only raise there is.
    const auto outcome = session_.run("[con_id=" + std::to_string(e->container) + "] focus");
    return outcome.success ? AXStatus::success : AXStatus::cannotComplete;
}

AXStatus I3Accessibility::place(std::int64_t container, std::optional<Point> position, Size size) {
    const auto outputs = session_.outputs();
    const Point origin = primaryOrigin(outputs);
    const std::string criteria = "[con_id=" + std::to_string(container) + "] ";
    std::string command = criteria + "floating enable, resize set width " + px(size.width) + " px height " +
                          px(size.height) + " px";
    std::optional<Rect> target;
    if (position) {
        const Point global{position->x + origin.x, position->y + origin.y};
        command += ", move absolute position " + px(global.x) + " px " + px(global.y) + " px";
        target = Rect{global.x, global.y, size.width, size.height};
    }
    // The frame is read back after the command and the command sent once
    // more when the window did not take it.
    for (int attempt = 0; attempt < 2; ++attempt) {
        {
            std::lock_guard lock(mutex_);
            ++placementCommands_;
        }
        const auto outcome = session_.run(command);
        if (!outcome.success) return AXStatus::cannotComplete;
        const auto held = frameHolds(container, target, size);
        if (!held) return AXStatus::invalidElement;
        if (*held) break;
    }
    return AXStatus::success;
}

std::optional<bool> I3Accessibility::frameHolds(std::int64_t container, std::optional<Rect> target,
                                                Size size) {
    // i3 decides an X window's frame itself and shows it in the tree once the
    // command is answered: one reading tells. A Wayland client still has to
    // take the new size after the command; when it is slow, sway stops
    // waiting and a late commit of the size it had before becomes the
    // window's size again. There the frame is watched until it has held for
    // a few client frames (only for the write that carries the position).
    const int reads = clientsCommitLate_ ? 12 : 1;
    const int stableReads = clientsCommitLate_ && target ? 3 : 1;
    constexpr auto kInterval = std::chrono::milliseconds(15);
    int stable = 0;
    for (int read = 0; read < reads; ++read) {
        if (read > 0) std::this_thread::sleep_for(kInterval);
        const auto tree = session_.freshTree();
        const auto window = tree ? tree->window(container) : std::nullopt;
        if (!window) return std::nullopt;
        const Rect wanted = target.value_or(Rect{window->rect.x, window->rect.y, size.width, size.height});
        stable = sameFrame(window->rect, wanted) ? stable + 1 : 0;
        if (stable >= stableReads) return true;
    }
    return false;
}

}  // namespace corvane::i3ipc
