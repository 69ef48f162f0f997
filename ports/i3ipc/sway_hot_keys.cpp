#include "ports/i3ipc/sway_hot_keys.hpp"

#include "ports/i3ipc/binding_keys.hpp"
#include "ports/i3ipc/config_bindings.hpp"

namespace corvane::i3ipc {

SwayHotKeys::SwayHotKeys(IpcSession& session, Namer namer) : session_(session), namer_(std::move(namer)) {}

SwayHotKeys::~SwayHotKeys() {
    for (const auto& [reference, binding] : bindings_)
        if (binding.active) session_.run("unbindsym " + binding.combo);
}

bool SwayHotKeys::bind(const Binding& binding) {
    return session_.run("bindsym --no-repeat " + binding.combo + " " + binding.command).success;
}

std::optional<HotKeyService::Reference> SwayHotKeys::registerHotKey(std::uint32_t keyCode,
                                                                    std::uint32_t modifiers,
                                                                    HotKeyID identity) {
    const auto combo = bindingCombo(keyCode, modifiers);
    if (!combo) return std::nullopt;
    const std::string canonical = canonicalCombo(*combo);
    for (const auto& [reference, held] : bindings_)
        if (canonicalCombo(held.combo) == canonical) return std::nullopt;
    // Binding over the user's own key would silently take it from them.
    if (configuredCombos(session_.configText()).count(canonical)) return std::nullopt;
    Binding binding{*combo, std::string(commandPrefix) + namer_(identity), identity, true};
    if (!bind(binding)) return std::nullopt;
    const Reference reference = nextReference_++;
    bindings_.emplace(reference, std::move(binding));
    return reference;
}

void SwayHotKeys::unregisterHotKey(Reference reference) {
    const auto it = bindings_.find(reference);
    if (it == bindings_.end()) return;
    session_.run("unbindsym " + it->second.combo);
    bindings_.erase(it);
}

void SwayHotKeys::installPressHandler(PressHandler handler) {
    pressHandler_ = std::move(handler);
}

void SwayHotKeys::installChangeHandler(ChangeHandler handler) {
    changeHandler_ = std::move(handler);
}

bool SwayHotKeys::isActive(Reference reference) const {
    const auto it = bindings_.find(reference);
    return it != bindings_.end() && it->second.active;
}

bool SwayHotKeys::handleBinding(const std::string& command) {
    if (command.rfind(commandPrefix, 0) != 0) return false;
    for (const auto& [reference, binding] : bindings_) {
        if (binding.command != command || !binding.active) continue;
        if (pressHandler_) pressHandler_(binding.identity);
        return true;
    }
    return false;
}

void SwayHotKeys::reloaded() {
    // The new configuration may bind one of our keys itself; that binding
    // stays out of force until the shortcuts are decided again.
    const auto configured = configuredCombos(session_.configText());
    for (auto& [reference, binding] : bindings_)
        binding.active = !configured.count(canonicalCombo(binding.combo)) && bind(binding);
    if (changeHandler_) changeHandler_(Change::environment);
}

}  // namespace corvane::i3ipc
