#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <type_traits>

#include "app/platform/window_server.hpp"
#include "ports/x11/connection.hpp"
#include "ports/x11/server_state.hpp"

namespace corvane::x11 {

// Desktops are the EWMH window manager's desktops, shared by all monitors.
// Each monitor is reported as a display whose spaces are all the desktops;
// a space identifier is the desktop index + 1 (0 is never a space).
//
// Any thread. The desktop count and the current desktop come from the server
// state (kept until their root properties change) unless a change asked for
// from this thread is awaited: then, on the desktop queue, a read waits for
// the window manager's notice of the change (at most a short while, so the
// product's own timeouts stay the ceilings) and asks the server afresh.
class X11WindowServer final : public WindowServer {
public:
    X11WindowServer(Connection& connection, ServerState& state);

    // Everything is available exactly when the window manager announces
    // _NET_NUMBER_OF_DESKTOPS, _NET_CURRENT_DESKTOP and _NET_WM_DESKTOP.
    Availability availability() override;
    Names names() override;
    // A constant connection number while desktops are available.
    std::optional<std::int32_t> mainConnection() override;
    std::optional<PlistValue> copyManagedDisplaySpaces(std::int32_t connection) override;
    // The desktops of each window; a window on every desktop (sticky) is on
    // every space. Windows without a desktop contribute nothing.
    std::optional<PlistValue> copySpacesForWindows(std::int32_t connection, std::int32_t mask,
                                                   const std::vector<std::uint32_t>& windows) override;
    // Asks the window manager to show the desktop on every monitor; status 0
    // when asked, non-zero for an identifier that names no possible desktop.
    std::optional<std::int32_t> setCurrentSpace(std::int32_t connection, const std::string& displayIdentifier,
                                                std::uint64_t space) override;
    // The X window id of a window element.
    std::optional<WindowNumber> windowNumber(const Element& window) override;
    // The window manager takes a client's requests in order, and the reads
    // of a move are answered from the server state at the press.
    bool startsMovesAtPress() override { return true; }
    // Asks the window manager to move each window to the desktop.
    bool performBridgedMove(const std::vector<std::uint32_t>& windows, std::uint64_t space) override;

    // The report for these monitor names, desktop count and current desktop
    // (pure; for tests).
    static PlistValue displaySpaces(const std::vector<std::string>& monitorNames, std::uint32_t desktops,
                                    std::uint32_t current);

    // The longest one read waits for the window manager's notice.
    static constexpr std::chrono::milliseconds noticeWait{50};

private:
    bool supported();
    std::optional<ServerState::Desktops> desktops();
    std::optional<std::uint32_t> windowDesktop(xcb_window_t window);

    // A change we asked for whose outcome the desktop queue has not seen yet.
    struct Awaited {
        std::uint32_t value = 0;  // the desktop asked for
        // Whether the queue's connection hears the property's changes: one
        // asked for on the queue is heard from before its request on.
        bool listening = false;
        bool over = false;  // seen, or given up on: the caller polls
    };
    // On the desktop queue, a read of a property a change of ours is
    // awaited on: waits for the window manager's notice (at most noticeWait)
    // unless `reached` already holds, then asks the server afresh.
    template <class Read, class Reached>
    std::invoke_result_t<Read> awaitedRead(xcb_window_t window, xcb_atom_t atom, Awaited& awaited,
                                           const char* what, const Read& read, const Reached& reached);

    Connection& connection_;
    ServerState& state_;
    // Requests whose outcome the desktop queue has not seen yet; the main
    // thread never waits for them.
    std::mutex mutex_;
    std::map<xcb_window_t, Awaited> movesAwaited_;
    std::optional<Awaited> switchAwaited_;
};

}  // namespace corvane::x11
