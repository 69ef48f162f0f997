#pragma once

#include <cstdint>
#include <functional>
#include <optional>

namespace corvane {

// The identity carried by a registered hot key and handed back on a press.
struct HotKeyID {
    std::uint32_t signature = 0;
    std::uint32_t id = 0;
    friend bool operator==(const HotKeyID&, const HotKeyID&) = default;
};

// Status codes of the press handler.
inline constexpr std::int32_t noErr = 0;
inline constexpr std::int32_t eventNotHandledErr = -9874;

// System-wide keyboard shortcuts. Key codes and modifier masks are the
// product's own (platform virtual key codes and Carbon modifier bits), so a
// stored configuration means the same on every platform; ports translate.
// Main thread only.
class HotKeyService {
public:
    // An opaque registration reference; valid until unregistered.
    using Reference = std::uint64_t;
    // Receives the identity of a pressed hot key, or nothing when the press
    // could not be read; returns noErr or eventNotHandledErr.
    using PressHandler = std::function<std::int32_t(std::optional<HotKeyID>)>;
    // Why registrations changed without a call from the application.
    enum class Change {
        // The keyboard mapping changed (another layout, a remapped key). The
        // service has moved every registration to the keys that now type its
        // shortcut; a registration the new keyboard cannot express, or whose
        // new keys another program holds, stays registered but not in force
        // (isActive) until a later change brings it back. Registrations the
        // service refused earlier may now succeed.
        keyboard,
        // A window manager appeared, went or was replaced: what it supports
        // and which combinations it holds may differ, so every registration
        // is worth deciding again.
        environment,
    };
    using ChangeHandler = std::function<void(Change)>;

    virtual ~HotKeyService() = default;

    // Absent when the system refuses the combination (for example because
    // another program holds it); nothing stays registered then.
    virtual std::optional<Reference> registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers,
                                                    HotKeyID identity) = 0;
    // Failures are ignored; unknown references do nothing.
    virtual void unregisterHotKey(Reference reference) = 0;
    // Installs the one handler presses are delivered to, on the main thread.
    // A later call replaces the earlier handler.
    virtual void installPressHandler(PressHandler handler) = 0;

    // Installs the one handler told, on the main thread, of changes the
    // system made to the registrations. A later call replaces the earlier
    // handler. Platforms whose registrations never change by themselves
    // never call it.
    virtual void installChangeHandler(ChangeHandler handler) = 0;
    // Whether a registration is in force now: false after a keyboard change
    // left it without keys, and for unknown references.
    virtual bool isActive(Reference reference) const = 0;

protected:
    HotKeyService() = default;
    HotKeyService(const HotKeyService&) = delete;
    HotKeyService& operator=(const HotKeyService&) = delete;
};

}  // namespace corvane
