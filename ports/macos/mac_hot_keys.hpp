#pragma once

#include <map>
#include <memory>

#include "app/platform/hot_key_service.hpp"

namespace corvane::macos {

// System-wide hot keys over the Carbon event manager. Presses arrive through
// one handler on the application's event target, which the Cocoa run loop
// (the one Qt drives) dispatches on the main thread; no event loop of our own.
class MacHotKeys final : public HotKeyService {
public:
    MacHotKeys();
    // Unregisters what is still registered and removes the handler.
    ~MacHotKeys() override;

    std::optional<Reference> registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers,
                                            HotKeyID identity) override;
    void unregisterHotKey(Reference reference) override;
    void installPressHandler(PressHandler handler) override;
    // Carbon hot keys name keys by position and the system keeps them in
    // force across layouts, so registrations never change by themselves.
    void installChangeHandler(ChangeHandler) override {}
    bool isActive(Reference reference) const override { return registered_.count(reference) != 0; }

    // The handler's work, apart from reading the event: for the Carbon callback.
    std::int32_t deliver(std::optional<HotKeyID> identity);

private:
    struct Installed;

    PressHandler handler_;
    std::unique_ptr<Installed> installed_;
    // Our references to the event manager's, which stay inside the .mm.
    std::map<Reference, void*> registered_;
    Reference next_ = 1;
};

}  // namespace corvane::macos
