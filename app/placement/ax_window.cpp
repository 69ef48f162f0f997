#include "app/placement/ax_window.hpp"

namespace corvane::AXWindow {

std::optional<Element> focusedWindow(Accessibility& ax, const Element& application) {
    auto result = ax.copyAttribute(application, AXName::focusedWindow);
    if (result.status != AXStatus::success || !result.value) return std::nullopt;
    const auto* window = std::get_if<Element>(&*result.value);
    if (!window || !window->isValid()) return std::nullopt;
    return *window;
}

std::optional<Rect> frame(Accessibility& ax, const Element& window) {
    const auto position = ax.copyAttribute(window, AXName::position);
    if (position.status != AXStatus::success) return std::nullopt;
    const auto size = ax.copyAttribute(window, AXName::size);
    if (size.status != AXStatus::success || !position.value || !size.value) return std::nullopt;

    Point origin;
    Size extent;
    if (const auto* p = std::get_if<Point>(&*position.value)) origin = *p;
    if (const auto* s = std::get_if<Size>(&*size.value)) extent = *s;
    return Rect{origin.x, origin.y, extent.width, extent.height};
}

std::optional<Size> sizeIncrement(Accessibility& ax, const Element& window) {
    const auto result = ax.copyAttribute(window, AXName::sizeIncrement);
    if (result.status != AXStatus::success || !result.value) return std::nullopt;
    const auto* step = std::get_if<Size>(&*result.value);
    if (!step || step->width < 0 || step->height < 0) return std::nullopt;
    return *step;
}

std::optional<bool> boolAttribute(Accessibility& ax, const Element& element, std::string_view attribute) {
    const auto result = ax.copyAttribute(element, attribute);
    if (result.status != AXStatus::success || !result.value) return std::nullopt;
    if (const auto* flag = std::get_if<bool>(&*result.value)) return *flag;
    return std::nullopt;
}

void writeFrame(Accessibility& ax, const Element& application, const Element& window, const Rect& target) {
    const bool enhanced = boolAttribute(ax, application, AXName::enhancedUserInterface) == true;
    if (enhanced) ax.setAttribute(application, AXName::enhancedUserInterface, false);

    const Size size{target.width, target.height};
    ax.setAttribute(window, AXName::size, size);
    ax.setAttribute(window, AXName::position, Point{target.x, target.y});
    ax.setAttribute(window, AXName::size, size);

    if (enhanced) ax.setAttribute(application, AXName::enhancedUserInterface, true);
}

}  // namespace corvane::AXWindow
