#include "ports/macos/mac_port.hpp"

#include "ports/macos/mac_accessibility.hpp"
#include "ports/macos/mac_alerts.hpp"
#include "ports/macos/mac_clock.hpp"
#include "ports/macos/mac_defaults.hpp"
#include "ports/macos/mac_desktop_gesture.hpp"
#include "ports/macos/mac_feedback.hpp"
#include "ports/macos/mac_hot_keys.hpp"
#include "ports/macos/mac_keyboard_map.hpp"
#include "ports/macos/mac_login_item.hpp"
#include "ports/macos/mac_main_queue.hpp"
#include "ports/macos/mac_screens.hpp"
#include "ports/macos/mac_window_server.hpp"
#include "ports/macos/mac_workspace.hpp"

namespace corvane::macos {

struct MacPort::Services {
    MacAccessibility accessibility;
    MacHotKeys hotKeys;
    MacWorkspace workspace;
    MacScreens screens;
    MacWindowServer windowServer;
    MacDefaults defaults;
    MacLoginItem loginItem;
    MacFeedback feedback;
    MacAlerts alerts;
    MacMainQueue mainQueue;
    MacClock clock;
    MacDesktopGesture desktopGesture{mainQueue, clock};
    MacKeyboardMap keyboardMap;
    Platform platform{accessibility, hotKeys,   workspace, screens, windowServer, desktopGesture,
                      defaults,      loginItem, feedback,  alerts,  mainQueue,    clock};
};

MacPort::MacPort() : services_(std::make_unique<Services>()) {}
MacPort::~MacPort() = default;

Platform& MacPort::platform() {
    return services_->platform;
}
const KeyboardMap& MacPort::keyboardMap() {
    return services_->keyboardMap;
}
void MacPort::closeMainQueue() {
    services_->mainQueue.close();
}

}  // namespace corvane::macos
