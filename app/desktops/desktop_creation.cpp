#include "app/desktops/desktop_creation.hpp"

#include "app/desktops/failure.hpp"
#include "app/desktops/space_switch.hpp"
#include "app/desktops/timing.hpp"

namespace corvane::desktops {

void DesktopCreation::createDesktops(int through, const Display& display, const ScreenInfo& screen) {
    // Refused before the gesture starts: nothing is opened and the pointer stays put.
    if (through > highestCreatableDesktop) throw Failure::desktopCreateFailed(through);

    // Destroying the session closes what it opened and puts the pointer back,
    // on success and on every throw below.
    const auto session = gesture_.begin();
    const auto wanted = static_cast<std::size_t>(through < 0 ? 0 : through);
    std::size_t count = display.desktops().size();
    while (count < wanted) {
        // Counted afresh before each pass: the request asks for one more than
        // the display has now, and another program may have added or removed
        // desktops since the move began.
        if (const auto fresh = discovery_.freshDisplay(display.identifier)) {
            count = fresh->desktops().size();
            if (count >= wanted) break;
        }
        session->requestDesktop(screen.cgBounds);
        const auto now = awaitNewDesktop(display.identifier, count);
        session->dismiss();
        // Two new desktops mean something else is changing the display too;
        // trusting the numbering then could send the window to the wrong one.
        if (now != count + 1) throw Failure::desktopCreateFailed(through);
        count = now;
    }
    if (!showSpace(server_, discovery_, display.identifier, display.current)) {
        throw Failure::desktopCreateFailed(through);
    }
}

std::size_t DesktopCreation::awaitNewDesktop(const std::string& identifier, std::size_t before) {
    std::size_t now = before;
    discovery_.poll(desktopArrivalTimeout, [&] {
        const auto fresh = discovery_.freshDisplay(identifier);
        now = fresh ? fresh->desktops().size() : before;
        return now > before;
    });
    return now;
}

}  // namespace corvane::desktops
