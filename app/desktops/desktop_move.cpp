#include "app/desktops/desktop_move.hpp"

#include <algorithm>

#include "app/desktops/desktop_creation.hpp"
#include "app/desktops/failure.hpp"
#include "app/desktops/space_switch.hpp"
#include "app/desktops/timing.hpp"

namespace corvane::desktops {

DesktopMove::DesktopMove(Platform& platform, SerialQueue& queue)
    : platform_(platform),
      queue_(queue),
      discovery_(platform.windowServer, platform.accessibility, platform.clock,
                 [&queue] { return queue.isStopping(); }) {}

std::optional<Element> DesktopMove::focusedWindow(Accessibility& ax, const Application& application) {
    const Element element = ax.applicationElement(application);
    // An application that hangs must hold neither the main thread nor, later,
    // the queue for the system's default timeout on every call.
    ax.setMessagingTimeout(element, messagingTimeout);
    const auto focused = ax.copyAttribute(element, AXName::focusedWindow);
    if (focused.status != AXStatus::success || !focused.value) return std::nullopt;
    const auto* window = std::get_if<Element>(&*focused.value);
    if (!window || !window->isValid()) return std::nullopt;
    ax.setMessagingTimeout(*window, messagingTimeout);
    return *window;
}

std::uint32_t DesktopMove::windowNumber(const Element& window) {
    const auto number = platform_.windowServer.windowNumber(window);
    if (!number || number->status != 0 || number->number == 0) throw Failure::noWindowID();
    return number->number;
}

void DesktopMove::performMove(std::uint32_t window, std::uint64_t space) {
    if (!platform_.windowServer.performBridgedMove({window}, space)) throw Failure::operationUnavailable();
}

bool DesktopMove::isShown(Platform& platform, const Element& window) {
    const auto number = platform.windowServer.windowNumber(window);
    if (!number || number->status != 0 || number->number == 0) return false;
    try {
        const Discovery discovery(platform.windowServer, platform.accessibility, platform.clock);
        const auto spaces = discovery.windowSpaces(number->number);
        for (const Display& display : discovery.managedDisplays()) {
            if (std::find(spaces.begin(), spaces.end(), display.current) != spaces.end()) return true;
        }
    } catch (const Failure&) {
        // Unreadable now; the move reads again and reports.
    }
    return false;
}

DesktopMove::Located DesktopMove::locate(const Element& window, const std::vector<ScreenInfo>& screens,
                                         bool shownAtPress) {
    const std::uint32_t number = windowNumber(window);
    Display display = discovery_.displayFor(window, screens, discovery_.managedDisplays());
    // Only a window on the desktop its display shows (or showed at the press)
    // can be moved: one elsewhere is not the window the user is looking at.
    const auto spaces = discovery_.windowSpaces(number);
    if (spaces.empty() ||
        (!shownAtPress && std::find(spaces.begin(), spaces.end(), display.current) == spaces.end()))
        throw Failure::noWindow();
    return {number, std::move(display)};
}

void DesktopMove::land(std::uint32_t window, std::uint64_t target) {
    performMove(window, target);
    if (!discovery_.waitForWindow(window, target, windowArrivalTimeout)) throw Failure::moveFailed();
}

void DesktopMove::run(SpaceAction action, const Application& application, const Element& window,
                      const std::vector<ScreenInfo>& screens, bool shownAtPress) {
    const Located located = locate(window, screens, shownAtPress);
    const std::uint32_t number = located.window;
    const Display& display = located.display;
    const std::uint64_t origin = display.current;

    const int n = action.number();
    const auto wanted = static_cast<std::size_t>(n);
    if (display.desktops().size() < wanted) {
        const auto screen = std::find_if(screens.begin(), screens.end(), [&](const ScreenInfo& s) {
            return sameDisplayIgnoringCase(s.uuid, display.identifier);
        });
        if (screen == screens.end()) throw Failure::noDisplay();
        DesktopCreation(platform_.windowServer, platform_.desktopGesture, discovery_)
            .createDesktops(n, display, *screen);
    }

    const auto fresh = discovery_.managedDisplays();
    const Display* now = Discovery::findExact(fresh, display.identifier);
    if (!now || now->desktops().size() < wanted) throw Failure::desktopCreateFailed(n);
    const std::uint64_t target = now->desktops()[wanted - 1].id;

    if (target != origin) land(number, target);

    if (action.followsWindow()) {
        follow(application, window, display, target);
    } else if (target != origin) {
        returnAfterSend(display.identifier, origin);
    }
}

std::optional<StartedMove> DesktopMove::start(SpaceAction action, const Application& application,
                                              const Element& window, const std::vector<ScreenInfo>& screens) {
    const Located located = locate(window, screens, false);
    const Display& display = located.display;
    const auto desktops = display.desktops();
    const auto wanted = static_cast<std::size_t>(action.number());
    if (desktops.size() < wanted) return std::nullopt;

    StartedMove move{located.window, display.identifier, display.current, desktops[wanted - 1].id,
                     action.followsWindow()};
    auto& server = platform_.windowServer;
    const auto connection = server.mainConnection();
    // The window server applies these requests in order, none needs to see
    // the one before it done. A follow shows the target desktop first: the
    // window then appears once, as it arrives, where a window moved first is
    // hidden and loses the focus only to come back with the switch.
    if (move.follows) {
        const auto status =
            connection ? server.setCurrentSpace(*connection, move.display, move.target) : std::nullopt;
        move.switchAsked = status && *status == 0;
    }
    if (move.target != move.origin) {
        try {
            performMove(move.window, move.target);
        } catch (const Failure&) {
            // Not left on a desktop the window never reached.
            if (move.switchAsked) server.setCurrentSpace(*connection, move.display, move.origin);
            throw;
        }
    }
    if (move.follows) {
        focus(window, [&] {
            platform_.workspace.activate(application);
            return true;
        });
    }
    return move;
}

void DesktopMove::finish(const StartedMove& move, const Element& window) {
    if (move.target != move.origin &&
        !discovery_.waitForWindow(move.window, move.target, windowArrivalTimeout)) {
        // A follow has asked for the target already: the user must not be
        // left there without the window. Best effort; the move's failure is
        // what is reported.
        if (move.switchAsked) showSpace(platform_.windowServer, discovery_, move.display, move.origin);
        throw Failure::moveFailed();
    }
    if (move.follows) {
        if (!move.switchAsked ||
            !discovery_.waitForCurrentSpace(move.target, move.display, displaySwitchTimeout))
            throw Failure::switchFailed();
        platform_.accessibility.performAction(window, AXName::raise);
    } else if (move.target != move.origin) {
        returnAfterSend(move.display, move.origin);
    }
}

void DesktopMove::follow(const Application& application, const Element& window, const Display& display,
                         std::uint64_t target) {
    auto& workspace = platform_.workspace;
    // The workspace belongs to the main thread. When the queue is shutting
    // down the hop is refused and the rest of the follow is pointless.
    if (!focus(window, [&] {
            return queue_.runOnMain(platform_.mainQueue,
                                    [&workspace, application] { workspace.activate(application); });
        }))
        return;
    if (!showSpace(platform_.windowServer, discovery_, display.identifier, target))
        throw Failure::switchFailed();
    platform_.accessibility.performAction(window, AXName::raise);
}

bool DesktopMove::focus(const Element& window, const std::function<bool()>& activate) {
    if (!activate()) return false;
    auto& ax = platform_.accessibility;
    ax.setAttribute(window, AXName::main, AXValue{true});
    ax.setAttribute(window, AXName::focused, AXValue{true});
    return true;
}

void DesktopMove::returnAfterSend(const std::string& display, std::uint64_t origin) {
    // Some systems show the target desktop once a window lands there; a send
    // must leave the user where they were.
    const auto fresh = discovery_.managedDisplays();
    const Display* now = Discovery::findExact(fresh, display);
    if (!now || now->current == origin) return;
    if (!showSpace(platform_.windowServer, discovery_, display, origin)) throw Failure::switchFailed();
}

}  // namespace corvane::desktops
