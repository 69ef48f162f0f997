#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/platform/element.hpp"
#include "app/platform/plist_value.hpp"

namespace corvane {

// The window server's desktop ("space") functions. Each may be missing on a
// given system: a missing function is an absent result, never a throw.
//
// Threads: desktop moves call every method from their serial queue, and,
// where startsMovesAtPress holds, from the main thread at the press.
class WindowServer {
public:
    // What must hold for desktop moves to work here.
    struct Availability {
        bool systemVersion = false;    // the system is new enough
        bool serverFunctions = false;  // main connection, display spaces, window spaces, set current space
        bool windowNumberFunction = false;  // window number of an element
        bool bridgedMove = false;           // the move operation can be built
    };

    virtual ~WindowServer() = default;

    virtual Availability availability() = 0;

    // How messages to the user name the system that owns desktops, and the
    // place where a user adds a desktop by hand.
    struct Names {
        std::string system = "macOS";                     // "<system> did not move the window…"
        std::string thisSystem = "this macOS version";    // "…is unavailable on <thisSystem>"
        std::string desktopOverview = "Mission Control";  // "Add it in <desktopOverview>…"
        // Why a desktop move was refused before it started.
        std::string unavailable = "Native Desktops unavailable or Accessibility access missing";
    };
    virtual Names names() { return {}; }

    // True where a move may start on the main thread at the press: the reads
    // it needs are answered from what the port already knows, requests are
    // sent without waiting, and the system applies this process's requests
    // in the order they were sent, so a follow may ask for the desktop right
    // behind the move. Otherwise every move runs whole on the desktop queue.
    virtual bool startsMovesAtPress() { return false; }

    // The connection number for the calls below; absent when the function is missing.
    virtual std::optional<std::int32_t> mainConnection() = 0;

    // One dictionary per display, with "Display Identifier" (string),
    // "Current Space" (dictionary) and "Spaces" (array of dictionaries; each
    // space has "ManagedSpaceID" or "id64" and "type"). Absent when the
    // function is missing or reported nothing; otherwise any value at all.
    virtual std::optional<PlistValue> copyManagedDisplaySpaces(std::int32_t connection) = 0;

    // The spaces (numbers) that hold the given windows; absent when the
    // function is missing or reported nothing.
    virtual std::optional<PlistValue> copySpacesForWindows(std::int32_t connection, std::int32_t mask,
                                                           const std::vector<std::uint32_t>& windows) = 0;

    // Asks the display to show a space. Absent when the function is missing;
    // otherwise its status, 0 when accepted (the switch completes later).
    virtual std::optional<std::int32_t> setCurrentSpace(std::int32_t connection,
                                                        const std::string& displayIdentifier,
                                                        std::uint64_t space) = 0;

    struct WindowNumber {
        std::int32_t status = 0;
        std::uint32_t number = 0;  // 0 means none
    };
    // The window server's number of a window element; absent when the
    // function is missing.
    virtual std::optional<WindowNumber> windowNumber(const Element& window) = 0;

    // Starts moving the windows to the space; false when the operation
    // cannot be built or run. Says nothing about the outcome.
    virtual bool performBridgedMove(const std::vector<std::uint32_t>& windows, std::uint64_t space) = 0;

protected:
    WindowServer() = default;
    WindowServer(const WindowServer&) = delete;
    WindowServer& operator=(const WindowServer&) = delete;
};

}  // namespace corvane
