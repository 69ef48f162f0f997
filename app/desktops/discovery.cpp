#include "app/desktops/discovery.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

#include "app/desktops/failure.hpp"
#include "app/desktops/timing.hpp"
#include "core/geometry.hpp"

namespace corvane::desktops {

namespace {

// Reports carry identifiers as 64-bit integers (unsigned values in the same
// bits); reals are truncated towards zero, saturating, and NaN is no number.
// A boolean is not a number here, although some platforms bridge it as one.
std::optional<std::uint64_t> unsignedNumber(const PlistValue& value) {
    const auto* number = value.as<PlistValue::Number>();
    if (!number) return std::nullopt;
    if (const auto* i = std::get_if<std::int64_t>(&number->value)) return static_cast<std::uint64_t>(*i);
    const double d = std::get<double>(number->value);
    if (std::isnan(d)) return std::nullopt;
    if (d >= 18446744073709551616.0) return std::numeric_limits<std::uint64_t>::max();
    if (d >= 0) return static_cast<std::uint64_t>(d);
    if (d <= -9223372036854775808.0)
        return static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::min());
    return static_cast<std::uint64_t>(static_cast<std::int64_t>(d));
}

std::optional<std::int64_t> signedNumber(const PlistValue& value) {
    const auto* number = value.as<PlistValue::Number>();
    if (!number) return std::nullopt;
    if (const auto* i = std::get_if<std::int64_t>(&number->value)) return *i;
    const double d = std::get<double>(number->value);
    if (std::isnan(d)) return std::nullopt;
    if (d >= 9223372036854775807.0) return std::numeric_limits<std::int64_t>::max();
    if (d <= -9223372036854775808.0) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(d);
}

const PlistValue* entry(const PlistValue::Dictionary& dictionary, const char* key) {
    const auto it = dictionary.find(key);
    return it == dictionary.end() ? nullptr : &it->second;
}

// An array all of whose elements are dictionaries; anything else is not a
// list of dictionaries at all, not a partial one.
std::optional<std::vector<const PlistValue::Dictionary*>> dictionaries(const PlistValue& value) {
    const auto* array = value.as<PlistValue::Array>();
    if (!array) return std::nullopt;
    std::vector<const PlistValue::Dictionary*> result;
    result.reserve(array->size());
    for (const auto& element : *array) {
        const auto* dictionary = element.as<PlistValue::Dictionary>();
        if (!dictionary) return std::nullopt;
        result.push_back(dictionary);
    }
    return result;
}

std::optional<Display> displayFrom(const PlistValue::Dictionary& dictionary) {
    const auto* identifier = entry(dictionary, "Display Identifier");
    if (!identifier || !identifier->as<std::string>()) return std::nullopt;
    const auto* currentEntry = entry(dictionary, "Current Space");
    if (!currentEntry || !currentEntry->as<PlistValue::Dictionary>()) return std::nullopt;
    const auto current = Discovery::spaceID(*currentEntry->as<PlistValue::Dictionary>());
    if (!current) return std::nullopt;

    Display display{*identifier->as<std::string>(), *current, {}};
    const auto* spacesEntry = entry(dictionary, "Spaces");
    const auto spaces = spacesEntry ? dictionaries(*spacesEntry) : std::nullopt;
    if (!spaces) return display;  // listed, with no desktops
    for (const auto* space : *spaces) {
        const auto id = Discovery::spaceID(*space);
        if (!id) continue;
        const auto* type = entry(*space, "type");
        const auto typeNumber = type ? signedNumber(*type) : std::nullopt;
        display.spaces.push_back(Desktop{*id, typeNumber.value_or(-1)});
    }
    return display;
}

}  // namespace

bool pollUntil(Clock& clock, Clock::Duration timeout, const std::function<bool()>& condition,
               const std::function<bool()>& cancelled) {
    const auto deadline = clock.now() + timeout;
    Clock::Duration interval = firstPollInterval;
    do {
        if (condition()) return true;
        if (cancelled && cancelled()) return false;
        clock.sleep(interval);
        interval = std::min(interval * 2, pollInterval);
    } while (clock.now() < deadline);
    return false;
}

std::optional<std::uint64_t> Discovery::spaceID(const PlistValue::Dictionary& space) {
    for (const char* key : {"ManagedSpaceID", "id64"}) {
        if (const auto* value = entry(space, key)) {
            if (const auto id = unsignedNumber(*value)) return id;
        }
    }
    return std::nullopt;
}

std::vector<Display> Discovery::displaysFrom(const std::optional<PlistValue>& report) {
    if (!report) throw Failure::noDisplay();
    const auto entries = dictionaries(*report);
    if (!entries) throw Failure::noDisplay();
    std::vector<Display> displays;
    for (const auto* dictionary : *entries) {
        if (auto display = displayFrom(*dictionary)) displays.push_back(std::move(*display));
    }
    if (displays.empty()) throw Failure::noDisplay();
    return displays;
}

std::vector<Display> Discovery::managedDisplays() const {
    const auto connection = server_.mainConnection();
    if (!connection) throw Failure::noDisplay();
    return displaysFrom(server_.copyManagedDisplaySpaces(*connection));
}

const Display* Discovery::findExact(const std::vector<Display>& displays, const std::string& identifier) {
    const auto it = std::find_if(displays.begin(), displays.end(),
                                 [&](const Display& d) { return d.identifier == identifier; });
    return it == displays.end() ? nullptr : &*it;
}

std::optional<Display> Discovery::freshDisplay(const std::string& identifier) const {
    try {
        const auto displays = managedDisplays();
        if (const auto* display = findExact(displays, identifier)) return *display;
    } catch (const Failure&) {
        // An unreadable report is one more "not yet" for the caller's poll.
    }
    return std::nullopt;
}

Display Discovery::displayFor(const Element& window, const std::vector<ScreenInfo>& screens,
                              const std::vector<Display>& displays) const {
    const auto position = accessibility_.copyAttribute(window, AXName::position);
    if (position.status != AXStatus::success || !position.value) throw Failure::noDisplay();
    const auto size = accessibility_.copyAttribute(window, AXName::size);
    if (size.status != AXStatus::success || !size.value) throw Failure::noDisplay();
    const auto* origin = std::get_if<Point>(&*position.value);
    const auto* extent = std::get_if<Size>(&*size.value);
    if (!origin || !extent) throw Failure::noDisplay();

    const Rect frame{origin->x, origin->y, extent->width, extent->height};
    std::vector<Rect> frames;
    frames.reserve(screens.size());
    for (const auto& screen : screens) frames.push_back(screen.axFrame);
    const auto index = Geometry::screenIndex(frame, frames);
    if (!index) throw Failure::noDisplay();

    const auto& uuid = screens[*index].uuid;
    const auto it = std::find_if(displays.begin(), displays.end(), [&](const Display& d) {
        return sameDisplayIgnoringCase(d.identifier, uuid);
    });
    if (it == displays.end()) throw Failure::noDisplay();
    return *it;
}

std::vector<std::uint64_t> Discovery::windowSpaces(std::uint32_t window) const {
    const auto connection = server_.mainConnection();
    if (!connection) return {};
    constexpr std::int32_t allSpacesMask = 7;
    const auto report = server_.copySpacesForWindows(*connection, allSpacesMask, {window});
    if (!report) return {};
    const auto* array = report->as<PlistValue::Array>();
    if (!array) return {};
    std::vector<std::uint64_t> spaces;
    spaces.reserve(array->size());
    for (const auto& element : *array) {
        const auto space = unsignedNumber(element);
        if (!space) return {};
        spaces.push_back(*space);
    }
    return spaces;
}

bool Discovery::waitForWindow(std::uint32_t window, std::uint64_t space, Clock::Duration timeout) const {
    return poll(timeout, [&] {
        const auto spaces = windowSpaces(window);
        return std::find(spaces.begin(), spaces.end(), space) != spaces.end();
    });
}

bool Discovery::waitForCurrentSpace(std::uint64_t space, const std::string& display,
                                    Clock::Duration timeout) const {
    return poll(timeout, [&] {
        const auto fresh = freshDisplay(display);
        return fresh && fresh->current == space;
    });
}

std::optional<ScreenInfo> screenInfo(Screens& screens, const Screen& screen, double primaryHeight) {
    auto uuid = screens.displayUUID(screen.displayNumber);
    if (!uuid) return std::nullopt;
    // A display whose bounds are unknown cannot be pointed at; treat it like
    // one without a UUID.
    const auto bounds = screens.displayBounds(screen.displayNumber);
    if (!bounds) return std::nullopt;
    return ScreenInfo{std::move(*uuid), Geometry::toAX(screen.frame, primaryHeight), *bounds};
}

std::vector<ScreenInfo> screenInfos(Screens& screens) {
    const auto list = screens.screens();
    const double primaryHeight = list.empty() ? 0.0 : list.front().frame.h();
    std::vector<ScreenInfo> infos;
    for (const auto& screen : list) {
        if (auto info = screenInfo(screens, screen, primaryHeight)) infos.push_back(std::move(*info));
    }
    return infos;
}

}  // namespace corvane::desktops
