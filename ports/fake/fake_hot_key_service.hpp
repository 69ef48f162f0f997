#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "app/platform/hot_key_service.hpp"
#include "ports/fake/fake_call_log.hpp"

namespace corvane::fake {

// Hot keys held in memory. Tests refuse chosen combinations (another program
// "holds" them) and play the system by delivering presses to the installed
// handler. Logged as "registerHotKey <keyCode> <modifiers> <id>",
// "unregisterHotKey <reference>" and "installPressHandler". Thread-safe.
class FakeHotKeyService final : public HotKeyService {
public:
    struct Registration {
        Reference reference = 0;
        std::uint32_t keyCode = 0;
        std::uint32_t modifiers = 0;
        HotKeyID identity;
    };

    explicit FakeHotKeyService(FakeCallLog& log);

    std::optional<Reference> registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers,
                                            HotKeyID identity) override;
    void unregisterHotKey(Reference reference) override;
    void installPressHandler(PressHandler handler) override;
    void installChangeHandler(ChangeHandler handler) override;
    bool isActive(Reference reference) const override;

    // --- Scripting (not logged) ---

    // Registrations of this combination fail until allowed again.
    void refuse(std::uint32_t keyCode, std::uint32_t modifiers);
    void allow(std::uint32_t keyCode, std::uint32_t modifiers);

    // What is registered now, in registration order. References are never reused.
    std::vector<Registration> registrations() const;
    bool isRegistered(std::uint32_t keyCode, std::uint32_t modifiers) const;
    int handlersInstalled() const;

    // Plays a keyboard change: registrations of this combination go out of
    // force (or come back), then the change handler is told.
    void setInForce(std::uint32_t keyCode, std::uint32_t modifiers, bool inForce);
    // Tells the change handler of a change, as the system would.
    void announce(Change change);

    // Delivers a press (or an unreadable one, nullopt) to the installed
    // handler, as the system would, and returns its status;
    // eventNotHandledErr when no handler is installed.
    std::int32_t press(std::optional<HotKeyID> identity);
    // Presses the registered hot key with this combination; absent when none is registered.
    std::optional<std::int32_t> pressShortcut(std::uint32_t keyCode, std::uint32_t modifiers);

private:
    FakeCallLog& log_;
    mutable std::mutex mutex_;
    Reference nextReference_ = 1;
    std::vector<Registration> registrations_;
    std::set<std::pair<std::uint32_t, std::uint32_t>> refused_;
    PressHandler handler_;
    ChangeHandler changeHandler_;
    std::set<std::pair<std::uint32_t, std::uint32_t>> outOfForce_;
    int handlersInstalled_ = 0;
};

}  // namespace corvane::fake
