#include "ports/fake/fake_accessibility.hpp"

#include <algorithm>
#include <cmath>

#include "ports/fake/fake_element.hpp"

namespace corvane::fake {

namespace {

std::string line(std::string_view operation, std::string_view attribute) {
    std::string text(operation);
    text += ' ';
    text += attribute;
    return text;
}

// Window hash values that differ from each other and from application hashes.
std::size_t defaultWindowHash(std::uint32_t window) {
    return 0x5100000u + window * 31u;
}

}  // namespace

FakeAccessibility::FakeAccessibility(FakeCallLog& log) : log_(log) {}

bool FakeAccessibility::isProcessTrusted() {
    log_.record("isProcessTrusted");
    std::lock_guard lock(mutex_);
    return trusted_;
}

void FakeAccessibility::requestTrust() {
    log_.record("requestTrust");
    std::lock_guard lock(mutex_);
    ++trustRequests_;
}

Element FakeAccessibility::applicationElement(const Application& application) {
    log_.record("applicationElement " + std::to_string(application.pid));
    return appElement(application.pid);
}

AXCopyResult FakeAccessibility::copyAttribute(const Element& element, std::string_view attribute) {
    log_.record(line("copyAttribute", attribute));
    std::lock_guard lock(mutex_);
    if (!trusted_) return {AXStatus::apiDisabled, std::nullopt};
    const Node* node = nodeFor(element);
    if (!node) return {AXStatus::invalidElement, std::nullopt};
    if (const auto it = node->unreadable.find(attribute); it != node->unreadable.end()) {
        return {it->second, std::nullopt};
    }
    auto value = readLocked(element, attribute);
    if (!value) {
        const bool isFocusQuery = attribute == AXName::focusedWindow;
        return {isFocusQuery ? AXStatus::noValue : AXStatus::attributeUnsupported, std::nullopt};
    }
    return {AXStatus::success, std::move(value)};
}

AXStatus FakeAccessibility::setAttribute(const Element& element, std::string_view attribute,
                                         const AXValue& value) {
    log_.record(line("setAttribute", attribute) + " " + formatValue(value));
    std::lock_guard lock(mutex_);
    if (!trusted_) return AXStatus::apiDisabled;
    if (!nodeFor(element)) return AXStatus::invalidElement;
    if (rejectsWrites(element)) return AXStatus::cannotComplete;
    return writeLocked(element, attribute, value);
}

AXStatus FakeAccessibility::performAction(const Element& element, std::string_view action) {
    log_.record(line("performAction", action));
    std::lock_guard lock(mutex_);
    if (!trusted_) return AXStatus::apiDisabled;
    const auto* fake = element.as<FakeElement>();
    if (!fake || !nodeFor(element)) return AXStatus::invalidElement;
    if (fake->kind != FakeElement::Kind::window || action != AXName::raise)
        return AXStatus::actionUnsupported;
    if (rejectsWrites(element)) return AXStatus::cannotComplete;
    windows_.at(fake->windowId).actions.emplace_back(action);
    return AXStatus::success;
}

void FakeAccessibility::setMessagingTimeout(const Element& element, float seconds) {
    log_.record("setMessagingTimeout " + formatNumber(seconds));
    std::lock_guard lock(mutex_);
    if (Node* node = nodeFor(element)) node->timeout = seconds;
}

class FakeAccessibility::WatchEnd final : public Observation {
public:
    WatchEnd(FakeAccessibility& owner, std::uint64_t id) : owner_(owner), id_(id) {}
    ~WatchEnd() override { owner_.endWatch(id_); }

private:
    FakeAccessibility& owner_;
    std::uint64_t id_;
};

std::unique_ptr<Observation> FakeAccessibility::observeDestruction(const Element& window,
                                                                   std::function<void()> destroyed) {
    const auto* fake = window.as<FakeElement>();
    log_.record("observeDestruction window " + std::to_string(fake ? fake->windowId : 0));
    std::lock_guard lock(mutex_);
    if (!fake || fake->kind != FakeElement::Kind::window || !nodeFor(window)) return nullptr;
    const std::uint64_t id = nextWatch_++;
    watches_.emplace(id, Watch{fake->windowId, std::move(destroyed)});
    return std::make_unique<WatchEnd>(*this, id);
}

void FakeAccessibility::endWatch(std::uint64_t id) {
    std::lock_guard lock(mutex_);
    watches_.erase(id);
}

std::size_t FakeAccessibility::watchCount() const {
    std::lock_guard lock(mutex_);
    return watches_.size();
}

void FakeAccessibility::setSizeIncrement(std::uint32_t window, Size increment) {
    std::lock_guard lock(mutex_);
    if (const auto it = windows_.find(window); it != windows_.end()) it->second.sizeIncrement = increment;
}

// --- Scripting ---

void FakeAccessibility::setTrusted(bool trusted) {
    std::lock_guard lock(mutex_);
    trusted_ = trusted;
}

int FakeAccessibility::trustRequests() const {
    std::lock_guard lock(mutex_);
    return trustRequests_;
}

void FakeAccessibility::addApplication(pid_t pid) {
    std::lock_guard lock(mutex_);
    apps_.try_emplace(pid);
}

std::uint32_t FakeAccessibility::addWindow(pid_t pid, const Rect& frame,
                                           std::optional<std::size_t> hashValue) {
    std::lock_guard lock(mutex_);
    apps_.try_emplace(pid);
    const std::uint32_t id = nextWindow_++;
    Window& window = windows_[id];
    window.pid = pid;
    window.frame = frame;
    window.hashValue = hashValue.value_or(defaultWindowHash(id));
    return id;
}

void FakeAccessibility::removeWindow(std::uint32_t window) {
    std::vector<std::function<void()>> told;
    {
        std::lock_guard lock(mutex_);
        const auto it = windows_.find(window);
        if (it == windows_.end()) return;
        App& app = apps_.at(it->second.pid);
        if (app.focusedWindow == window) app.focusedWindow.reset();
        windows_.erase(it);
        // A watch ends with the window; a watcher may end other watches
        // from its callback, so none is called with the lock held.
        for (auto w = watches_.begin(); w != watches_.end();) {
            if (w->second.window != window) {
                ++w;
                continue;
            }
            told.push_back(std::move(w->second.destroyed));
            w = watches_.erase(w);
        }
    }
    for (auto& destroyed : told) {
        if (destroyed) destroyed();
    }
}

void FakeAccessibility::focusWindow(std::uint32_t window) {
    std::lock_guard lock(mutex_);
    const auto it = windows_.find(window);
    if (it == windows_.end()) return;
    apps_.at(it->second.pid).focusedWindow = window;
    for (auto& [id, other] : windows_) {
        if (other.pid == it->second.pid) other.isFocused = other.isMain = (id == window);
    }
}

void FakeAccessibility::clearFocusedWindow(pid_t pid) {
    std::lock_guard lock(mutex_);
    if (const auto it = apps_.find(pid); it != apps_.end()) it->second.focusedWindow.reset();
}

void FakeAccessibility::setWindowHash(std::uint32_t window, std::size_t hashValue) {
    std::lock_guard lock(mutex_);
    if (const auto it = windows_.find(window); it != windows_.end()) it->second.hashValue = hashValue;
}

Element FakeAccessibility::windowElement(std::uint32_t window) const {
    std::lock_guard lock(mutex_);
    return windowElementLocked(window);
}

Element FakeAccessibility::appElement(pid_t pid) {
    return FakeElement::application(pid);
}

std::optional<Rect> FakeAccessibility::windowFrame(std::uint32_t window) const {
    std::lock_guard lock(mutex_);
    const auto it = windows_.find(window);
    if (it == windows_.end()) return std::nullopt;
    return it->second.frame;
}

void FakeAccessibility::setWindowFrame(std::uint32_t window, const Rect& frame) {
    std::lock_guard lock(mutex_);
    if (const auto it = windows_.find(window); it != windows_.end()) it->second.frame = frame;
}

void FakeAccessibility::setMaximumSize(std::uint32_t window, Size size) {
    std::lock_guard lock(mutex_);
    if (const auto it = windows_.find(window); it != windows_.end()) it->second.maximumSize = size;
}

void FakeAccessibility::setAttributeValue(const Element& element, std::string_view attribute, AXValue value) {
    std::lock_guard lock(mutex_);
    if (Node* node = nodeFor(element))
        node->overrides.insert_or_assign(std::string(attribute), std::move(value));
}

void FakeAccessibility::makeUnreadable(const Element& element, std::string_view attribute, AXStatus status) {
    std::lock_guard lock(mutex_);
    if (Node* node = nodeFor(element)) node->unreadable.insert_or_assign(std::string(attribute), status);
}

void FakeAccessibility::setEnhancedUserInterface(pid_t pid, bool on) {
    {
        std::lock_guard lock(mutex_);
        apps_.try_emplace(pid);
    }
    setAttributeValue(appElement(pid), AXName::enhancedUserInterface, on);
}

std::optional<AXValue> FakeAccessibility::attributeValue(const Element& element,
                                                         std::string_view attribute) const {
    std::lock_guard lock(mutex_);
    if (!nodeFor(element)) return std::nullopt;
    return readLocked(element, attribute);
}

void FakeAccessibility::setRejectsWrites(pid_t pid, bool rejects) {
    std::lock_guard lock(mutex_);
    apps_[pid].rejectsWrites = rejects;
}

std::vector<std::string> FakeAccessibility::actionsPerformed(std::uint32_t window) const {
    std::lock_guard lock(mutex_);
    const auto it = windows_.find(window);
    if (it == windows_.end()) return {};
    return it->second.actions;
}

std::optional<float> FakeAccessibility::messagingTimeout(const Element& element) const {
    std::lock_guard lock(mutex_);
    const Node* node = nodeFor(element);
    return node ? node->timeout : std::nullopt;
}

// --- Internals (mutex held) ---

FakeAccessibility::Node* FakeAccessibility::nodeFor(const Element& element) {
    return const_cast<Node*>(std::as_const(*this).nodeFor(element));
}

const FakeAccessibility::Node* FakeAccessibility::nodeFor(const Element& element) const {
    const auto* fake = element.as<FakeElement>();
    if (!fake) return nullptr;
    if (fake->kind == FakeElement::Kind::application) {
        const auto it = apps_.find(fake->pid);
        return it == apps_.end() ? nullptr : &it->second;
    }
    const auto it = windows_.find(fake->windowId);
    if (it == windows_.end() || it->second.pid != fake->pid) return nullptr;
    return &it->second;
}

bool FakeAccessibility::rejectsWrites(const Element& element) const {
    const auto* fake = element.as<FakeElement>();
    const auto it = apps_.find(fake->pid);
    return it != apps_.end() && it->second.rejectsWrites;
}

Element FakeAccessibility::windowElementLocked(std::uint32_t window) const {
    const auto it = windows_.find(window);
    if (it == windows_.end()) return FakeElement::window(0, window, defaultWindowHash(window));
    return FakeElement::window(it->second.pid, window, it->second.hashValue);
}

std::optional<AXValue> FakeAccessibility::readLocked(const Element& element,
                                                     std::string_view attribute) const {
    const Node* node = nodeFor(element);
    if (const auto it = node->overrides.find(attribute); it != node->overrides.end()) return it->second;

    const auto* fake = element.as<FakeElement>();
    if (fake->kind == FakeElement::Kind::application) {
        const App& app = apps_.at(fake->pid);
        if (attribute == AXName::focusedWindow && app.focusedWindow && windows_.count(*app.focusedWindow)) {
            return AXValue(windowElementLocked(*app.focusedWindow));
        }
        return std::nullopt;
    }
    const Window& window = windows_.at(fake->windowId);
    if (attribute == AXName::position) return AXValue(Point{window.frame.x, window.frame.y});
    if (attribute == AXName::size) return AXValue(Size{window.frame.width, window.frame.height});
    if (attribute == AXName::main) return AXValue(window.isMain);
    if (attribute == AXName::focused) return AXValue(window.isFocused);
    if (attribute == AXName::sizeIncrement && window.sizeIncrement) return AXValue(*window.sizeIncrement);
    return std::nullopt;
}

AXStatus FakeAccessibility::writeLocked(const Element& element, std::string_view attribute,
                                        const AXValue& value) {
    const auto* fake = element.as<FakeElement>();
    Node* node = nodeFor(element);
    if (fake->kind == FakeElement::Kind::application) {
        // An application only has the attributes a test gave it.
        const auto it = node->overrides.find(attribute);
        if (it == node->overrides.end()) return AXStatus::attributeUnsupported;
        it->second = value;
        return AXStatus::success;
    }

    Window& window = windows_.at(fake->windowId);
    if (attribute == AXName::position) {
        const auto* point = std::get_if<Point>(&value);
        if (!point) return AXStatus::illegalArgument;
        window.frame.x = point->x;
        window.frame.y = point->y;
        return AXStatus::success;
    }
    if (attribute == AXName::size) {
        const auto* size = std::get_if<Size>(&value);
        if (!size) return AXStatus::illegalArgument;
        Size applied = *size;
        if (window.maximumSize) {
            applied.width = std::min(applied.width, window.maximumSize->width);
            applied.height = std::min(applied.height, window.maximumSize->height);
        }
        if (const auto& step = window.sizeIncrement) {
            if (step->width > 0) applied.width = std::floor(applied.width / step->width) * step->width;
            if (step->height > 0) applied.height = std::floor(applied.height / step->height) * step->height;
        }
        window.frame.width = applied.width;
        window.frame.height = applied.height;
        return AXStatus::success;
    }
    if (attribute == AXName::main || attribute == AXName::focused) {
        const auto* flag = std::get_if<bool>(&value);
        if (!flag) return AXStatus::illegalArgument;
        if (*flag) {
            for (auto& [id, other] : windows_) {
                if (other.pid != window.pid) continue;
                if (attribute == AXName::main)
                    other.isMain = (id == fake->windowId);
                else
                    other.isFocused = (id == fake->windowId);
            }
            if (attribute == AXName::focused) apps_.at(window.pid).focusedWindow = fake->windowId;
        } else if (attribute == AXName::main) {
            window.isMain = false;
        } else {
            window.isFocused = false;
        }
        return AXStatus::success;
    }
    const auto it = node->overrides.find(attribute);
    if (it == node->overrides.end()) return AXStatus::attributeUnsupported;
    it->second = value;
    return AXStatus::success;
}

}  // namespace corvane::fake
