#pragma once

#include <functional>
#include <map>
#include <string>

#include "app/platform/hot_key_service.hpp"
#include "ports/i3ipc/ipc_session.hpp"

namespace corvane::i3ipc {

// Shortcuts as bindings the compositor holds for us: each registration adds
// `bindsym --no-repeat <combo> nop corvane:<name>` at run time, and a press
// comes back as a binding event carrying that command, so nothing is spawned
// per press. A combination the compositor rejects, that the user's own
// configuration binds, or that another of our registrations holds is
// refused. A reload drops run-time bindings: reloaded() adds ours again.
// Main thread only.
class SwayHotKeys final : public HotKeyService {
public:
    // Names the action of an identity for the binding's command ("leftHalf").
    using Namer = std::function<std::string(HotKeyID)>;

    SwayHotKeys(IpcSession& session, Namer namer);
    ~SwayHotKeys() override;

    std::optional<Reference> registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers,
                                            HotKeyID identity) override;
    void unregisterHotKey(Reference reference) override;
    void installPressHandler(PressHandler handler) override;
    void installChangeHandler(ChangeHandler handler) override;
    bool isActive(Reference reference) const override;

    // A binding event's command; true when it was one of ours.
    bool handleBinding(const std::string& command);
    // The compositor reloaded its configuration (and dropped our bindings).
    void reloaded();

    static constexpr std::string_view commandPrefix = "nop corvane:";

private:
    struct Binding {
        std::string combo;
        std::string command;
        HotKeyID identity;
        bool active = true;
    };
    bool bind(const Binding& binding);

    IpcSession& session_;
    Namer namer_;
    PressHandler pressHandler_;
    ChangeHandler changeHandler_;
    std::map<Reference, Binding> bindings_;
    Reference nextReference_ = 1;
};

}  // namespace corvane::i3ipc
