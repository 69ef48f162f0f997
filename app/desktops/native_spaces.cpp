#include "app/desktops/native_spaces.hpp"

#include <functional>
#include <memory>
#include <optional>
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

    // Runs one step of a move; a failure is reported. Absent when a wait
    // was cut short by quitting, which is no failure of the move. Any thread.
    std::optional<ActionOutcome> outcomeOf(const std::function<void()>& step) {
        try {
            step();
            return ActionOutcome::success();
        } catch (const desktops::Failure& failure) {
            if (queue.isStopping()) return std::nullopt;
            auto outcome = ActionOutcome::failure(failure.description(platform.windowServer.names()));
            fail(outcome.reason);
            return outcome;
        }
    }

    // Hands the outcome to `done` on the main thread. Any thread.
    void tell(const OutcomeHandler& done, const ActionOutcome& outcome) {
        if (done) platform.mainQueue.post([done, outcome] { done(outcome); });
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

    Impl* impl = impl_.get();
    // Where the window server allows it, a move whose desktop exists starts
    // here: handing it to the queue's thread first costs more than the
    // request itself. Only with the queue idle, so that moves still run in
    // the order they were asked for.
    if (platform.windowServer.startsMovesAtPress() && impl->queue.isIdle()) {
        std::optional<desktops::StartedMove> started;
        const auto outcome = impl->outcomeOf([&] {
            started =
                desktops::DesktopMove(platform, impl->queue).start(action, *application, *window, screens);
        });
        if (outcome && !outcome->done) {
            impl->tell(done, *outcome);
            return;
        }
        if (started) {
            impl->queue.submit([impl, started = *started, window = *window, done = std::move(done)] {
                const auto outcome = impl->outcomeOf(
                    [&] { desktops::DesktopMove(impl->platform, impl->queue).finish(started, window); });
                if (outcome) impl->tell(done, *outcome);
            });
            return;
        }
    }
    const bool shown = desktops::DesktopMove::isShown(platform, *window);
    impl->queue.submit([impl, action, application = *application, window = *window,
                        screens = std::move(screens), shown, done = std::move(done)] {
        const auto outcome = impl->outcomeOf([&] {
            desktops::DesktopMove(impl->platform, impl->queue)
                .run(action, application, window, screens, shown);
        });
        if (outcome) impl->tell(done, *outcome);
    });
}

void NativeSpaces::afterPendingMoves(std::function<void()> reached) {
    impl_->queue.submit(std::move(reached));
}

}  // namespace corvane
