#pragma once

#include <cstdint>
#include <string>

#include "app/platform/key_input.hpp"
#include "app/platform/keyboard_map.hpp"
#include "app/state/signal.hpp"

namespace corvane {

// Where the demo window sits, as fractions of the demo screen: origin at the
// top-left, y downwards, 1 being the screen's full width or height.
struct DemoFrame {
    double x = 0;
    double y = 0;
    double w = 0;
    double h = 0;
    friend bool operator==(const DemoFrame&, const DemoFrame&) = default;
};

// The guided tour's step machine: four lessons taught on a demo screen,
// each driven by the keys the user holds and taps. Fed with the product's
// key codes and Carbon modifier bits, so it knows no toolkit; the tour
// window converts its key events at the edge. Made afresh at every opening
// of the tour; nothing of it is stored. Main thread only.
class TourModel {
public:
    static constexpr int lessonCount = 4;
    static constexpr DemoFrame initialFrame{0.24, 0.18, 0.52, 0.61};

    // `names` words the hints the way the user's keyboard labels its keys.
    explicit TourModel(KeyboardMap::Names names = {});

    // Lets the event through (false) or consumes it (true). Modifier changes
    // and key releases only update the held modifiers (and may start lesson 1).
    bool handle(const KeyInput& event);
    // "Continue": the next lesson, once this one was tried.
    void advance();

    int step() const { return step_; }
    // Carbon bits of Shift, Control, Option and Command held at the last event.
    std::uint32_t modifiers() const { return modifiers_; }
    const DemoFrame& frame() const { return frame_; }
    const std::string& feedback() const { return feedback_; }
    bool tried() const { return tried_; }
    int desktopNumber() const { return desktopNumber_; }
    bool followsDesktop() const { return followsDesktop_; }
    const KeyboardMap::Names& names() const { return names_; }

    // After every event or advance that changed anything shown.
    Signal<> changed;

private:
    bool handleKeyDown(std::uint32_t keyCode);
    bool holds(std::uint32_t bits) const { return (modifiers_ & bits) == bits; }
    bool holdsAny(std::uint32_t bits) const { return (modifiers_ & bits) != 0; }

    KeyboardMap::Names names_;
    int step_ = 0;
    std::uint32_t modifiers_ = 0;
    DemoFrame frame_ = initialFrame;
    std::string feedback_;
    bool tried_ = false;
    int desktopNumber_ = 2;
    bool followsDesktop_ = false;
    // Restored by the second press of M; not shown.
    DemoFrame beforeFull_ = initialFrame;
};

}  // namespace corvane
