#include "app/tour/tour_model.hpp"

#include <gtest/gtest.h>

#include "core/shortcut.hpp"

namespace corvane {

void PrintTo(const DemoFrame& f, std::ostream* out) {
    *out << "(" << f.x << ", " << f.y << ", " << f.w << ", " << f.h << ")";
}

namespace {

constexpr std::uint32_t ctrl = Shortcut::control;
constexpr std::uint32_t opt = Shortcut::option;
constexpr std::uint32_t cmd = Shortcut::command;
constexpr std::uint32_t shift = Shortcut::shift;
constexpr std::uint32_t left = 123, right = 124, down = 125, up = 126, keyM = 46, keyK = 40;
constexpr std::uint32_t digit1 = 18, digit7 = 26;

KeyInput modifiers(std::uint32_t held) {
    return KeyInput{KeyInput::Kind::modifiersChanged, std::nullopt, held, {}, false};
}
KeyInput press(std::uint32_t keyCode, std::uint32_t held) {
    return KeyInput{KeyInput::Kind::keyDown, keyCode, held, {}, false};
}

// Takes a new model to the start of `lesson` the way a user gets there.
void bringTo(TourModel& model, int lesson) {
    model.handle(modifiers(ctrl | opt | cmd));
    if (lesson >= 2) {
        model.handle(press(left, ctrl | opt | cmd));
        model.advance();
    }
    if (lesson >= 3) {
        model.handle(press(left, ctrl | opt | shift));
        model.advance();
    }
}

TEST(TourModelLesson0, HoldingTheBaseModifiersStartsLesson1WithoutConsumingTheEvent) {
    for (const std::uint32_t held : {ctrl | opt | cmd, ctrl | opt | cmd | shift}) {
        TourModel model;
        EXPECT_FALSE(model.handle(modifiers(held)));
        EXPECT_EQ(1, model.step());
        EXPECT_EQ(held, model.modifiers());
        EXPECT_EQ("Nice. Keep those three held and tap an arrow or M.", model.feedback());
        EXPECT_FALSE(model.tried());
    }
    // The arrow that completes the chord only starts the lesson: it is not yet a try.
    TourModel model;
    EXPECT_FALSE(model.handle(press(left, ctrl | opt | cmd)));
    EXPECT_EQ(1, model.step());
    EXPECT_EQ(TourModel::initialFrame, model.frame());

    TourModel partial;
    EXPECT_FALSE(partial.handle(modifiers(ctrl | opt)));
    EXPECT_FALSE(partial.handle(press(left, ctrl | opt | shift)));
    EXPECT_EQ(0, partial.step());
    EXPECT_EQ("Hold Control + Option + Command together.", partial.feedback());
}

TEST(TourModelLesson1, ArrowsPlaceHalvesOnlyWithoutShift) {
    TourModel model;
    bringTo(model, 1);
    EXPECT_TRUE(model.handle(press(right, ctrl | opt | cmd)));
    EXPECT_EQ((DemoFrame{0.5, 0, 0.5, 1}), model.frame());
    EXPECT_TRUE(model.tried());
    EXPECT_EQ("That moves the active window. Try another arrow or M.", model.feedback());
    EXPECT_TRUE(model.handle(press(down, ctrl | opt | cmd)));
    EXPECT_EQ((DemoFrame{0, 0.5, 1, 0.5}), model.frame());
    EXPECT_TRUE(model.handle(press(up, ctrl | opt | cmd)));
    EXPECT_EQ((DemoFrame{0, 0, 1, 0.5}), model.frame());

    TourModel shifted;
    bringTo(shifted, 1);
    EXPECT_FALSE(shifted.handle(press(left, ctrl | opt | cmd | shift)));
    EXPECT_EQ(TourModel::initialFrame, shifted.frame());
    EXPECT_FALSE(shifted.tried());
    // Other keys, and the lesson's keys without all three held, pass through.
    EXPECT_FALSE(shifted.handle(press(keyK, ctrl | opt | cmd)));
    EXPECT_FALSE(shifted.handle(press(left, ctrl | opt)));
    EXPECT_FALSE(shifted.tried());
}

TEST(TourModelLesson1, MFillsAndRestoresTheFrameBeforeIt) {
    TourModel model;
    bringTo(model, 1);
    EXPECT_TRUE(model.handle(press(keyM, ctrl | opt | cmd)));
    EXPECT_EQ((DemoFrame{0, 0, 1, 1}), model.frame());
    EXPECT_EQ("M fills the screen. Press it again to restore.", model.feedback());
    EXPECT_TRUE(model.handle(press(keyM, ctrl | opt | cmd)));
    EXPECT_EQ(TourModel::initialFrame, model.frame());
    EXPECT_EQ("M again restores the previous size.", model.feedback());

    model.handle(press(left, ctrl | opt | cmd));
    model.handle(press(keyM, ctrl | opt | cmd));
    EXPECT_EQ((DemoFrame{0, 0, 1, 1}), model.frame());
    model.handle(press(keyM, ctrl | opt | cmd));
    EXPECT_EQ((DemoFrame{0, 0, 0.5, 1}), model.frame());
}

TEST(TourModelLesson2, ArrowsPickCornersAndCommandIsIgnored) {
    TourModel model;
    bringTo(model, 2);
    EXPECT_EQ("Hold Control + Option + Shift, then tap an arrow.", model.feedback());
    // The lesson starts where lesson 1 left the window.
    EXPECT_EQ((DemoFrame{0, 0, 0.5, 1}), model.frame());
    EXPECT_FALSE(model.handle(press(right, ctrl | opt | shift | cmd)));
    EXPECT_FALSE(model.tried());
    EXPECT_EQ((DemoFrame{0, 0, 0.5, 1}), model.frame());

    const std::pair<std::uint32_t, DemoFrame> corners[] = {{left, {0, 0, 0.5, 0.5}},
                                                           {right, {0.5, 0.5, 0.5, 0.5}},
                                                           {down, {0, 0.5, 0.5, 0.5}},
                                                           {up, {0.5, 0, 0.5, 0.5}}};
    for (const auto& [key, expected] : corners) {
        EXPECT_TRUE(model.handle(press(key, ctrl | opt | shift)));
        EXPECT_EQ(expected, model.frame());
    }
    EXPECT_TRUE(model.tried());
    EXPECT_EQ("Shift replaces Command for corners. Each arrow picks a corner.", model.feedback());
}

TEST(TourModelLesson3, DigitsSendToADesktopAndShiftFollows) {
    TourModel model;
    bringTo(model, 3);
    EXPECT_EQ("Hold Control + Option and tap a number. Add Shift to follow.", model.feedback());
    EXPECT_EQ(2, model.desktopNumber());

    EXPECT_TRUE(model.handle(press(digit7, shift | ctrl | opt)));
    EXPECT_EQ(7, model.desktopNumber());
    EXPECT_TRUE(model.followsDesktop());
    EXPECT_EQ("Desktop 7: the window moves and you follow it.", model.feedback());

    EXPECT_TRUE(model.handle(press(digit1, ctrl | opt)));
    EXPECT_EQ(1, model.desktopNumber());
    EXPECT_FALSE(model.followsDesktop());
    EXPECT_EQ("Desktop 1: the window moves while you stay here.", model.feedback());

    EXPECT_FALSE(model.handle(press(digit1, ctrl | opt | cmd)));
    EXPECT_EQ(1, model.desktopNumber());
}

TEST(TourModelLessons, KeysOfOtherLessonsPassThroughUnchanged) {
    for (const int lesson : {1, 2}) {
        TourModel model;
        bringTo(model, lesson);
        const DemoFrame before = model.frame();
        EXPECT_FALSE(model.handle(press(digit7, ctrl | opt)));
        EXPECT_FALSE(model.handle(press(digit7, ctrl | opt | shift)));
        EXPECT_FALSE(model.tried());
        EXPECT_EQ(before, model.frame());
    }
    TourModel model;
    bringTo(model, 3);
    for (const std::uint32_t key : {left, right, up, down, keyM}) {
        EXPECT_FALSE(model.handle(press(key, ctrl | opt)));
        EXPECT_FALSE(model.handle(press(key, ctrl | opt | shift)));
    }
    EXPECT_FALSE(model.tried());
}

TEST(TourModelAdvance, ContinueNeedsATryEachTime) {
    TourModel model;
    bringTo(model, 1);
    model.advance();
    EXPECT_EQ(1, model.step());

    model.handle(press(left, ctrl | opt | cmd));
    model.advance();
    EXPECT_EQ(2, model.step());
    EXPECT_FALSE(model.tried());
    model.advance();
    EXPECT_EQ(2, model.step());

    model.handle(press(up, ctrl | opt | shift));
    model.advance();
    EXPECT_EQ(3, model.step());
    // Lesson 3 ends with the tour, never with a fifth lesson.
    model.handle(press(digit1, ctrl | opt));
    model.advance();
    EXPECT_EQ(3, model.step());
}

TEST(TourModelObservers, ChangesAreAnnouncedAndNothingElse) {
    TourModel model;
    int changes = 0;
    const auto connection = model.changed.connect([&] { ++changes; });
    model.handle(modifiers(ctrl));
    EXPECT_EQ(1, changes);
    model.handle(modifiers(ctrl));
    EXPECT_EQ(1, changes);
    model.advance();  // nothing tried
    EXPECT_EQ(1, changes);
    model.handle(modifiers(ctrl | opt | cmd));
    EXPECT_EQ(2, changes);
    model.handle(press(left, ctrl | opt | cmd));
    EXPECT_EQ(3, changes);
}

TEST(TourModelWords, HintsNameTheKeysOfTheKeyboard) {
    KeyboardMap::Names linux;
    linux.option = "Alt";
    linux.command = "Super";
    TourModel model(linux);
    EXPECT_EQ("Hold Control + Alt + Super together.", model.feedback());
    model.handle(modifiers(ctrl | opt | cmd));
    model.handle(press(left, ctrl | opt | cmd));
    model.advance();
    EXPECT_EQ("Hold Control + Alt + Shift, then tap an arrow.", model.feedback());
    model.handle(press(left, ctrl | opt | shift));
    EXPECT_EQ("Shift replaces Super for corners. Each arrow picks a corner.", model.feedback());
    model.advance();
    EXPECT_EQ("Hold Control + Alt and tap a number. Add Shift to follow.", model.feedback());
}

}  // namespace
}  // namespace corvane
