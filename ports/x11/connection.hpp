#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>
#include <xcb/xcbext.h>

#include "ports/x11/round_trips.hpp"

namespace corvane::x11 {

// Frees what xcb allocated for us (replies, errors, events) with free(3).
struct FreeDeleter {
    void operator()(void* p) const noexcept { std::free(p); }
};
template <class T>
using XPtr = std::unique_ptr<T, FreeDeleter>;

// Turns an xcb request's reply into an owned pointer; an X error (or a dead
// connection) becomes null and the error is released. The wait is counted
// (RoundTrips).
//   auto geometry = reply(c, xcb_get_geometry(c, w), xcb_get_geometry_reply);
template <class Cookie, class ReplyFn>
auto reply(xcb_connection_t* c, Cookie cookie, ReplyFn fn) {
    xcb_generic_error_t* error = nullptr;
    auto* r = fn(c, awaiting(c, cookie), &error);
    std::free(error);
    using R = std::remove_pointer_t<decltype(r)>;
    return XPtr<R>(r);
}

// The reply to `sequence` if it has come already; never waits. Absent while
// it is on its way; a null pointer for an X error (released here). Looking
// may read events off the socket into the library's queue.
template <class R>
std::optional<XPtr<R>> arrivedReply(xcb_connection_t* c, unsigned int sequence) {
    void* answer = nullptr;
    xcb_generic_error_t* error = nullptr;
    if (xcb_poll_for_reply(c, sequence, &answer, &error) == 0) return std::nullopt;
    std::free(error);
    return XPtr<R>(static_cast<R*>(answer));
}

// Atoms that xcb-ewmh does not intern for us.
struct ExtraAtoms {
    xcb_atom_t wmDeleteWindow = XCB_ATOM_NONE;
    xcb_atom_t utf8String = XCB_ATOM_NONE;
    // The invisible shadow around the decorations a client draws itself.
    xcb_atom_t gtkFrameExtents = XCB_ATOM_NONE;
};

// The xcb connection of the thread that opened it (the main thread, which
// holds the grabs and reads every event), plus a second one, opened on first
// use, for every other thread. Sharing one connection would let the desktop
// queue's worker read a key press off the socket while waiting for its own
// reply; the press would then sit in xcb's queue with the socket quiet, and
// the main loop would not wake for it. The second connection selects no
// events, so nothing is ever queued there. Both are released on every path.
class Connection {
public:
    // Absent when the display cannot be opened or the atoms cannot be interned.
    static std::unique_ptr<Connection> open(const char* displayName);
    struct Token {
        explicit Token() = default;
    };
    explicit Connection(Token) {}
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // The calling thread's connection and its EWMH atoms.
    xcb_connection_t* xcb() const { return link().conn; }
    xcb_ewmh_connection_t* ewmh() { return &link().ewmh; }
    int screenNumber() const { return screenNumber_; }
    xcb_screen_t* screen() const { return screen_; }
    xcb_window_t root() const { return screen_->root; }
    const ExtraAtoms& atoms() const { return atoms_; }
    // The display this connection was opened on (empty: the default display).
    const std::string& displayName() const { return displayName_; }
    // False once the server has gone or the stream broke.
    bool isAlive() const { return xcb_connection_has_error(xcb()) == 0; }
    bool onMainThread() const { return std::this_thread::get_id() == mainThread_; }

    // Called by every service at the start of an operation, when no reply is
    // outstanding: a worker whose connection broke gets a fresh one here
    // (never in the middle of an operation, where a reply would be awaited
    // on a connection that never sent its request). Does nothing on the
    // main thread, whose connection is the application's life.
    void settle() const;

    // Sends the requests buffered so far without waiting for anything.
    void flush() const { xcb_flush(xcb()); }

    // Properties of one window, absent on any X error, missing property or
    // wrong format. `cardinals` reads 32-bit items (CARDINAL, WINDOW, ATOM).
    std::optional<std::vector<std::uint32_t>> cardinals(xcb_window_t window, xcb_atom_t property,
                                                        xcb_atom_t type, std::uint32_t maxItems = 1024) const;
    std::optional<std::uint32_t> cardinal(xcb_window_t window, xcb_atom_t property, xcb_atom_t type) const;
    // The name of an atom; absent on error.
    std::optional<std::string> atomName(xcb_atom_t atom) const;

private:
    // One xcb connection with its EWMH atoms.
    struct Link {
        xcb_connection_t* conn = nullptr;
        xcb_ewmh_connection_t ewmh{};
        bool ewmhInitialised = false;
        Link() = default;
        Link(const Link&) = delete;
        Link& operator=(const Link&) = delete;
        ~Link();
    };
    // Connects and interns the EWMH atoms; absent on failure.
    static std::unique_ptr<Link> connect(const char* displayName, int* screenNumber);
    // A worker's own connection; when the server cannot be reached, a link
    // on which every request fails at once (never the main connection,
    // whose events a worker must not read).
    std::unique_ptr<Link> connectWorker() const;
    Link& link() const;

    std::unique_ptr<Link> main_;
    std::thread::id mainThread_ = std::this_thread::get_id();
    mutable std::mutex workerMutex_;
    mutable std::unique_ptr<Link> worker_;  // guarded by workerMutex_ until set
    int screenNumber_ = 0;
    xcb_screen_t* screen_ = nullptr;
    ExtraAtoms atoms_;
    std::string displayName_;
};

}  // namespace corvane::x11
