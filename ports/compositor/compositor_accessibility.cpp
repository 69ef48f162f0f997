#include "ports/compositor/compositor_accessibility.hpp"

#include "ports/compositor/compositor_element.hpp"

namespace corvane::compositor {

namespace {

// The focused window of the snapshot when the element names it (the plugin
// only reports the focused window's frame).
const WindowInfo* windowFor(const std::optional<Snapshot>& snapshot, const CompositorElement& element) {
    if (!snapshot || !snapshot->window) return nullptr;
    const WindowInfo& w = *snapshot->window;
    if (element.kind == CompositorElement::Kind::window) return w.id == element.window ? &w : nullptr;
    if (!element.window.empty()) return w.id == element.window ? &w : nullptr;
    return element.pid != 0 && w.pid == element.pid ? &w : nullptr;
}

}  // namespace

Point primaryOrigin(const Snapshot& snapshot) {
    const MonitorInfo* primary = snapshot.primary();
    return primary ? Point{primary->frame.x, primary->frame.y} : Point{};
}

CompositorAccessibility::CompositorAccessibility(CompositorSession& session) : session_(session) {}

Element CompositorAccessibility::applicationElement(const Application& application) {
    const auto id =
        application.window ? session_.idOf(static_cast<std::uint32_t>(application.window)) : std::nullopt;
    return CompositorElement::application(application.pid, id.value_or(""));
}

AXCopyResult CompositorAccessibility::copyAttribute(const Element& element, std::string_view attribute) {
    const auto* e = element.as<CompositorElement>();
    if (!e) return {AXStatus::invalidElement, std::nullopt};
    const bool isWindow = e->kind == CompositorElement::Kind::window;
    if (attribute == AXName::enhancedUserInterface || (attribute == AXName::focusedWindow && isWindow))
        return {AXStatus::attributeUnsupported, std::nullopt};
    const auto snapshot = session_.read();
    if (!snapshot) return {AXStatus::cannotComplete, std::nullopt};
    const WindowInfo* w = windowFor(snapshot, *e);
    if (attribute == AXName::focusedWindow) {
        if (!w) return {AXStatus::noValue, std::nullopt};
        return {AXStatus::success, AXValue{CompositorElement::windowOf(w->pid, w->id)}};
    }
    if (!isWindow) return {AXStatus::attributeUnsupported, std::nullopt};
    if (!w) return {AXStatus::cannotComplete, std::nullopt};
    if (attribute == AXName::position) {
        const Point origin = primaryOrigin(*snapshot);
        return {AXStatus::success, AXValue{Point{w->frame.x - origin.x, w->frame.y - origin.y}}};
    }
    if (attribute == AXName::size) return {AXStatus::success, AXValue{Size{w->frame.width, w->frame.height}}};
    if (attribute == AXName::sizeIncrement) {
        if (w->increment == Size{1, 1}) return {AXStatus::attributeUnsupported, std::nullopt};
        return {AXStatus::success, AXValue{w->increment}};
    }
    if (attribute == AXName::main || attribute == AXName::focused) return {AXStatus::success, AXValue{true}};
    return {AXStatus::attributeUnsupported, std::nullopt};
}

AXStatus CompositorAccessibility::setAttribute(const Element& element, std::string_view attribute,
                                               const AXValue& value) {
    const auto* e = element.as<CompositorElement>();
    if (!e) return AXStatus::invalidElement;
    if (e->kind != CompositorElement::Kind::window) return AXStatus::attributeUnsupported;
    if (attribute == AXName::main || attribute == AXName::focused) {
        const auto* wanted = std::get_if<bool>(&value);
        if (!wanted) return AXStatus::illegalArgument;
        // Nothing takes the focus away on request; giving it is an activation.
        if (*wanted) session_.write(Operation::focusOn(e->window));
        return AXStatus::success;
    }
    if (attribute != AXName::position && attribute != AXName::size) return AXStatus::attributeUnsupported;
    const auto snapshot = session_.read();
    if (!snapshot) return AXStatus::cannotComplete;
    const WindowInfo* w = windowFor(snapshot, *e);
    if (!w) return AXStatus::cannotComplete;
    Rect frame = w->frame;
    if (attribute == AXName::position) {
        const auto* p = std::get_if<Point>(&value);
        if (!p) return AXStatus::illegalArgument;
        const Point origin = primaryOrigin(*snapshot);
        frame.x = p->x + origin.x;
        frame.y = p->y + origin.y;
    } else {
        const auto* s = std::get_if<Size>(&value);
        if (!s || s->width < 0 || s->height < 0) return AXStatus::illegalArgument;
        frame.width = s->width;
        frame.height = s->height;
    }
    session_.write(Operation::frameOf(e->window, frame));
    return AXStatus::success;
}

AXStatus CompositorAccessibility::performAction(const Element& element, std::string_view action) {
    const auto* e = element.as<CompositorElement>();
    if (!e) return AXStatus::invalidElement;
    if (e->kind != CompositorElement::Kind::window || action != AXName::raise)
        return AXStatus::actionUnsupported;
    session_.write(Operation::focusOn(e->window));
    return AXStatus::success;
}

}  // namespace corvane::compositor
