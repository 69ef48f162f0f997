#include "app/tour/tour_model.hpp"

#include <array>
#include <optional>
#include <tuple>

#include "core/shortcut.hpp"

namespace corvane {

namespace {

constexpr std::uint32_t keyLeft = 123;
constexpr std::uint32_t keyRight = 124;
constexpr std::uint32_t keyDown = 125;
constexpr std::uint32_t keyUp = 126;
constexpr std::uint32_t keyM = 46;
// The product key codes of the digits 1 to 9, in that order.
constexpr std::array<std::uint32_t, 9> digitKeys{18, 19, 20, 21, 23, 22, 26, 28, 25};

constexpr std::uint32_t heldMask = Shortcut::shift | Shortcut::control | Shortcut::option | Shortcut::command;
constexpr std::uint32_t base = Shortcut::control | Shortcut::option | Shortcut::command;
constexpr DemoFrame fullScreen{0, 0, 1, 1};

std::optional<DemoFrame> half(std::uint32_t keyCode) {
    switch (keyCode) {
        case keyLeft:
            return DemoFrame{0, 0, 0.5, 1};
        case keyRight:
            return DemoFrame{0.5, 0, 0.5, 1};
        case keyDown:
            return DemoFrame{0, 0.5, 1, 0.5};
        case keyUp:
            return DemoFrame{0, 0, 1, 0.5};
        default:
            return std::nullopt;
    }
}

// Left is the top-left corner and the others go round the screen: right is
// bottom-right, down bottom-left, up top-right.
std::optional<DemoFrame> corner(std::uint32_t keyCode) {
    switch (keyCode) {
        case keyLeft:
            return DemoFrame{0, 0, 0.5, 0.5};
        case keyRight:
            return DemoFrame{0.5, 0.5, 0.5, 0.5};
        case keyDown:
            return DemoFrame{0, 0.5, 0.5, 0.5};
        case keyUp:
            return DemoFrame{0.5, 0, 0.5, 0.5};
        default:
            return std::nullopt;
    }
}

std::optional<int> digit(std::uint32_t keyCode) {
    for (std::size_t i = 0; i < digitKeys.size(); ++i) {
        if (digitKeys[i] == keyCode) return static_cast<int>(i) + 1;
    }
    return std::nullopt;
}

}  // namespace

TourModel::TourModel(KeyboardMap::Names names)
    : names_(std::move(names)),
      feedback_("Hold " + names_.control + " + " + names_.option + " + " + names_.command + " together.") {}

bool TourModel::handle(const KeyInput& event) {
    const auto shownBefore = std::make_tuple(step_, modifiers_);
    modifiers_ = event.modifiers & heldMask;

    bool consumed = false;
    if (step_ == 0 && holds(base)) {
        // Starting lesson 1 never swallows the key that completed the chord.
        step_ = 1;
        feedback_ = "Nice. Keep those three held and tap an arrow or M.";
    } else if (event.kind == KeyInput::Kind::keyDown && event.keyCode) {
        consumed = handleKeyDown(*event.keyCode);
    }
    if (consumed || shownBefore != std::make_tuple(step_, modifiers_)) changed.emit();
    return consumed;
}

bool TourModel::handleKeyDown(std::uint32_t keyCode) {
    if (step_ == 1 && holds(base) && !holdsAny(Shortcut::shift)) {
        if (const auto target = half(keyCode)) {
            frame_ = *target;
            tried_ = true;
            feedback_ = "That moves the active window. Try another arrow or M.";
            return true;
        }
        if (keyCode == keyM) {
            if (frame_ != fullScreen) {
                beforeFull_ = frame_;
                frame_ = fullScreen;
                feedback_ = "M fills the screen. Press it again to restore.";
            } else {
                frame_ = beforeFull_;
                feedback_ = "M again restores the previous size.";
            }
            tried_ = true;
            return true;
        }
    }
    if (step_ == 2 && holds(Shortcut::control | Shortcut::option | Shortcut::shift) &&
        !holdsAny(Shortcut::command)) {
        if (const auto target = corner(keyCode)) {
            frame_ = *target;
            tried_ = true;
            feedback_ =
                names_.shift + " replaces " + names_.command + " for corners. Each arrow picks a corner.";
            return true;
        }
    }
    if (step_ == 3 && holds(Shortcut::control | Shortcut::option) && !holdsAny(Shortcut::command)) {
        if (const auto number = digit(keyCode)) {
            tried_ = true;
            desktopNumber_ = *number;
            followsDesktop_ = holdsAny(Shortcut::shift);
            feedback_ = "Desktop " + std::to_string(*number) +
                        (followsDesktop_ ? ": the window moves and you follow it."
                                         : ": the window moves while you stay here.");
            return true;
        }
    }
    return false;
}

void TourModel::advance() {
    if (!tried_ || step_ >= lessonCount - 1) return;
    ++step_;
    tried_ = false;
    if (step_ == 2) {
        feedback_ =
            "Hold " + names_.control + " + " + names_.option + " + " + names_.shift + ", then tap an arrow.";
    } else if (step_ == 3) {
        feedback_ = "Hold " + names_.control + " + " + names_.option + " and tap a number. Add " +
                    names_.shift + " to follow.";
    }
    changed.emit();
}

}  // namespace corvane
