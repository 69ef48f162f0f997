#include <gtest/gtest.h>

#include "app/settings/gap_model.hpp"
#include "app/settings/permission_rows.hpp"
#include "app/settings/settings_sections.hpp"
#include "app/settings/shortcut_row_model.hpp"
#include "app/shell/menu_model.hpp"
#include "app/shell/shortcut_text.hpp"

namespace corvane {
namespace {

const WindowAction leftHalf = WindowAction::placement(Placement::leftHalf);
const WindowAction topHalf = WindowAction::placement(Placement::topHalf);
const WindowAction send1 = WindowAction::space(SpaceAction::send1);

KeyboardMap::Names linuxNames() {
    KeyboardMap::Names names;
    names.control = "Control";
    names.option = "Alt";
    names.command = "Super";
    names.optionShort = "Alt";
    names.commandShort = "Super";
    names.shortcutsInWords = true;
    return names;
}

// --- Shortcut text ---

TEST(ShortcutText, MacGlyphsOrLinuxWordsInTheSameModifierOrder) {
    const Shortcut all{123, Shortcut::control | Shortcut::option | Shortcut::shift | Shortcut::command, "←"};
    EXPECT_EQ(shortcutText(all, {}), "⌃⌥⇧⌘←");
    EXPECT_EQ(shortcutText(all, linuxNames()), "Ctrl+Alt+Shift+Super+←");
    EXPECT_EQ(shortcutText(Shortcut{46, 0x1900, "M"}, linuxNames()), "Ctrl+Alt+Super+M");
}

TEST(ShortcutText, MacOnlyKeyGlyphsBecomeWordsButTheStoredLabelStays) {
    const Shortcut back{51, Shortcut::control, "⌫"};
    EXPECT_EQ(shortcutText(back, linuxNames()), "Ctrl+Backspace");
    EXPECT_EQ(shortcutText(Shortcut{53, Shortcut::command, "⎋"}, linuxNames()), "Super+Esc");
    EXPECT_EQ(shortcutText(back, {}), "⌃⌫");
    EXPECT_EQ(back.key, "⌫");
}

TEST(ShortcutText, MenuWritesShortcutsAsThePlatformDoes) {
    MenuState state{true, true, Config::defaults(), true, linuxNames()};
    const auto items = buildStatusMenu(state);
    EXPECT_EQ(items.at(2).title, "Left Half\tCtrl+Alt+Super+←");
    const auto& send = items.at(17);
    ASSERT_EQ(send.kind, MenuItem::Kind::submenu);
    EXPECT_EQ(send.submenu.at(0).title, "Desktop 1\tCtrl+Alt+1");
}

// --- Rows and notes ---

class RowTest : public ::testing::Test {
protected:
    ShortcutRowModel row(const WindowAction& action) {
        return shortcutRow(action, RowState{config, unavailable, recording, hint, words});
    }
    Config config = Config::defaults();
    std::unordered_set<WindowAction> unavailable;
    std::optional<WindowAction> recording;
    std::optional<std::string> hint;
    SettingsWords words;
};

TEST_F(RowTest, AtRestShowsTheShortcutMonospacedAndNoNote) {
    const auto r = row(leftHalf);
    EXPECT_EQ(r.title, "Left Half");
    EXPECT_EQ(r.buttonLabel, "⌃⌥⌘←");
    EXPECT_TRUE(r.monospacedLabel());
    EXPECT_FALSE(r.note);
    EXPECT_EQ(r.symbol, "rectangle.lefthalf.filled");
}

TEST_F(RowTest, RecordingShowsPromptThenTheHintInOrange) {
    recording = leftHalf;
    auto r = row(leftHalf);
    EXPECT_EQ(r.buttonLabel, "Type shortcut…");
    EXPECT_FALSE(r.monospacedLabel());
    EXPECT_EQ(r.note, (RowNote{"Press a key combo · Esc to cancel · ⌫ to remove", false}));
    hint = "Include ⌘, ⌥ or ⌃ — e.g. ⌃⌥⌘A";
    EXPECT_EQ(row(leftHalf).note, (RowNote{*hint, true}));
    EXPECT_FALSE(row(topHalf).note) << "only the recording row shows the hint";
}

TEST_F(RowTest, WithoutShortcutReadsRecordShortcutAndHidesRemove) {
    config.shortcuts.erase(Placement::leftHalf);
    const auto r = row(leftHalf);
    EXPECT_EQ(r.buttonLabel, "Record Shortcut");
    EXPECT_FALSE(r.hasShortcut);
    EXPECT_TRUE(r.secondaryLabel());
}

TEST_F(RowTest, SharedShortcutNamesTheOthersBeforeAnyRegistrationProblem) {
    config.shortcuts[Placement::topHalf] = config.shortcuts.at(Placement::leftHalf);
    config.spaceShortcuts[SpaceAction::send1] = config.shortcuts.at(Placement::leftHalf);
    unavailable = {leftHalf, topHalf};
    EXPECT_EQ(row(leftHalf).note, (RowNote{"Same shortcut as Send to Desktop 1, Top Half", true}));
    EXPECT_EQ(row(send1).note, (RowNote{"Same shortcut as Left Half, Top Half", true}));
    config = Config::defaults();
    EXPECT_EQ(row(leftHalf).note, (RowNote{"Couldn't register this shortcut", true}));
}

TEST_F(RowTest, LinuxRowsWriteShortcutsInWords) {
    words = SettingsWords::forKeyboard(linuxNames());
    EXPECT_EQ(row(leftHalf).buttonLabel, "Ctrl+Alt+Super+←");
    recording = leftHalf;
    EXPECT_EQ(row(leftHalf).note->text, "Press a key combo · Esc to cancel · Backspace to remove");
}

// --- Sections, restore, desktops sentence ---

TEST(Sections, OrderAndMembersAndPlatformHeaders) {
    const auto mac = shortcutSections(SettingsWords{});
    ASSERT_EQ(mac.size(), 4u);
    EXPECT_EQ(mac[0].header, "Halves");
    EXPECT_EQ(mac[0].actions.back(), WindowAction::placement(Placement::maximize));
    EXPECT_EQ(mac[1].actions.size(), 4u);
    EXPECT_EQ(mac[2].footer, "Moves between physical monitors.");
    EXPECT_EQ(mac[3].header, "Mission Control Desktops");
    EXPECT_EQ(mac[3].actions.size(), 18u);
    EXPECT_EQ(mac[3].actions.front(), send1);
    EXPECT_EQ(mac[3].actions.back(), WindowAction::space(SpaceAction::follow9));

    const auto linux = shortcutSections(SettingsWords::forKeyboard(linuxNames()));
    EXPECT_EQ(linux[3].header, "Desktops");
    EXPECT_EQ(
        linux[3].footer,
        "Ctrl + Alt + number sends the window. Add Shift to follow it. Missing desktops are created first.");
}

TEST(Sections, RestoreIsOfferedOnlyWhenAShortcutDiffersNotForTheGap) {
    Config config = Config::defaults();
    EXPECT_FALSE(canRestoreDefaults(config));
    config.gap = 12;
    EXPECT_FALSE(canRestoreDefaults(config));
    config.spaceShortcuts.erase(SpaceAction::follow9);
    EXPECT_TRUE(canRestoreDefaults(config));
    config = Config::defaults();
    config.shortcuts[Placement::maximize].key = "m";
    EXPECT_FALSE(canRestoreDefaults(config)) << "a label alone is no difference";
}

TEST(Sections, DesktopsSentenceNamesWhatTheWindowManagerLacks) {
    const SettingsWords words;
    EXPECT_FALSE(desktopsUnavailableText(true, words, std::nullopt));
    EXPECT_EQ(desktopsUnavailableText(false, words, std::nullopt),
              "Native Desktop moves require macOS 26.4 or later on this build.");
    WindowManager::Facts facts{"Openbox", {}, {"_NET_WM_DESKTOP", "_NET_CURRENT_DESKTOP"}};
    EXPECT_EQ(desktopsUnavailableText(false, words, facts),
              "Desktop moves need _NET_WM_DESKTOP and _NET_CURRENT_DESKTOP, which Openbox does not offer.");
    EXPECT_EQ(desktopsUnavailableText(false, words, WindowManager::Facts{}),
              "Desktop moves need a window manager that supports EWMH desktops; none is running.");
}

// --- Permission rows ---

TEST(PermissionRows, AccessibilityRowFollowsTrustAndSizeUpRowAppearsWhileItRuns) {
    auto rows = permissionRows(PermissionState{true, false, std::nullopt});
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].title, "Accessibility access granted");
    EXPECT_TRUE(rows[0].buttonTitle.empty());

    rows = permissionRows(PermissionState{false, true, std::nullopt});
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].title, "Accessibility access needed");
    EXPECT_EQ(rows[0].buttonTitle, "Open System Settings");
    EXPECT_EQ(rows[0].action, PermissionRow::Action::requestAccess);
    EXPECT_EQ(rows[1].title, "SizeUp is still running");
    EXPECT_EQ(rows[1].action, PermissionRow::Action::quitSizeUp);
}

TEST(PermissionRows, WindowManagerRowStandsInForAccessibility) {
    auto rows = permissionRows(PermissionState{true, false, WindowManager::Facts{"Openbox", {}, {}}});
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].title, "Window manager: Openbox");
    EXPECT_EQ(rows[0].tone, PermissionRow::Tone::brand);

    rows = permissionRows(
        PermissionState{true, false, WindowManager::Facts{"twm-ish", {"_NET_FRAME_EXTENTS"}, {}}});
    EXPECT_EQ(rows[0].tone, PermissionRow::Tone::warning);
    EXPECT_EQ(rows[0].detail, "It lacks _NET_FRAME_EXTENTS: shortcuts may not move windows.");

    rows = permissionRows(PermissionState{true, false, WindowManager::Facts{}});
    EXPECT_EQ(rows[0].title, "No window manager found");
}

// --- Gap ---

TEST(Gap, SliderValuesRoundHalfAwayFromZeroAndStayInRange) {
    EXPECT_EQ(gapFromSlider(2.5), 3);
    EXPECT_EQ(gapFromSlider(3.49), 3);
    EXPECT_EQ(gapFromSlider(-1), 0);
    EXPECT_EQ(gapFromSlider(41), 40);
    EXPECT_EQ(gapFromSlider(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(gapText(12), "12 pt");
}

TEST(Gap, PreviewTilesMeetAtZeroAndKeepTheirMarginsAtForty) {
    const Rect screen{0, 0, 1440, 900};
    const Size size{128, 80};
    auto tiles = gapPreviewTiles(0, screen, size);
    EXPECT_DOUBLE_EQ(tiles[0].frame.x, 0);
    EXPECT_DOUBLE_EQ(tiles[0].frame.x + tiles[0].frame.width, tiles[1].frame.x);
    EXPECT_DOUBLE_EQ(tiles[1].frame.x + tiles[1].frame.width, 128);
    EXPECT_DOUBLE_EQ(tiles[0].frame.height, 80);

    tiles = gapPreviewTiles(40, screen, size);
    const double scale = 128.0 / 1440.0;
    EXPECT_NEAR(tiles[0].frame.width, 540 * scale, 1e-9);
    EXPECT_NEAR(tiles[0].frame.height, 660 * scale, 1e-9);
    EXPECT_NEAR(tiles[0].frame.x, 120 * scale, 1e-9);
    EXPECT_NEAR(tiles[1].frame.x - (tiles[0].frame.x + tiles[0].frame.width), 120 * scale, 1e-9);
    EXPECT_GT(tiles[0].opacity, tiles[1].opacity);
}

}  // namespace
}  // namespace corvane
