#include "app/desktops/native_spaces.hpp"

#include <memory>
#include <string>
#include <utility>

#include "app/desktops/desktop_move.hpp"
#include "app/desktops/discovery.hpp"
#include "app/desktops/failure.hpp"
#include "app/desktops/serial_queue.hpp"

namespace corvane {

namespace {

constexpr const char* alertTitle = "Corvane couldn't move the window";

}  // namespace

class NativeSpaces::Impl {
public:
    explicit Impl(Platform& platform) : platform(platform) {}

    // One log line per failure; an alert only when none is open. Any thread.
    void fail(const std::string& message) {
        platform.feedback.log(message);
        // The flag lives as long as any alert work that refers to it, which
        // may run after this object is gone. Main thread only.
        platform.mainQueue.post([showingError = showingError, &alerts = platform.alerts, message] {
            if (*showingError) return;
            *showingError = true;
            alerts.showWarning(alertTitle, message, [showingError] { *showingError = false; });
        });
    }

    Platform& platform;
    std::shared_ptr<bool> showingError = std::make_shared<bool>(false);
    desktops::SerialQueue queue;
};

NativeSpaces::NativeSpaces(Platform& platform) : impl_(std::make_unique<Impl>(platform)) {}

NativeSpaces::~NativeSpaces() {
    // Queued tasks refer to impl_: stop them before it goes.
    impl_->queue.shutdown();
}

bool NativeSpaces::isAvailable() {
    const auto facts = impl_->platform.windowServer.availability();
    return facts.systemVersion && facts.serverFunctions && facts.windowNumberFunction && facts.bridgedMove;
}

void NativeSpaces::moveFocusedWindow(SpaceAction action, OutcomeHandler done) {
    auto& platform = impl_->platform;
    const auto refuse = [&](const std::string& message) {
        impl_->fail(message);
        if (done) done(ActionOutcome::failure(message));
    };
    if (!isAvailable() || !platform.accessibility.isProcessTrusted()) {
        refuse(platform.windowServer.names().unavailable);
        return;
    }
    // Taken now, at the press: by the time the move runs the user may have
    // switched windows, applications or screens.
    const auto application = platform.workspace.frontmostApplication();
    const auto window = application
                            ? desktops::DesktopMove::focusedWindow(platform.accessibility, *application)
                            : std::nullopt;
    if (!window) {
        refuse(desktops::Failure::noWindow().description(platform.windowServer.names()));
        return;
    }
    auto screens = desktops::screenInfos(platform.screens);
    const bool shown = desktops::DesktopMove::isShown(platform, *window);

    Impl* impl = impl_.get();
    impl->queue.submit([impl, action, application = *application, window = *window,
                        screens = std::move(screens), shown, done = std::move(done)] {
        ActionOutcome outcome = ActionOutcome::success();
        try {
            desktops::DesktopMove(impl->platform, impl->queue)
                .run(action, application, window, screens, shown);
        } catch (const desktops::Failure& failure) {
            // A wait cut short by quitting is no failure of the move.
            if (impl->queue.isStopping()) return;
            outcome = ActionOutcome::failure(failure.description(impl->platform.windowServer.names()));
            impl->fail(outcome.reason);
        }
        if (done) impl->platform.mainQueue.post([done, outcome] { done(outcome); });
    });
}

void NativeSpaces::afterPendingMoves(std::function<void()> reached) {
    impl_->queue.submit(std::move(reached));
}

}  // namespace corvane
