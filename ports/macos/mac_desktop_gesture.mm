#include "ports/macos/mac_desktop_gesture.hpp"

#include <AppKit/AppKit.h>

#include <optional>

#include "ports/macos/cf_ref.hpp"
#include "ports/macos/mission_control_pass.hpp"

namespace corvane::macos {

namespace {

void post(CFRef<CGEventRef> event) {
    // An event that could not be made is left out; the pass's own check
    // (one new desktop) notices if that mattered.
    if (event) CGEventPost(MissionControlPass::eventTap, event.get());
}

void openMissionControl() {
    @autoreleasepool {
        NSURL* app = [NSURL fileURLWithPath:@(MissionControlPass::applicationPath) isDirectory:YES];
        [NSWorkspace.sharedWorkspace openApplicationAtURL:app
                                            configuration:[NSWorkspaceOpenConfiguration configuration]
                                        completionHandler:^(NSRunningApplication*, NSError*){
                                        }];
    }
}

class MacGestureSession final : public DesktopGestureSession {
public:
    MacGestureSession(MainQueue& mainQueue, Clock& clock)
        : mainQueue_(mainQueue),
          clock_(clock),
          source_(CFRef<CGEventSourceRef>::adopt(CGEventSourceCreate(MissionControlPass::eventSourceState))) {
        // Where the pointer was, to put it back at the end.
        if (const auto here = CFRef<CGEventRef>::adopt(CGEventCreate(nullptr))) {
            const CGPoint location = CGEventGetLocation(here.get());
            pointer_ = Point{location.x, location.y};
        }
    }

    ~MacGestureSession() override {
        // On every path, success or failure: Mission Control closed, the
        // pointer where the user left it.
        pressEscape();
        if (pointer_) moveTo(*pointer_);
    }

    void requestDesktop(const Rect& displayBounds) override {
        const auto points = MissionControlPass::points(displayBounds);
        // Mission Control opens on the display under the pointer.
        moveTo(points.centre);
        mainQueue_.post(openMissionControl);
        clock_.sleep(MissionControlPass::openWait);
        moveTo(points.addDesktop);
        clock_.sleep(MissionControlPass::hoverWait);
        click(points.addDesktop, kCGEventLeftMouseDown);
        click(points.addDesktop, kCGEventLeftMouseUp);
    }

    void dismiss() override { pressEscape(); }

private:
    void moveTo(Point p) { click(p, kCGEventMouseMoved); }
    void click(Point p, CGEventType type) {
        post(CFRef<CGEventRef>::adopt(
            CGEventCreateMouseEvent(source_.get(), type, CGPoint{p.x, p.y}, kCGMouseButtonLeft)));
    }
    void pressEscape() {
        for (const bool down : {true, false})
            post(CFRef<CGEventRef>::adopt(
                CGEventCreateKeyboardEvent(source_.get(), MissionControlPass::escapeKeyCode, down)));
    }

    MainQueue& mainQueue_;
    Clock& clock_;
    CFRef<CGEventSourceRef> source_;
    std::optional<Point> pointer_;
};

}  // namespace

std::unique_ptr<DesktopGestureSession> MacDesktopGesture::begin() {
    return std::make_unique<MacGestureSession>(mainQueue_, clock_);
}

}  // namespace corvane::macos
