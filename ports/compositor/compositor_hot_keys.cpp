#include "ports/compositor/compositor_hot_keys.hpp"

#include <algorithm>

namespace corvane::compositor {

std::string bindingName(std::string_view action) {
    std::string name(bindingPrefix);
    for (const char c : action) {
        if (c >= 'A' && c <= 'Z') {
            name += '-';
            name += static_cast<char>(c - 'A' + 'a');
        } else {
            name += c;
        }
    }
    return name;
}

CompositorHotKeys::CompositorHotKeys(AcceleratorSyntax syntax, Namer namer)
    : syntax_(syntax), namer_(std::move(namer)) {}

std::optional<HotKeyService::Reference> CompositorHotKeys::registerHotKey(std::uint32_t keyCode,
                                                                          std::uint32_t modifiers,
                                                                          HotKeyID identity) {
    const auto accel = accelerator(keyCode, modifiers, syntax_);
    if (!accel) return std::nullopt;
    std::string name = bindingName(namer_(identity));
    // One key, one action: the compositor would keep only one of the two.
    for (const auto& [reference, held] : held_)
        if (held.binding.accelerator == *accel || held.binding.name == name) return std::nullopt;
    const Reference reference = nextReference_++;
    held_.emplace(reference, Held{Binding{std::move(name), keyCode, modifiers, *accel}, identity, true});
    if (bindingsChanged_) bindingsChanged_();
    return reference;
}

void CompositorHotKeys::unregisterHotKey(Reference reference) {
    if (held_.erase(reference) && bindingsChanged_) bindingsChanged_();
}

void CompositorHotKeys::installPressHandler(PressHandler handler) {
    pressHandler_ = std::move(handler);
}

void CompositorHotKeys::installChangeHandler(ChangeHandler handler) {
    changeHandler_ = std::move(handler);
}

bool CompositorHotKeys::isActive(Reference reference) const {
    const auto it = held_.find(reference);
    return it != held_.end() && it->second.active;
}

std::vector<Binding> CompositorHotKeys::bindings() const {
    std::vector<Binding> list;
    for (const auto& [reference, held] : held_) list.push_back(held.binding);
    return list;
}

void CompositorHotKeys::refused(const std::vector<std::string>& names) {
    bool changed = false;
    for (auto& [reference, held] : held_) {
        const bool active = std::find(names.begin(), names.end(), held.binding.name) == names.end();
        changed = changed || active != held.active;
        held.active = active;
    }
    // The keys are the same; what changed is which of them reach us.
    if (changed && changeHandler_) changeHandler_(Change::keyboard);
}

bool CompositorHotKeys::press(const std::string& name) {
    for (const auto& [reference, held] : held_) {
        if (held.binding.name != name || !held.active) continue;
        if (pressHandler_) pressHandler_(held.identity);
        return true;
    }
    return false;
}

}  // namespace corvane::compositor
