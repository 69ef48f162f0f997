#include "ports/fake/fake_window_server.hpp"

#include <algorithm>
#include <utility>

#include "ports/fake/fake_call_log.hpp"
#include "ports/fake/fake_element.hpp"

namespace corvane::fake {

namespace {

PlistValue spaceEntry(const FakeWindowServer::Space& space) {
    // Real reports carry both identifier keys with the same value.
    const auto id = static_cast<std::int64_t>(space.id);
    return PlistValue::Dictionary{
        {"ManagedSpaceID", PlistValue::integer(id)},
        {"id64", PlistValue::integer(id)},
        {"type", PlistValue::integer(space.type)},
    };
}

}  // namespace

void FakeWindowServer::setClock(Clock& clock) {
    std::lock_guard lock(mutex_);
    clock_ = &clock;
}

void FakeWindowServer::setCallLog(FakeCallLog& log) {
    std::lock_guard lock(mutex_);
    log_ = &log;
}

Clock::TimePoint FakeWindowServer::now() const {
    return clock_ ? clock_->now() : Clock::TimePoint{};
}

void FakeWindowServer::advance() {
    const auto due = now();
    while (!script_.empty() && script_.begin()->first <= due) {
        auto change = std::move(script_.begin()->second);
        script_.erase(script_.begin());
        change();
    }
}

void FakeWindowServer::schedule(Clock::Duration delay, std::function<void()> change) {
    if (!clock_) {
        change();
        return;
    }
    script_.emplace(now() + delay, std::move(change));
}

FakeWindowServer::Display* FakeWindowServer::find(const std::string& identifier) {
    for (auto& display : displays_) {
        if (display.identifier == identifier) return &display;
    }
    return nullptr;
}

FakeWindowServer::Display* FakeWindowServer::displayHolding(std::uint64_t space) {
    for (auto& display : displays_) {
        for (const auto& s : display.spaces) {
            if (s.id == space) return &display;
        }
    }
    return nullptr;
}

bool FakeWindowServer::missing(Function function) const {
    return std::find(missing_.begin(), missing_.end(), function) != missing_.end();
}

std::uint64_t FakeWindowServer::freshSpaceId() {
    return nextSpaceId_++;
}

// --- Displays and spaces -----------------------------------------------------

void FakeWindowServer::addDisplay(const std::string& identifier, std::vector<Space> spaces,
                                  std::uint64_t current) {
    std::lock_guard lock(mutex_);
    for (const auto& space : spaces) nextSpaceId_ = std::max(nextSpaceId_, space.id + 1);
    nextSpaceId_ = std::max(nextSpaceId_, current + 1);
    displays_.push_back(Display{identifier, std::move(spaces), current, std::nullopt, false});
}

std::vector<std::uint64_t> FakeWindowServer::addDisplayWithDesktops(const std::string& identifier,
                                                                    int count) {
    std::vector<Space> spaces;
    std::vector<std::uint64_t> ids;
    {
        std::lock_guard lock(mutex_);
        for (int i = 0; i < count; ++i) {
            ids.push_back(freshSpaceId());
            spaces.push_back(Space{ids.back(), 0});
        }
    }
    addDisplay(identifier, std::move(spaces), ids.empty() ? 0 : ids.front());
    return ids;
}

void FakeWindowServer::removeDisplay(const std::string& identifier) {
    std::lock_guard lock(mutex_);
    advance();
    std::erase_if(displays_, [&](const Display& d) { return d.identifier == identifier; });
}

void FakeWindowServer::setDisplayBounds(const std::string& identifier, const Rect& bounds) {
    std::lock_guard lock(mutex_);
    if (auto* display = find(identifier)) display->bounds = bounds;
}

std::vector<FakeWindowServer::Space> FakeWindowServer::spaces(const std::string& identifier) {
    std::lock_guard lock(mutex_);
    advance();
    const auto* display = find(identifier);
    return display ? display->spaces : std::vector<Space>{};
}

std::vector<std::uint64_t> FakeWindowServer::desktops(const std::string& identifier) {
    std::vector<std::uint64_t> ids;
    for (const auto& space : spaces(identifier)) {
        if (space.type == 0) ids.push_back(space.id);
    }
    return ids;
}

std::optional<std::uint64_t> FakeWindowServer::currentSpace(const std::string& identifier) {
    std::lock_guard lock(mutex_);
    advance();
    const auto* display = find(identifier);
    if (!display) return std::nullopt;
    return display->current;
}

void FakeWindowServer::showSpace(const std::string& identifier, std::uint64_t space) {
    std::lock_guard lock(mutex_);
    advance();
    if (auto* display = find(identifier)) display->current = space;
}

// --- Windows -------------------------------------------------------------------

void FakeWindowServer::placeWindow(std::uint32_t number, std::vector<std::uint64_t> spaces) {
    std::lock_guard lock(mutex_);
    advance();
    windows_[number] = std::move(spaces);
}

std::vector<std::uint64_t> FakeWindowServer::spacesOfWindow(std::uint32_t number) {
    std::lock_guard lock(mutex_);
    advance();
    const auto it = windows_.find(number);
    return it == windows_.end() ? std::vector<std::uint64_t>{} : it->second;
}

void FakeWindowServer::mapWindowId(std::uint32_t windowId, std::uint32_t number) {
    std::lock_guard lock(mutex_);
    windowNumbers_[windowId] = number;
}

void FakeWindowServer::setWindowNumberStatus(std::int32_t status) {
    std::lock_guard lock(mutex_);
    windowNumberStatus_ = status;
}

// --- Availability ----------------------------------------------------------------

void FakeWindowServer::setAvailability(Availability availability) {
    std::lock_guard lock(mutex_);
    availability_ = availability;
}

void FakeWindowServer::setFunctionMissing(Function function, bool isMissing) {
    std::lock_guard lock(mutex_);
    std::erase(missing_, function);
    if (isMissing) missing_.push_back(function);
}

// --- Script ------------------------------------------------------------------------

void FakeWindowServer::setArrivalDelay(Clock::Duration delay) {
    std::lock_guard lock(mutex_);
    arrivalDelay_ = delay;
}

void FakeWindowServer::setMovesArrive(bool arrive) {
    std::lock_guard lock(mutex_);
    movesArrive_ = arrive;
}

void FakeWindowServer::setMoveShowsTarget(bool shows) {
    std::lock_guard lock(mutex_);
    moveShowsTarget_ = shows;
}

void FakeWindowServer::setSwitchStatus(std::int32_t status) {
    std::lock_guard lock(mutex_);
    switchStatus_ = status;
}

void FakeWindowServer::setSwitchDelay(Clock::Duration delay) {
    std::lock_guard lock(mutex_);
    switchDelay_ = delay;
}

void FakeWindowServer::setSwitchesTakeEffect(bool take) {
    std::lock_guard lock(mutex_);
    switchesTakeEffect_ = take;
}

void FakeWindowServer::scriptGesturePasses(std::vector<GesturePass> passes) {
    std::lock_guard lock(mutex_);
    gesturePasses_ = std::move(passes);
}

void FakeWindowServer::desktopRequested(const Rect& bounds) {
    std::lock_guard lock(mutex_);
    advance();
    Display* target = nullptr;
    const bool anyBounds = std::any_of(displays_.begin(), displays_.end(),
                                       [](const Display& d) { return d.bounds.has_value(); });
    if (anyBounds) {
        for (auto& display : displays_) {
            if (display.bounds == bounds) target = &display;
        }
    } else if (!displays_.empty()) {
        target = &displays_.front();
    }
    if (!target) return;

    GesturePass pass;
    if (!gesturePasses_.empty()) {
        pass = gesturePasses_.front();
        gesturePasses_.erase(gesturePasses_.begin());
    }
    const std::string identifier = target->identifier;
    if (pass.vanishFor) {
        target->hidden = true;
        schedule(*pass.vanishFor, [this, identifier] {
            if (auto* display = find(identifier)) display->hidden = false;
        });
    }
    if (pass.desktopsAdded > 0) {
        schedule(pass.delay, [this, identifier, added = pass.desktopsAdded] {
            auto* display = find(identifier);
            if (!display) return;
            for (int i = 0; i < added; ++i) display->spaces.push_back(Space{freshSpaceId(), 0});
        });
    }
}

// --- Malformed reports ----------------------------------------------------------------

void FakeWindowServer::replaceDisplayReport(PlistValue report) {
    std::lock_guard lock(mutex_);
    displayReport_ = std::move(report);
}

void FakeWindowServer::replaceWindowSpacesReport(PlistValue report) {
    std::lock_guard lock(mutex_);
    windowSpacesReport_ = std::move(report);
}

void FakeWindowServer::clearReplacedReports() {
    std::lock_guard lock(mutex_);
    displayReport_.reset();
    windowSpacesReport_.reset();
}

void FakeWindowServer::failDisplayReportsFrom(int read) {
    std::lock_guard lock(mutex_);
    failDisplayReportsFrom_ = read;
}

// --- What was asked ----------------------------------------------------------------------

int FakeWindowServer::displayReportReads() {
    std::lock_guard lock(mutex_);
    return displayReportReads_;
}

std::vector<FakeWindowServer::SwitchRequest> FakeWindowServer::switchRequests() {
    std::lock_guard lock(mutex_);
    return switchRequests_;
}

std::vector<FakeWindowServer::MoveRequest> FakeWindowServer::moveRequests() {
    std::lock_guard lock(mutex_);
    return moveRequests_;
}

std::vector<std::int32_t> FakeWindowServer::windowSpacesMasks() {
    std::lock_guard lock(mutex_);
    return windowSpacesMasks_;
}

// --- WindowServer ------------------------------------------------------------------------------

WindowServer::Availability FakeWindowServer::availability() {
    std::lock_guard lock(mutex_);
    return availability_;
}

std::optional<std::int32_t> FakeWindowServer::mainConnection() {
    std::lock_guard lock(mutex_);
    if (missing(Function::mainConnection)) return std::nullopt;
    return connectionNumber;
}

std::optional<PlistValue> FakeWindowServer::copyManagedDisplaySpaces(std::int32_t) {
    std::lock_guard lock(mutex_);
    advance();
    if (missing(Function::managedDisplaySpaces)) return std::nullopt;
    ++displayReportReads_;
    if (failDisplayReportsFrom_ && displayReportReads_ >= *failDisplayReportsFrom_) return std::nullopt;
    if (displayReport_) return displayReport_;

    PlistValue::Array report;
    for (const auto& display : displays_) {
        if (display.hidden) continue;
        PlistValue::Array spaces;
        std::int64_t currentType = 0;
        for (const auto& space : display.spaces) {
            spaces.push_back(spaceEntry(space));
            if (space.id == display.current) currentType = space.type;
        }
        report.push_back(PlistValue::Dictionary{
            {"Display Identifier", display.identifier},
            {"Current Space", spaceEntry(Space{display.current, currentType})},
            {"Spaces", std::move(spaces)},
        });
    }
    return PlistValue(std::move(report));
}

std::optional<PlistValue> FakeWindowServer::copySpacesForWindows(std::int32_t, std::int32_t mask,
                                                                 const std::vector<std::uint32_t>& windows) {
    std::lock_guard lock(mutex_);
    advance();
    if (missing(Function::spacesForWindows)) return std::nullopt;
    windowSpacesMasks_.push_back(mask);
    if (windowSpacesReport_) return windowSpacesReport_;
    PlistValue::Array spaces;
    for (const auto number : windows) {
        const auto it = windows_.find(number);
        if (it == windows_.end()) continue;
        for (const auto space : it->second)
            spaces.push_back(PlistValue::integer(static_cast<std::int64_t>(space)));
    }
    return PlistValue(std::move(spaces));
}

std::optional<std::int32_t> FakeWindowServer::setCurrentSpace(std::int32_t,
                                                              const std::string& displayIdentifier,
                                                              std::uint64_t space) {
    std::lock_guard lock(mutex_);
    advance();
    if (missing(Function::setCurrentSpace)) return std::nullopt;
    switchRequests_.push_back(SwitchRequest{displayIdentifier, space});
    if (log_) log_->record("setCurrentSpace " + displayIdentifier + " " + std::to_string(space));
    if (switchStatus_ != 0) return switchStatus_;
    if (switchesTakeEffect_) {
        schedule(switchDelay_, [this, displayIdentifier, space] {
            if (auto* display = find(displayIdentifier)) display->current = space;
        });
    }
    return 0;
}

std::optional<WindowServer::WindowNumber> FakeWindowServer::windowNumber(const Element& window) {
    std::lock_guard lock(mutex_);
    if (missing(Function::windowNumber)) return std::nullopt;
    const auto* fake = window.as<FakeElement>();
    if (!fake || fake->kind != FakeElement::Kind::window) {
        return WindowNumber{static_cast<std::int32_t>(-25201), 0};  // illegal argument
    }
    if (windowNumberStatus_ != 0) return WindowNumber{windowNumberStatus_, 0};
    const auto it = windowNumbers_.find(fake->windowId);
    return WindowNumber{0, it == windowNumbers_.end() ? fake->windowId : it->second};
}

bool FakeWindowServer::performBridgedMove(const std::vector<std::uint32_t>& windows, std::uint64_t space) {
    std::lock_guard lock(mutex_);
    advance();
    if (missing(Function::bridgedMove)) return false;
    moveRequests_.push_back(MoveRequest{windows, space});
    if (log_) {
        std::string line = "performBridgedMove";
        for (const auto window : windows) line += " " + std::to_string(window);
        log_->record(line + " " + std::to_string(space));
    }
    if (!movesArrive_) return true;
    schedule(arrivalDelay_, [this, windows, space] {
        for (const auto number : windows) windows_[number] = {space};
        if (moveShowsTarget_) {
            if (auto* display = displayHolding(space)) display->current = space;
        }
    });
    return true;
}

}  // namespace corvane::fake
