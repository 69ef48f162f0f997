#include "app/placement/window_mover.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <unordered_map>
#include <vector>

#include "app/placement/ax_window.hpp"
#include "core/geometry.hpp"

namespace corvane {

namespace {

// A window counts as still maximized while each of its four measures is
// less than this many points off the maximized frame: applications round
// or nudge the frames they are given.
constexpr double maximizedTolerance = 5.0;

// How far off the maximized frame a window may stand, per axis, and still
// count as maximized. A window that resizes in steps (a terminal in
// character cells) stops up to one step short of any size it is given, so
// its tolerance is at least one step.
struct Tolerance {
    double horizontal = maximizedTolerance;
    double vertical = maximizedTolerance;
};

Tolerance toleranceFor(const std::optional<Size>& increment) {
    if (!increment) return {};
    return {std::max(maximizedTolerance, increment->width), std::max(maximizedTolerance, increment->height)};
}

bool isNear(const Rect& a, const Rect& b, const Tolerance& tolerance) {
    return std::abs(a.minX() - b.minX()) < tolerance.horizontal &&
           std::abs(a.w() - b.w()) < tolerance.horizontal &&
           std::abs(a.minY() - b.minY()) < tolerance.vertical && std::abs(a.h() - b.h()) < tolerance.vertical;
}

// Reasons a placement was not made, as the command line reports them.
constexpr const char* noActiveWindow = "no active window";
constexpr const char* nothingToMove = "nothing to move: the active window is not one Corvane can place";
constexpr const char* noScreen = "no screen to place the window on";
constexpr const char* noOtherDisplay = "there is no other display to move the window to";
constexpr const char* noAccess = "Corvane may not control other windows yet; access has been requested";

}  // namespace

// The frames windows had before full screen, so that a second press can
// restore them. Keyed by the element's hash; distinct windows may hash alike,
// so an entry is only used for the element it was saved for. Lives as long as
// the mover and is never persisted.
class WindowMover::State {
public:
    struct SavedFrame {
        Element window;
        Rect frame;
        // Drops the entry when the window closes: window systems reuse the
        // identities of closed windows, and a new window must not inherit
        // an old one's frame.
        std::unique_ptr<Observation> closing;
    };

    void forget(std::size_t key) { framesBeforeMaximize_.erase(key); }

    // The saved frame when the window still stands at the maximized frame and
    // the entry is its own; the entry is then used up.
    std::optional<Rect> takeRestore(std::size_t key, const Element& window, const Rect& current,
                                    const Rect& maximized, const Tolerance& tolerance) {
        const auto it = framesBeforeMaximize_.find(key);
        if (it == framesBeforeMaximize_.end() || !(it->second.window == window) ||
            !isNear(current, maximized, tolerance)) {
            return std::nullopt;
        }
        const Rect saved = it->second.frame;
        framesBeforeMaximize_.erase(it);
        return saved;
    }

    void save(Accessibility& ax, std::size_t key, const Element& window, const Rect& frame) {
        // The old entry's watch ends before the new one starts.
        framesBeforeMaximize_.erase(key);
        auto closing = ax.observeDestruction(window, [this, key, window] {
            const auto it = framesBeforeMaximize_.find(key);
            if (it != framesBeforeMaximize_.end() && it->second.window == window)
                framesBeforeMaximize_.erase(it);
        });
        framesBeforeMaximize_.insert_or_assign(key, SavedFrame{window, frame, std::move(closing)});
    }

    std::size_t size() const { return framesBeforeMaximize_.size(); }

private:
    std::unordered_map<std::size_t, SavedFrame> framesBeforeMaximize_;
};

WindowMover::WindowMover(Platform& platform) : platform_(platform), state_(std::make_unique<State>()) {}

WindowMover::~WindowMover() = default;

ActionOutcome WindowMover::move(Placement placement, double gap) {
    Accessibility& ax = platform_.accessibility;
    if (!ax.isProcessTrusted()) {
        // Every call below would fail; ask for access instead. No beep: the
        // system's request is the feedback.
        ax.requestTrust();
        return ActionOutcome::failure(noAccess);
    }

    const auto frontmost = platform_.workspace.frontmostApplication();
    if (!frontmost) return ActionOutcome::failure(noActiveWindow);
    const Element application = ax.applicationElement(*frontmost);
    // A window the port does not offer (none focused, or a panel, a desktop
    // or a splash screen) is not ours to move.
    const auto window = AXWindow::focusedWindow(ax, application);
    if (!window) {
        platform_.feedback.beep();
        return ActionOutcome::failure(nothingToMove);
    }
    const auto current = AXWindow::frame(ax, *window);
    if (!current) {
        platform_.feedback.beep();
        return ActionOutcome::failure(nothingToMove);
    }

    // One reading of the list serves both the primary height and the screen
    // rectangles, so the two always agree.
    const std::vector<Screen> screens = platform_.screens.screens();
    if (screens.empty()) return ActionOutcome::failure(noScreen);
    const double primaryHeight = screens.front().frame.h();
    std::vector<Rect> screenRects;
    screenRects.reserve(screens.size());
    for (const auto& screen : screens) screenRects.push_back(Geometry::toAX(screen.frame, primaryHeight));

    const auto source = Geometry::screenIndex(*current, screenRects);
    if (!source) return ActionOutcome::failure(noScreen);
    const Rect sourceArea = Geometry::toAX(screens[*source].visibleFrame, primaryHeight);
    const std::size_t key = window->hash();

    Rect target;
    if (const auto step = placement.displayStep()) {
        state_->forget(key);
        if (screens.size() < 2) {
            platform_.feedback.beep();
            return ActionOutcome::failure(noOtherDisplay);
        }
        const std::size_t destination = Geometry::adjacentScreen(*source, *step, screenRects);
        const Rect destinationArea = Geometry::toAX(screens[destination].visibleFrame, primaryHeight);
        target = Geometry::moved(*current, sourceArea, destinationArea);
    } else if (placement == Placement::maximize) {
        const Rect maximized = Geometry::frame(Placement::maximize, sourceArea, gap);
        const Tolerance tolerance = toleranceFor(AXWindow::sizeIncrement(ax, *window));
        if (const auto restore = state_->takeRestore(key, *window, *current, maximized, tolerance)) {
            target = *restore;
        } else {
            state_->save(ax, key, *window, *current);
            target = maximized;
        }
    } else {
        state_->forget(key);
        target = Geometry::frame(placement, sourceArea, gap);
    }

    AXWindow::writeFrame(ax, application, *window, target);
    return ActionOutcome::success();
}

std::size_t WindowMover::savedFrameCount() const {
    return state_->size();
}

}  // namespace corvane
