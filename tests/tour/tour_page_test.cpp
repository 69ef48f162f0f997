#include "app/tour/tour_page.hpp"

#include <gtest/gtest.h>

#include "core/shortcut.hpp"

namespace corvane {
namespace {

constexpr std::uint32_t ctrl = Shortcut::control;
constexpr std::uint32_t opt = Shortcut::option;
constexpr std::uint32_t cmd = Shortcut::command;
constexpr std::uint32_t shift = Shortcut::shift;

KeyInput modifiers(std::uint32_t held) {
    return KeyInput{KeyInput::Kind::modifiersChanged, std::nullopt, held, {}, false};
}
KeyInput press(std::uint32_t keyCode, std::uint32_t held) {
    return KeyInput{KeyInput::Kind::keyDown, keyCode, held, {}, false};
}

std::vector<std::string> labels(const std::vector<KeyCap>& caps) {
    std::vector<std::string> result;
    for (const auto& cap : caps) result.push_back(cap.label);
    return result;
}
std::vector<std::string> lit(const std::vector<KeyCap>& caps) {
    std::vector<std::string> result;
    for (const auto& cap : caps)
        if (cap.lit) result.push_back(cap.label);
    return result;
}

KeyboardMap::Names linuxNames() {
    KeyboardMap::Names names;
    names.option = "Alt";
    names.command = "Super";
    names.optionShort = "Alt";
    names.commandShort = "Super";
    return names;
}

using Labels = std::vector<std::string>;

TEST(TourPage, EachLessonShowsItsCapsButtonAndPreview) {
    TourModel model(linuxNames());
    TourPage page = tourPage(model);
    EXPECT_EQ("1 / 4", page.counter);
    EXPECT_EQ("First, hold these together.", page.title);
    EXPECT_EQ((Labels{"Ctrl", "Alt", "Super"}), labels(page.keys.hold));
    EXPECT_TRUE(page.keys.tap.empty());
    EXPECT_FALSE(page.buttonTitle);
    EXPECT_FALSE(page.desktops);

    model.handle(modifiers(ctrl | opt | cmd));
    page = tourPage(model);
    EXPECT_EQ("2 / 4", page.counter);
    EXPECT_EQ((Labels{"Ctrl", "Alt", "Super"}), lit(page.keys.hold));
    EXPECT_EQ((Labels{"←", "↑", "→", "↓", "M"}), labels(page.keys.tap));
    EXPECT_EQ("Continue", page.buttonTitle);
    EXPECT_FALSE(page.buttonEnabled);
    model.handle(press(123, ctrl | opt | cmd));
    EXPECT_TRUE(tourPage(model).buttonEnabled);
    model.advance();

    model.handle(modifiers(ctrl | shift));
    page = tourPage(model);
    EXPECT_EQ("Corners use Shift.", page.title);
    EXPECT_EQ((Labels{"Ctrl", "Alt", "Shift"}), labels(page.keys.hold));
    EXPECT_EQ((Labels{"Ctrl", "Shift"}), lit(page.keys.hold));
    EXPECT_EQ((Labels{"←", "↑", "→", "↓"}), labels(page.keys.tap));
    model.handle(press(126, ctrl | opt | shift));
    model.advance();

    page = tourPage(model);
    EXPECT_EQ("4 / 4", page.counter);
    EXPECT_EQ("Send a window to a Desktop.", page.title);
    EXPECT_EQ((Labels{"Ctrl", "Alt", "Shift = follow"}), labels(page.keys.hold));
    EXPECT_EQ((Labels{"1", "2", "3", "4", "5", "6", "7", "8", "9"}), labels(page.keys.tap));
    EXPECT_TRUE(lit(page.keys.tap).empty());
    EXPECT_EQ("Finish Tour", page.buttonTitle);
    EXPECT_TRUE(page.buttonFinishes);
    EXPECT_FALSE(page.buttonEnabled);
}

TEST(TourPage, DesktopPreviewFollowsTheTry) {
    TourModel model;
    model.handle(modifiers(ctrl | opt | cmd));
    model.handle(press(123, ctrl | opt | cmd));
    model.advance();
    model.handle(press(123, ctrl | opt | shift));
    model.advance();

    DesktopPreview preview = *tourPage(model).desktops;
    EXPECT_EQ("Desktop 2", preview.targetTitle);
    EXPECT_FALSE(preview.windowInTarget);
    EXPECT_EQ(0.5, preview.currentOutlineOpacity);
    EXPECT_EQ(0.12, preview.targetOutlineOpacity);

    model.handle(press(20, ctrl | opt));  // 3, staying
    preview = *tourPage(model).desktops;
    EXPECT_EQ("Desktop 3", preview.targetTitle);
    EXPECT_TRUE(preview.windowInTarget);
    EXPECT_EQ(0.5, preview.currentOutlineOpacity);

    model.handle(press(25, ctrl | opt | shift));  // 9, following
    preview = *tourPage(model).desktops;
    EXPECT_EQ("Desktop 9", preview.targetTitle);
    EXPECT_EQ(0.12, preview.currentOutlineOpacity);
    EXPECT_EQ(0.5, preview.targetOutlineOpacity);
    EXPECT_TRUE(tourPage(model).buttonEnabled);
}

TEST(TourPage, MacKeyCapsKeepTheirNames) {
    TourModel model;
    EXPECT_EQ((Labels{"Ctrl", "Opt", "Cmd"}), labels(tourPage(model).keys.hold));
}

}  // namespace
}  // namespace corvane
