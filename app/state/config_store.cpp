#include "app/state/config_store.hpp"

#include <string>
#include <utility>

#include "app/desktops/native_spaces.hpp"
#include "app/placement/window_mover.hpp"
#include "app/state/hot_keys.hpp"

namespace corvane {

namespace {

constexpr std::string_view enabledKey = "enabled";
constexpr std::string_view configKey = "config";
constexpr const char* switchedOffReason = "Corvane is switched off; turn it on with --enable";

void route(WindowMover& mover, NativeSpaces& spaces, const WindowAction& action, std::int64_t gap,
           OutcomeHandler done = {}) {
    if (const auto space = action.asSpace()) {
        spaces.moveFocusedWindow(*space, std::move(done));
    } else if (const auto placement = action.asPlacement()) {
        const ActionOutcome outcome = mover.move(*placement, static_cast<double>(gap));
        if (done) done(outcome);
    }
}

}  // namespace

struct ConfigStore::Private {
    Private(Platform& platform, WindowMover& mover, NativeSpaces& spaces)
        : platform(platform), mover(mover), spaces(spaces), config(Config::defaults()) {}

    Platform& platform;
    WindowMover& mover;
    NativeSpaces& spaces;

    bool isEnabled = true;
    Config config;
    std::unordered_set<WindowAction> unavailable;
    // The part of `unavailable` the last pass refused; the rest went out of
    // force since.
    std::unordered_set<WindowAction> refused;
    std::optional<WindowAction> recording;
    std::unique_ptr<HotKeys> hotKeys;
    bool isTourActive = false;

    // The stored document could not be read and this run uses the defaults.
    // Its bytes are kept aside before the first write replaces them.
    bool storedConfigUnreadable = false;

    void saveEnabled() { platform.defaults.setBool(enabledKey, isEnabled); }

    void saveConfig() {
        if (storedConfigUnreadable) {
            storedConfigUnreadable = false;
            if (const auto where = platform.defaults.keepAside(configKey)) {
                platform.feedback.log("stored configuration could not be read; kept a copy at " + *where);
            } else {
                platform.feedback.log(
                    "stored configuration could not be read, and no copy of it could be kept");
            }
        }
        platform.defaults.setBytes(configKey, config.encoded());
    }
};

std::shared_ptr<ConfigStore> ConfigStore::create(Platform& platform, WindowMover& mover,
                                                 NativeSpaces& spaces) {
    // The constructor is private so that every store is shared (the dispatch
    // below holds it weakly); make_shared cannot reach it.
    std::shared_ptr<ConfigStore> store(new ConfigStore(platform, mover, spaces));
    std::weak_ptr<ConfigStore> weak = store;
    // The dispatch does not look at isEnabled: while off, no hot key is
    // registered, so no press arrives. A press that comes after the store is
    // gone still places the window, without the configured gap.
    store->d_->hotKeys =
        std::make_unique<HotKeys>(platform.hotKeys, [weak, &mover, &spaces](const WindowAction& action) {
            const auto self = weak.lock();
            route(mover, spaces, action, self ? self->config().gap : 0);
        });
    platform.hotKeys.installChangeHandler([weak](HotKeyService::Change change) {
        if (const auto self = weak.lock()) self->registrationsChanged(change);
    });
    store->applyHotKeys();
    return store;
}

ConfigStore::ConfigStore(Platform& platform, WindowMover& mover, NativeSpaces& spaces)
    : d_(std::make_unique<Private>(platform, mover, spaces)) {
    d_->isEnabled = platform.defaults.boolValue(enabledKey).value_or(true);
    if (const auto bytes = platform.defaults.bytesValue(configKey); bytes && !bytes->empty()) {
        if (auto stored = Config::decodeIfReadable(*bytes)) {
            d_->config = std::move(*stored);
        } else {
            d_->storedConfigUnreadable = true;
        }
    }
}

// Releases the registry without unregistering: the hot keys stay with the
// process, and presses still reach the dispatch.
ConfigStore::~ConfigStore() = default;

bool ConfigStore::isEnabled() const {
    return d_->isEnabled;
}

void ConfigStore::setEnabled(bool enabled) {
    if (enabled == d_->isEnabled) return;
    d_->isEnabled = enabled;
    d_->saveEnabled();
    applyHotKeys();
    enabledChanged.emit(enabled);
    changed.emit();
}

const Config& ConfigStore::config() const {
    return d_->config;
}

void ConfigStore::setConfig(const Config& config) {
    if (config == d_->config) return;
    d_->config = config;
    d_->saveConfig();
    // While a shortcut is being recorded the typed keys must trigger nothing;
    // ending the recording registers the new set.
    if (!d_->recording) applyHotKeys();
    changed.emit();
}

const std::unordered_set<WindowAction>& ConfigStore::unavailable() const {
    return d_->unavailable;
}

const std::optional<WindowAction>& ConfigStore::recording() const {
    return d_->recording;
}

void ConfigStore::setRecording(std::optional<WindowAction> action) {
    if (action == d_->recording) return;
    d_->recording = std::move(action);
    if (!d_->recording) {
        applyHotKeys();
    } else if (d_->hotKeys) {
        // `unavailable` stays as it was: the settings rows keep their notes.
        d_->hotKeys->unregisterAll();
    }
    changed.emit();
}

bool ConfigStore::isTourActive() const {
    return d_->isTourActive;
}

void ConfigStore::setTourActive(bool active) {
    d_->isTourActive = active;
}

void ConfigStore::applyHotKeys() {
    Private& d = *d_;
    if (!d.isEnabled || d.isTourActive) {
        if (d.hotKeys) d.hotKeys->unregisterAll();
        d.unavailable.clear();
        d.refused.clear();
        changed.emit();
        return;
    }

    auto shortcuts = d.config.allShortcuts();
    // Without the window server's desktop functions the desktop actions are
    // hidden: neither registered nor reported.
    if (!d.spaces.isAvailable()) {
        std::erase_if(shortcuts, [](const auto& entry) { return entry.first.asSpace().has_value(); });
    }
    if (!d.hotKeys) {
        d.unavailable.clear();
        d.refused.clear();
        changed.emit();
        return;
    }

    d.hotKeys->unregisterAll();
    std::unordered_set<WindowAction> refused;
    const auto& actions = HotKeys::actions();
    for (std::size_t position = 0; position < actions.size(); ++position) {
        const auto it = shortcuts.find(actions[position]);
        if (it == shortcuts.end()) continue;
        if (!d.hotKeys->registerHotKey(position, it->second)) refused.insert(actions[position]);
    }
    d.refused = refused;
    d.unavailable = std::move(refused);
    changed.emit();
}

void ConfigStore::registrationsChanged(HotKeyService::Change change) {
    Private& d = *d_;
    // Off, in the tour or recording, nothing of ours is registered; the pass
    // that ends that state sees the system as it is then.
    if (!d.isEnabled || d.isTourActive || d.recording || !d.hotKeys) return;
    if (change == HotKeyService::Change::environment) {
        applyHotKeys();
        return;
    }
    // Only what the last pass could not register is tried again: the
    // shortcuts in force stay as the system moved them, never released.
    const auto shortcuts = d.config.allShortcuts();
    const auto& actions = HotKeys::actions();
    for (std::size_t position = 0; position < actions.size(); ++position) {
        if (!d.refused.count(actions[position])) continue;
        const auto it = shortcuts.find(actions[position]);
        if (it != shortcuts.end() && d.hotKeys->registerHotKey(position, it->second))
            d.refused.erase(actions[position]);
    }
    auto unavailable = d.refused;
    for (const std::size_t position : d.hotKeys->positionsOutOfForce()) unavailable.insert(actions[position]);
    if (unavailable == d.unavailable) return;
    d.unavailable = std::move(unavailable);
    changed.emit();
}

void ConfigStore::resetShortcuts() {
    // Two assignments, each saved and registered on its own, so that an
    // unchanged half writes nothing.
    Config withPlacements = d_->config;
    withPlacements.shortcuts = Config::defaults().shortcuts;
    setConfig(withPlacements);
    Config withSpaces = d_->config;
    withSpaces.spaceShortcuts = Config::defaults().spaceShortcuts;
    setConfig(withSpaces);
}

bool ConfigStore::launchAtLogin() {
    return d_->platform.loginItem.isEnabled();
}

void ConfigStore::setLaunchAtLogin(bool enabled) {
    LoginItem& item = d_->platform.loginItem;
    const auto error = enabled ? item.registerItem() : item.unregisterItem();
    if (error) d_->platform.feedback.log("launch-at-login toggle failed: " + *error);
    // Views re-read the system's actual status, whatever happened.
    changed.emit();
}

void ConfigStore::perform(const WindowAction& action, OutcomeHandler done) {
    if (!d_->isEnabled) {
        if (done) done(ActionOutcome::failure(switchedOffReason));
        return;
    }
    route(d_->mover, d_->spaces, action, d_->config.gap, std::move(done));
}

}  // namespace corvane
