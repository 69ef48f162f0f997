#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "app/platform/clock.hpp"
#include "app/platform/window_server.hpp"
#include "core/rect.hpp"

namespace corvane::fake {

class FakeCallLog;

// A window server a test can steer: displays with their spaces, the space
// each display shows, the spaces each window is on, which functions exist,
// and a script of what happens later on the clock's time (a moved window
// arrives, a switch takes effect, a gesture adds desktops, a display drops
// out of the reports). Nothing runs by itself: every call first applies the
// changes that are due by the clock's now(), so a test with a FakeClock
// never sleeps for real. Without a clock every scripted change is immediate.
//
// Thread-safe: desktop moves call it from their queue while the test
// thread arranges and inspects it.
class FakeWindowServer final : public WindowServer {
public:
    // The functions a system may lack.
    enum class Function {
        mainConnection,
        managedDisplaySpaces,
        spacesForWindows,
        setCurrentSpace,
        windowNumber,
        bridgedMove,
    };

    struct Space {
        std::uint64_t id = 0;
        std::int64_t type = 0;  // 0 is an ordinary desktop
        friend bool operator==(const Space&, const Space&) = default;
    };

    // What one gesture request does to the display it points at.
    struct GesturePass {
        int desktopsAdded = 1;
        Clock::Duration delay{0.3};  // after the request
        // The display is left out of every report from the request on, for
        // this long (absent: it stays listed).
        std::optional<Clock::Duration> vanishFor;
    };

    struct SwitchRequest {
        std::string display;
        std::uint64_t space = 0;
        friend bool operator==(const SwitchRequest&, const SwitchRequest&) = default;
    };

    struct MoveRequest {
        std::vector<std::uint32_t> windows;
        std::uint64_t space = 0;
        friend bool operator==(const MoveRequest&, const MoveRequest&) = default;
    };

    FakeWindowServer() = default;

    // The time scripted delays are measured on. Set it before scripting.
    void setClock(Clock& clock);
    // Records the calls that change something ("setCurrentSpace <display>
    // <space>", "performBridgedMove <window> <space>") in a shared log.
    void setCallLog(FakeCallLog& log);

    // --- Displays and spaces -------------------------------------------

    // Adds a display (reported in the order added) showing `current`.
    void addDisplay(const std::string& identifier, std::vector<Space> spaces, std::uint64_t current);
    // Adds a display with `count` ordinary desktops under fresh identifiers,
    // showing the first; returns the identifiers in order.
    std::vector<std::uint64_t> addDisplayWithDesktops(const std::string& identifier, int count);
    void removeDisplay(const std::string& identifier);
    // Where the display lies in global top-left coordinates, so that a
    // gesture request can be matched to it.
    void setDisplayBounds(const std::string& identifier, const Rect& bounds);

    std::vector<Space> spaces(const std::string& identifier);
    // The identifiers of the display's ordinary desktops, in order.
    std::vector<std::uint64_t> desktops(const std::string& identifier);
    std::optional<std::uint64_t> currentSpace(const std::string& identifier);
    void showSpace(const std::string& identifier, std::uint64_t space);

    // --- Windows ---------------------------------------------------------

    void placeWindow(std::uint32_t number, std::vector<std::uint64_t> spaces);
    std::vector<std::uint64_t> spacesOfWindow(std::uint32_t number);
    // The window number reported for the fake window element with this id
    // (0 possible). Unmapped windows report their id.
    void mapWindowId(std::uint32_t windowId, std::uint32_t number);
    void setWindowNumberStatus(std::int32_t status);

    // --- Availability ------------------------------------------------------

    void setAvailability(Availability availability);
    void setFunctionMissing(Function function, bool missing = true);
    // Moves start at the press, as the X11 port's do (default: never).
    void setStartsMovesAtPress(bool starts) { startsAtPress_ = starts; }
    bool startsMovesAtPress() override { return startsAtPress_; }

    // --- Script ------------------------------------------------------------

    // A bridged move lands this long after it was started (default 120 ms)...
    void setArrivalDelay(Clock::Duration delay);
    // ...or never.
    void setMovesArrive(bool arrive);
    // When a moved window lands, its new desktop's display shows that desktop
    // (as some systems do after a move).
    void setMoveShowsTarget(bool shows);
    // Switches are accepted with this status (non-zero: refused).
    void setSwitchStatus(std::int32_t status);
    // An accepted switch takes effect this long later (default 100 ms)...
    void setSwitchDelay(Clock::Duration delay);
    // ...or never.
    void setSwitchesTakeEffect(bool take);
    // What the next gesture requests do, one entry per request; once the
    // list is used up each request adds one desktop after 0.3 s.
    void scriptGesturePasses(std::vector<GesturePass> passes);
    // Called by the fake gesture: a request to add a desktop to the display
    // at `bounds` (the only display, or the first one, when no display has
    // bounds set).
    void desktopRequested(const Rect& bounds);

    // --- Malformed reports -------------------------------------------------

    // Reports exactly this in place of the displays.
    void replaceDisplayReport(PlistValue report);
    // Reports exactly this in place of any window's spaces.
    void replaceWindowSpacesReport(PlistValue report);
    void clearReplacedReports();
    // The n-th display report (1-based) and every later one come back absent.
    void failDisplayReportsFrom(int read);

    // --- What was asked ----------------------------------------------------

    int displayReportReads();
    std::vector<SwitchRequest> switchRequests();
    std::vector<MoveRequest> moveRequests();
    // Masks passed to copySpacesForWindows, in order.
    std::vector<std::int32_t> windowSpacesMasks();

    // --- WindowServer --------------------------------------------------------

    Availability availability() override;
    std::optional<std::int32_t> mainConnection() override;
    std::optional<PlistValue> copyManagedDisplaySpaces(std::int32_t connection) override;
    std::optional<PlistValue> copySpacesForWindows(std::int32_t connection, std::int32_t mask,
                                                   const std::vector<std::uint32_t>& windows) override;
    std::optional<std::int32_t> setCurrentSpace(std::int32_t connection, const std::string& displayIdentifier,
                                                std::uint64_t space) override;
    std::optional<WindowNumber> windowNumber(const Element& window) override;
    bool performBridgedMove(const std::vector<std::uint32_t>& windows, std::uint64_t space) override;

    static constexpr std::int32_t connectionNumber = 0x5ca1ab1e;

private:
    std::atomic<bool> startsAtPress_{false};
    struct Display {
        std::string identifier;
        std::vector<Space> spaces;
        std::uint64_t current = 0;
        std::optional<Rect> bounds;
        bool hidden = false;
    };

    Clock::TimePoint now() const;
    // Applies every scripted change due by now, in the order scheduled.
    void advance();
    void schedule(Clock::Duration delay, std::function<void()> change);
    Display* find(const std::string& identifier);
    Display* displayHolding(std::uint64_t space);
    bool missing(Function function) const;
    std::uint64_t freshSpaceId();

    std::mutex mutex_;
    Clock* clock_ = nullptr;
    FakeCallLog* log_ = nullptr;
    std::vector<Display> displays_;
    std::map<std::uint32_t, std::vector<std::uint64_t>> windows_;
    std::map<std::uint32_t, std::uint32_t> windowNumbers_;
    std::int32_t windowNumberStatus_ = 0;
    Availability availability_{true, true, true, true};
    std::vector<Function> missing_;
    Clock::Duration arrivalDelay_{0.12};
    bool movesArrive_ = true;
    bool moveShowsTarget_ = false;
    std::int32_t switchStatus_ = 0;
    Clock::Duration switchDelay_{0.1};
    bool switchesTakeEffect_ = true;
    std::vector<GesturePass> gesturePasses_;
    std::optional<PlistValue> displayReport_;
    std::optional<PlistValue> windowSpacesReport_;
    std::optional<int> failDisplayReportsFrom_;
    int displayReportReads_ = 0;
    std::uint64_t nextSpaceId_ = 1;
    std::multimap<Clock::TimePoint, std::function<void()>> script_;
    std::vector<SwitchRequest> switchRequests_;
    std::vector<MoveRequest> moveRequests_;
    std::vector<std::int32_t> windowSpacesMasks_;
};

}  // namespace corvane::fake
