#include "app/shell/menu_model.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace corvane {
namespace {

// The menu as one line per item: "---" for a separator, "> Title (n)" for a
// submenu of n items, the title otherwise.
std::vector<std::string> outline(const std::vector<MenuItem>& items) {
    std::vector<std::string> lines;
    for (const auto& item : items) {
        switch (item.kind) {
            case MenuItem::Kind::separator:
                lines.push_back("---");
                break;
            case MenuItem::Kind::submenu:
                lines.push_back("> " + item.title + " (" + std::to_string(item.submenu.size()) + ")");
                break;
            case MenuItem::Kind::command:
                lines.push_back(item.title);
                break;
        }
    }
    return lines;
}

const MenuItem& itemTitled(const std::vector<MenuItem>& items, const std::string& prefix) {
    for (const auto& item : items) {
        if (item.title.rfind(prefix, 0) == 0) return item;
    }
    throw std::runtime_error("no item " + prefix);
}

std::vector<MenuItem> menu(bool trusted, bool enabled, const Config& config, bool desktops) {
    return buildStatusMenu(MenuState{trusted, enabled, config, desktops});
}

TEST(MenuModel, DefaultMenuWithDesktopsListsEveryEntryInOrder) {
    const auto items = menu(true, true, Config::defaults(), true);
    const std::vector<std::string> expected{
        "Turn Corvane Off",
        "---",
        "Left Half\t⌃⌥⌘←",
        "Right Half\t⌃⌥⌘→",
        "Top Half\t⌃⌥⌘↑",
        "Bottom Half\t⌃⌥⌘↓",
        "---",
        "Upper Left Quarter\t⌃⌥⇧←",
        "Upper Right Quarter\t⌃⌥⇧↑",
        "Lower Left Quarter\t⌃⌥⇧↓",
        "Lower Right Quarter\t⌃⌥⇧→",
        "---",
        "Full Screen\t⌃⌥⌘M",
        "---",
        "Previous Display\t⌃⌥←",
        "Next Display\t⌃⌥→",
        "---",
        "> Send to Desktop (9)",
        "> Send to Desktop and Follow (9)",
        "---",
        "Settings…",
        "Take the Tour…",
        "Quit Corvane",
    };
    EXPECT_EQ(expected, outline(items));

    const auto& send = itemTitled(items, "Send to Desktop");
    const auto& follow = itemTitled(items, "Send to Desktop and Follow");
    EXPECT_FALSE(send.command);
    EXPECT_FALSE(follow.command);
    for (int n = 1; n <= 9; ++n) {
        const auto i = static_cast<std::size_t>(n - 1);
        EXPECT_EQ("Desktop " + std::to_string(n) + "\t⌃⌥" + std::to_string(n), send.submenu[i].title);
        EXPECT_EQ("Desktop " + std::to_string(n) + "\t⌃⌥⇧" + std::to_string(n), follow.submenu[i].title);
        EXPECT_EQ(MenuCommand(SpaceCommand{SpaceAction::allCases()[i]}), send.submenu[i].command);
        EXPECT_EQ(MenuCommand(SpaceCommand{SpaceAction::allCases()[i + 9]}), follow.submenu[i].command);
        EXPECT_TRUE(send.submenu[i].symbol.empty());
    }
}

TEST(MenuModel, CommandsSymbolsAndKeyEquivalents) {
    const auto items = menu(true, true, Config::defaults(), true);
    for (const Placement placement : Placement::allCases()) {
        const auto& item = itemTitled(items, std::string(placement.title()) + "\t");
        EXPECT_EQ(MenuCommand(MoveCommand{placement}), item.command) << placement.rawValue();
        EXPECT_FALSE(item.symbol.empty()) << placement.rawValue();
        EXPECT_EQ(KeyEquivalent::none, item.keyEquivalent);
    }
    EXPECT_EQ("rectangle.lefthalf.filled", itemTitled(items, "Left Half").symbol);
    EXPECT_EQ(MenuCommand(ToggleEnabledCommand{}), items.front().command);
    EXPECT_EQ(MenuCommand(SettingsCommand{}), itemTitled(items, "Settings…").command);
    EXPECT_EQ(KeyEquivalent::settings, itemTitled(items, "Settings…").keyEquivalent);
    EXPECT_EQ(MenuCommand(TourCommand{}), itemTitled(items, "Take the Tour…").command);
    EXPECT_EQ(KeyEquivalent::none, itemTitled(items, "Take the Tour…").keyEquivalent);
    EXPECT_EQ(MenuCommand(QuitCommand{}), items.back().command);
    EXPECT_EQ(KeyEquivalent::quit, items.back().keyEquivalent);
}

TEST(MenuModel, WithoutPermissionTheMenuOpensWithTheAccessRequest) {
    const auto untrusted = menu(false, true, Config::defaults(), false);
    ASSERT_GE(untrusted.size(), 3u);
    EXPECT_EQ("Grant Accessibility Access…", untrusted[0].title);
    EXPECT_EQ(MenuCommand(GrantAccessCommand{}), untrusted[0].command);
    EXPECT_TRUE(untrusted[0].enabled);
    EXPECT_EQ(MenuItem::Kind::separator, untrusted[1].kind);
    EXPECT_EQ("Turn Corvane Off", untrusted[2].title);

    const auto trusted = menu(true, true, Config::defaults(), false);
    EXPECT_EQ("Turn Corvane Off", trusted[0].title);
    EXPECT_EQ(untrusted.size(), trusted.size() + 2);
}

TEST(MenuModel, SwitchedOffDisablesEveryMoveButNotTheRest) {
    const auto items = menu(true, false, Config::defaults(), true);
    EXPECT_EQ("Turn Corvane On", items.front().title);
    EXPECT_TRUE(items.front().enabled);

    int moves = 0;
    for (const auto& item : items) {
        if (item.kind == MenuItem::Kind::submenu) {
            EXPECT_TRUE(item.enabled) << item.title;  // the submenu still opens, to show the shortcuts
            for (const auto& desktop : item.submenu) {
                EXPECT_FALSE(desktop.enabled) << desktop.title;
                ++moves;
            }
        } else if (item.command && std::holds_alternative<MoveCommand>(*item.command)) {
            EXPECT_FALSE(item.enabled) << item.title;
            ++moves;
        } else if (item.command) {
            EXPECT_TRUE(item.enabled) << item.title;
        }
    }
    EXPECT_EQ(11 + 18, moves);

    for (const auto& item : menu(true, true, Config::defaults(), true)) {
        EXPECT_TRUE(item.enabled) << item.title;
        for (const auto& desktop : item.submenu) EXPECT_TRUE(desktop.enabled) << desktop.title;
    }
}

TEST(MenuModel, WithoutDesktopsTheSubmenusAndTheirSeparatorAreLeftOut) {
    const std::vector<std::string> expected{
        "Grant Accessibility Access…",
        "---",
        "Turn Corvane On",
        "---",
        "Left Half\t⌃⌥⌘←",
        "Right Half\t⌃⌥⌘→",
        "Top Half\t⌃⌥⌘↑",
        "Bottom Half\t⌃⌥⌘↓",
        "---",
        "Upper Left Quarter\t⌃⌥⇧←",
        "Upper Right Quarter\t⌃⌥⇧↑",
        "Lower Left Quarter\t⌃⌥⇧↓",
        "Lower Right Quarter\t⌃⌥⇧→",
        "---",
        "Full Screen\t⌃⌥⌘M",
        "---",
        "Previous Display\t⌃⌥←",
        "Next Display\t⌃⌥→",
        "---",
        "Settings…",
        "Take the Tour…",
        "Quit Corvane",
    };
    EXPECT_EQ(expected, outline(menu(false, false, Config::defaults(), false)));
}

TEST(MenuModel, ShortcutTextFollowsTheConfiguration) {
    Config config = Config::defaults();
    config.shortcuts.erase(Placement::leftHalf);
    config.spaceShortcuts.erase(SpaceAction::follow3);
    config.shortcuts[Placement::maximize] = Shortcut{3, Shortcut::command | Shortcut::shift, "F"};
    config.spaceShortcuts[SpaceAction::send2] = Shortcut{0, Shortcut::control, "A"};

    const auto items = menu(true, true, config, true);
    EXPECT_EQ("Left Half", itemTitled(items, "Left Half").title);
    EXPECT_EQ("Right Half\t⌃⌥⌘→", itemTitled(items, "Right Half").title);
    EXPECT_EQ("Full Screen\t⇧⌘F", itemTitled(items, "Full Screen").title);

    const auto& send = itemTitled(items, "Send to Desktop").submenu;
    const auto& follow = itemTitled(items, "Send to Desktop and Follow").submenu;
    EXPECT_EQ("Desktop 2\t⌃A", send[1].title);
    EXPECT_EQ("Desktop 3", follow[2].title);
    EXPECT_EQ("Desktop 4\t⌃⌥⇧4", follow[3].title);

    Config bare;
    for (const auto& item : menu(true, true, bare, true)) {
        EXPECT_EQ(std::string::npos, item.title.find('\t')) << item.title;
        for (const auto& desktop : item.submenu) EXPECT_EQ(std::string::npos, desktop.title.find('\t'));
    }
}

}  // namespace
}  // namespace corvane
