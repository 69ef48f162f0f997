#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace corvane {

// The program that manages windows and desktops on this display, where it is
// a separate program the user chose (an X11 window manager). What the
// settings window reports about it, and how our own window is put in front
// of the user. Platforms where the system itself manages windows have none.
// Main thread only.
class WindowManager {
public:
    struct Facts {
        // The name it announces (_NET_WM_NAME of its check window); absent
        // when no window manager announces itself.
        std::optional<std::string> name;
        // What placing windows needs that it does not offer, by protocol name.
        std::vector<std::string> missingForPlacement;
        // What desktop moves need that it does not offer.
        std::vector<std::string> missingForDesktops;
        friend bool operator==(const Facts&, const Facts&) = default;
    };

    virtual ~WindowManager() = default;

    // Asked afresh each time: a window manager can be replaced at any moment.
    virtual Facts facts() = 0;

    // Moves one of our own top-level windows (by its native id) to the
    // desktop the user is looking at and asks for it to be activated the way
    // a pager or task bar asks, which focus-stealing prevention honours.
    // Does nothing for an unknown window.
    virtual void present(std::uint64_t nativeWindow) = 0;

protected:
    WindowManager() = default;
    WindowManager(const WindowManager&) = delete;
    WindowManager& operator=(const WindowManager&) = delete;
};

}  // namespace corvane
