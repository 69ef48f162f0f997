#include "app/placement/window_mover.hpp"

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

bool isNear(const Rect& a, const Rect& b) {
    return std::abs(a.minX() - b.minX()) < maximizedTolerance &&
           std::abs(a.minY() - b.minY()) < maximizedTolerance &&
           std::abs(a.w() - b.w()) < maximizedTolerance && std::abs(a.h() - b.h()) < maximizedTolerance;
}

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
    };

    void forget(std::size_t key) { framesBeforeMaximize_.erase(key); }

    // The saved frame when the window still stands at the maximized frame and
    // the entry is its own; the entry is then used up.
    std::optional<Rect> takeRestore(std::size_t key, const Element& window, const Rect& current,
                                    const Rect& maximized) {
        const auto it = framesBeforeMaximize_.find(key);
        if (it == framesBeforeMaximize_.end() || !(it->second.window == window) ||
            !isNear(current, maximized)) {
            return std::nullopt;
        }
        const Rect saved = it->second.frame;
        framesBeforeMaximize_.erase(it);
        return saved;
    }

    void save(std::size_t key, const Element& window, const Rect& frame) {
        framesBeforeMaximize_.insert_or_assign(key, SavedFrame{window, frame});
    }

private:
    std::unordered_map<std::size_t, SavedFrame> framesBeforeMaximize_;
};

WindowMover::WindowMover(Platform& platform) : platform_(platform), state_(std::make_unique<State>()) {}

WindowMover::~WindowMover() = default;

void WindowMover::move(Placement placement, double gap) {
    Accessibility& ax = platform_.accessibility;
    if (!ax.isProcessTrusted()) {
        // Every call below would fail; ask for access instead. No beep: the
        // system's request is the feedback.
        ax.requestTrust();
        return;
    }

    const auto pid = platform_.workspace.frontmostApplication();
    if (!pid) return;
    const Element application = ax.applicationElement(*pid);
    const auto window = AXWindow::focusedWindow(ax, application);
    if (!window) {
        platform_.feedback.beep();
        return;
    }
    const auto current = AXWindow::frame(ax, *window);
    if (!current) {
        platform_.feedback.beep();
        return;
    }

    // One reading of the list serves both the primary height and the screen
    // rectangles, so the two always agree.
    const std::vector<Screen> screens = platform_.screens.screens();
    if (screens.empty()) return;
    const double primaryHeight = screens.front().frame.h();
    std::vector<Rect> screenRects;
    screenRects.reserve(screens.size());
    for (const auto& screen : screens) screenRects.push_back(Geometry::toAX(screen.frame, primaryHeight));

    const auto source = Geometry::screenIndex(*current, screenRects);
    if (!source) return;
    const Rect sourceArea = Geometry::toAX(screens[*source].visibleFrame, primaryHeight);
    const std::size_t key = window->hash();

    Rect target;
    if (const auto step = placement.displayStep()) {
        state_->forget(key);
        if (screens.size() < 2) {
            platform_.feedback.beep();
            return;
        }
        const std::size_t destination = Geometry::adjacentScreen(*source, *step, screenRects);
        const Rect destinationArea = Geometry::toAX(screens[destination].visibleFrame, primaryHeight);
        target = Geometry::moved(*current, sourceArea, destinationArea);
    } else if (placement == Placement::maximize) {
        const Rect maximized = Geometry::frame(Placement::maximize, sourceArea, gap);
        if (const auto restore = state_->takeRestore(key, *window, *current, maximized)) {
            target = *restore;
        } else {
            state_->save(key, *window, *current);
            target = maximized;
        }
    } else {
        state_->forget(key);
        target = Geometry::frame(placement, sourceArea, gap);
    }

    AXWindow::writeFrame(ax, application, *window, target);
}

}  // namespace corvane
