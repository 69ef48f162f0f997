#pragma once

#include <sys/types.h>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "app/platform/platform.hpp"
#include "core/rect.hpp"
#include "ports/fake/fake_accessibility.hpp"
#include "ports/fake/fake_alerts.hpp"
#include "ports/fake/fake_call_log.hpp"
#include "ports/fake/fake_clock.hpp"
#include "ports/fake/fake_defaults.hpp"
#include "ports/fake/fake_desktop_gesture.hpp"
#include "ports/fake/fake_feedback.hpp"
#include "ports/fake/fake_hot_key_service.hpp"
#include "ports/fake/fake_login_item.hpp"
#include "ports/fake/fake_main_queue.hpp"
#include "ports/fake/fake_screens.hpp"
#include "ports/fake/fake_window_server.hpp"
#include "ports/fake/fake_workspace.hpp"

namespace corvane::fake {

// One of every fake, sharing one call log, bundled as the Platform the
// application layer takes. Starts trusted, with no screens, no applications
// and empty defaults.
class FakeDesktop {
public:
    FakeDesktop();
    FakeDesktop(const FakeDesktop&) = delete;
    FakeDesktop& operator=(const FakeDesktop&) = delete;

    Platform& platform() { return platform_; }

    FakeCallLog& log() { return log_; }
    FakeAccessibility& accessibility() { return accessibility_; }
    FakeHotKeyService& hotKeys() { return hotKeys_; }
    FakeWorkspace& workspace() { return workspace_; }
    FakeScreens& screens() { return screens_; }
    FakeWindowServer& windowServer() { return windowServer_; }
    FakeDesktopGesture& desktopGesture() { return desktopGesture_; }
    FakeDefaults& defaults() { return defaults_; }
    FakeLoginItem& loginItem() { return loginItem_; }
    FakeFeedback& feedback() { return feedback_; }
    FakeAlerts& alerts() { return alerts_; }
    FakeMainQueue& mainQueue() { return mainQueue_; }
    FakeClock& clock() { return clock_; }

    // A window of application `pid` that the user is working in: added,
    // focused in its application, and the application made frontmost.
    std::uint32_t openWindow(pid_t pid, const Rect& frame,
                             std::optional<std::size_t> hashValue = std::nullopt);
    // A display appended to the list (the first is the primary).
    std::uint32_t addScreen(const Rect& frame, const Rect& visibleFrame);

private:
    FakeCallLog log_;
    FakeAccessibility accessibility_{log_};
    FakeHotKeyService hotKeys_{log_};
    FakeWorkspace workspace_{log_};
    FakeScreens screens_{log_};
    FakeWindowServer windowServer_;
    FakeDesktopGesture desktopGesture_;
    FakeDefaults defaults_{log_};
    FakeLoginItem loginItem_{log_};
    FakeFeedback feedback_{log_};
    FakeAlerts alerts_{log_};
    FakeMainQueue mainQueue_;
    FakeClock clock_;
    Platform platform_;
};

}  // namespace corvane::fake
