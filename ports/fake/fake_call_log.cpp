#include "ports/fake/fake_call_log.hpp"

#include <charconv>
#include <system_error>

#include "ports/fake/fake_element.hpp"

namespace corvane::fake {

void FakeCallLog::record(std::string line) {
    std::lock_guard lock(mutex_);
    entries_.push_back(std::move(line));
}

std::vector<std::string> FakeCallLog::entries() const {
    std::lock_guard lock(mutex_);
    return entries_;
}

std::vector<std::string> FakeCallLog::matching(std::string_view prefix) const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> result;
    for (const auto& line : entries_) {
        if (line.starts_with(prefix)) result.push_back(line);
    }
    return result;
}

std::size_t FakeCallLog::count(std::string_view prefix) const {
    return matching(prefix).size();
}

void FakeCallLog::clear() {
    std::lock_guard lock(mutex_);
    entries_.clear();
}

std::string formatNumber(double value) {
    if (value == 0) return "0";  // no "-0"
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (result.ec != std::errc{}) return "?";
    return std::string(buffer, result.ptr);
}

std::string formatPoint(const Point& point) {
    return formatNumber(point.x) + "," + formatNumber(point.y);
}

std::string formatSize(const Size& size) {
    return formatNumber(size.width) + "x" + formatNumber(size.height);
}

std::string formatRect(const Rect& rect) {
    return formatPoint({rect.x, rect.y}) + " " + formatSize({rect.width, rect.height});
}

std::string formatValue(const AXValue& value) {
    if (const auto* element = std::get_if<Element>(&value)) {
        const auto* fake = element->as<FakeElement>();
        if (!fake) return element->isValid() ? "element" : "null";
        if (fake->kind == FakeElement::Kind::application) return "app " + std::to_string(fake->pid);
        return "window " + std::to_string(fake->windowId);
    }
    if (const auto* point = std::get_if<Point>(&value)) return formatPoint(*point);
    if (const auto* size = std::get_if<Size>(&value)) return formatSize(*size);
    if (const auto* flag = std::get_if<bool>(&value)) return *flag ? "true" : "false";
    return "other";
}

}  // namespace corvane::fake
