#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "app/platform/screens.hpp"
#include "ports/fake/fake_call_log.hpp"

namespace corvane::fake {

// The displays, scripted. Logged as "screens", "displayUUID <n>",
// "displayBounds <n>". Thread-safe.
class FakeScreens final : public Screens {
public:
    // One display as the fake holds it.
    struct Display {
        Screen screen;  // frame and visibleFrame in the bottom-left space
        std::string uuid;
        Rect bounds;  // global top-left space
    };

    explicit FakeScreens(FakeCallLog& log);

    std::vector<Screen> screens() override;
    std::optional<std::string> displayUUID(std::uint32_t displayNumber) override;
    std::optional<Rect> displayBounds(std::uint32_t displayNumber) override;

    // --- Scripting (not logged) ---

    // Appends a display with the next display number (1, 2, ...), a UUID made
    // from that number and bounds derived from the frame (the first display
    // added is the primary; later frames are relative to it). Returns the number.
    std::uint32_t addScreen(const Rect& frame, const Rect& visibleFrame);
    // Replaces the whole list; the first is the primary.
    void setDisplays(std::vector<Display> displays);
    void clear();
    std::vector<Display> displays() const;

private:
    FakeCallLog& log_;
    mutable std::mutex mutex_;
    std::uint32_t nextNumber_ = 1;
    std::vector<Display> displays_;
};

}  // namespace corvane::fake
