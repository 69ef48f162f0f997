#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/platform/hot_key_service.hpp"
#include "ports/compositor/accelerator.hpp"
#include "ports/compositor/protocol.hpp"

namespace corvane::compositor {

// The keybinding name of an action: "leftHalf" is "corvane-left-half". GNOME
// keeps keybindings as settings keys, which allow only lowercase letters,
// digits and dashes, and mutter's names are global: a binding named
// "maximize" would be refused as taken.
std::string bindingName(std::string_view action);

// Shortcuts as keybindings the compositor plugin holds for us, each named
// by bindingName. Registering only records the binding; the plugin
// learns the whole set when it attaches, and again after every change
// (`bindingsChanged`). What the compositor refuses comes back in a report:
// those registrations stay, but out of force, and the application hears of
// it as a registration change. Main thread only.
class CompositorHotKeys final : public HotKeyService {
public:
    // Names the action of an identity ("leftHalf").
    using Namer = std::function<std::string(HotKeyID)>;

    CompositorHotKeys(AcceleratorSyntax syntax, Namer namer);

    std::optional<Reference> registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers,
                                            HotKeyID identity) override;
    void unregisterHotKey(Reference reference) override;
    void installPressHandler(PressHandler handler) override;
    void installChangeHandler(ChangeHandler handler) override;
    bool isActive(Reference reference) const override;

    // The set for the plugin, in the syntax given at construction.
    std::vector<Binding> bindings() const;
    // The plugin's report of refused names (the complete list).
    void refused(const std::vector<std::string>& names);
    // A press of one of our bindings; false for a name we do not hold.
    bool press(const std::string& name);
    // Called (at most once per change) when the set the plugin holds is stale.
    void onBindingsChanged(std::function<void()> changed) { bindingsChanged_ = std::move(changed); }

private:
    struct Held {
        Binding binding;
        HotKeyID identity;
        bool active = true;
    };

    AcceleratorSyntax syntax_;
    Namer namer_;
    PressHandler pressHandler_;
    ChangeHandler changeHandler_;
    std::function<void()> bindingsChanged_;
    std::map<Reference, Held> held_;
    Reference nextReference_ = 1;
};

}  // namespace corvane::compositor
