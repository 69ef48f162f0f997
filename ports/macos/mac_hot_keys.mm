#include "ports/macos/mac_hot_keys.hpp"

#include <Carbon/Carbon.h>

namespace corvane::macos {

// The one application event handler, removed with the service.
struct MacHotKeys::Installed {
    EventHandlerUPP procedure = nullptr;
    EventHandlerRef handler = nullptr;
    ~Installed() {
        if (handler) RemoveEventHandler(handler);
        if (procedure) DisposeEventHandlerUPP(procedure);
    }
};

namespace {

OSStatus onHotKeyPressed(EventHandlerCallRef, EventRef event, void* userData) {
    EventHotKeyID pressed{};
    const OSStatus status = GetEventParameter(event, kEventParamDirectObject, typeEventHotKeyID, nullptr,
                                              sizeof pressed, nullptr, &pressed);
    std::optional<HotKeyID> identity;
    if (status == ::noErr) identity = HotKeyID{pressed.signature, pressed.id};
    return static_cast<MacHotKeys*>(userData)->deliver(identity);
}

}  // namespace

MacHotKeys::MacHotKeys() = default;

MacHotKeys::~MacHotKeys() {
    for (const auto& [reference, hotKey] : registered_)
        UnregisterEventHotKey(static_cast<EventHotKeyRef>(hotKey));
}

std::optional<HotKeyService::Reference> MacHotKeys::registerHotKey(std::uint32_t keyCode,
                                                                   std::uint32_t modifiers,
                                                                   HotKeyID identity) {
    EventHotKeyRef hotKey = nullptr;
    const EventHotKeyID carbonIdentity{identity.signature, identity.id};
    const OSStatus status =
        RegisterEventHotKey(keyCode, modifiers, carbonIdentity, GetApplicationEventTarget(), 0, &hotKey);
    if (status != ::noErr || !hotKey) return std::nullopt;
    const Reference reference = next_++;
    registered_.emplace(reference, hotKey);
    return reference;
}

void MacHotKeys::unregisterHotKey(Reference reference) {
    const auto found = registered_.find(reference);
    if (found == registered_.end()) return;
    UnregisterEventHotKey(static_cast<EventHotKeyRef>(found->second));
    registered_.erase(found);
}

void MacHotKeys::installPressHandler(PressHandler handler) {
    handler_ = std::move(handler);
    if (installed_) return;
    // Presses only; releases are not asked for.
    const EventTypeSpec pressed{kEventClassKeyboard, kEventHotKeyPressed};
    auto installed = std::make_unique<Installed>();
    installed->procedure = NewEventHandlerUPP(onHotKeyPressed);
    InstallEventHandler(GetApplicationEventTarget(), installed->procedure, 1, &pressed, this,
                        &installed->handler);
    installed_ = std::move(installed);
}

std::int32_t MacHotKeys::deliver(std::optional<HotKeyID> identity) {
    if (!handler_) return eventNotHandledErr;
    return handler_(identity);
}

}  // namespace corvane::macos
