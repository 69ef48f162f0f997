#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/platform/accessibility.hpp"
#include "app/platform/desktop_gesture.hpp"
#include "app/platform/hot_key_service.hpp"
#include "app/platform/keyboard_map.hpp"
#include "app/platform/screens.hpp"
#include "app/platform/system_feedback.hpp"
#include "app/platform/window_manager.hpp"
#include "app/platform/window_server.hpp"
#include "app/platform/workspace.hpp"
#include "ports/compositor/accelerator.hpp"
#include "ports/compositor/plugin_channel.hpp"

namespace corvane::compositor {

// The seam's services in a compositor session (GNOME Shell, KWin), reached
// through our plugin inside the compositor. Corvane serves the plugin on
// the session bus (start()); a press arrives with the state a placement
// needs and is answered with the operations it decided, and anything after
// the press goes through the plugin's channel. Main thread, except where a
// service says otherwise.
class CompositorPort {
public:
    struct Plugin {
        std::string name;  // "gnome", "kwin": the backend --status reports
        AcceleratorSyntax syntax = AcceleratorSyntax::gtk;
        WindowServer::Names names;
        // What the settings name as missing until the plugin attaches.
        std::string absentPlugin = "Corvane's plugin";
    };
    using Namer = std::function<std::string(HotKeyID)>;

    // `keyboard` reads our own windows' keys on the user's layout; null: the
    // layout the environment names (XKB_DEFAULT_LAYOUT and its kin).
    CompositorPort(Plugin plugin, std::unique_ptr<PluginChannel> channel, Namer namer,
                   std::unique_ptr<KeyboardMap> keyboard = nullptr);
    ~CompositorPort();
    CompositorPort(const CompositorPort&) = delete;
    CompositorPort& operator=(const CompositorPort&) = delete;

    // Claims our name on the session bus and serves the plugin. Needs the
    // toolkit's application object. What failed, for the user.
    std::optional<std::string> start();
    // For a channel the plugin drives itself (KWin).
    void setFetchEndpoint(FetchEndpoint* endpoint);

    const std::string& backend() const;
    // Whether the plugin has attached since we started.
    bool isAttached() const;

    Accessibility& accessibility();
    HotKeyService& hotKeys();
    Workspace& workspace();
    Screens& screens();
    WindowServer& windowServer();
    DesktopGesture& desktopGesture();
    SystemFeedback& feedback();
    const KeyboardMap& keyboardMap();
    WindowManager& windowManager();

    // The bus methods (protocol.md), texts in and out.
    std::string attach(const std::string& hello);
    void report(const std::string& report);
    std::string press(const std::string& name, const std::string& snapshot);
    std::string fetch(const std::string& snapshot);
    void applied(const std::string& snapshot);

private:
    void bindingsChanged();

    struct Services;
    std::unique_ptr<Services> services_;
};

}  // namespace corvane::compositor
