#include "ports/fake/fake_screens.hpp"

#include <cstdio>

namespace corvane::fake {

FakeScreens::FakeScreens(FakeCallLog& log) : log_(log) {}

std::vector<Screen> FakeScreens::screens() {
    log_.record("screens");
    std::lock_guard lock(mutex_);
    std::vector<Screen> result;
    result.reserve(displays_.size());
    for (const auto& display : displays_) result.push_back(display.screen);
    return result;
}

std::optional<std::string> FakeScreens::displayUUID(std::uint32_t displayNumber) {
    log_.record("displayUUID " + std::to_string(displayNumber));
    std::lock_guard lock(mutex_);
    for (const auto& display : displays_) {
        if (display.screen.displayNumber == displayNumber) return display.uuid;
    }
    return std::nullopt;
}

std::optional<Rect> FakeScreens::displayBounds(std::uint32_t displayNumber) {
    log_.record("displayBounds " + std::to_string(displayNumber));
    std::lock_guard lock(mutex_);
    for (const auto& display : displays_) {
        if (display.screen.displayNumber == displayNumber) return display.bounds;
    }
    return std::nullopt;
}

std::uint32_t FakeScreens::addScreen(const Rect& frame, const Rect& visibleFrame) {
    std::lock_guard lock(mutex_);
    const std::uint32_t number = nextNumber_++;
    char uuid[40];
    std::snprintf(uuid, sizeof uuid, "00000000-0000-0000-0000-%012u", static_cast<unsigned>(number));
    // Bounds are in the top-left space; the primary's full height flips y.
    const double primaryHeight = displays_.empty() ? frame.height : displays_.front().screen.frame.height;
    const Rect bounds{frame.x, primaryHeight - (frame.y + frame.height), frame.width, frame.height};
    displays_.push_back({Screen{frame, visibleFrame, number}, uuid, bounds});
    return number;
}

void FakeScreens::setDisplays(std::vector<Display> displays) {
    std::lock_guard lock(mutex_);
    displays_ = std::move(displays);
    for (const auto& display : displays_) {
        if (display.screen.displayNumber >= nextNumber_) nextNumber_ = display.screen.displayNumber + 1;
    }
}

void FakeScreens::clear() {
    std::lock_guard lock(mutex_);
    displays_.clear();
}

std::vector<FakeScreens::Display> FakeScreens::displays() const {
    std::lock_guard lock(mutex_);
    return displays_;
}

}  // namespace corvane::fake
