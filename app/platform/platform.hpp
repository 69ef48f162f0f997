#pragma once

#include "app/platform/accessibility.hpp"
#include "app/platform/alerts.hpp"
#include "app/platform/clock.hpp"
#include "app/platform/defaults.hpp"
#include "app/platform/desktop_gesture.hpp"
#include "app/platform/hot_key_service.hpp"
#include "app/platform/login_item.hpp"
#include "app/platform/main_queue.hpp"
#include "app/platform/screens.hpp"
#include "app/platform/system_feedback.hpp"
#include "app/platform/window_server.hpp"
#include "app/platform/workspace.hpp"

namespace corvane {

// Every OS service the application logic uses, filled in once by `main`
// (or by a test) from one port. The services outlive everything that holds
// this bundle.
struct Platform {
    Accessibility& accessibility;
    HotKeyService& hotKeys;
    Workspace& workspace;
    Screens& screens;
    WindowServer& windowServer;
    DesktopGesture& desktopGesture;
    Defaults& defaults;
    LoginItem& loginItem;
    SystemFeedback& feedback;
    Alerts& alerts;
    MainQueue& mainQueue;
    Clock& clock;
};

}  // namespace corvane
