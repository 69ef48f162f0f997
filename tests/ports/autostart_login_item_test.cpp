#include "ports/xdg/autostart_login_item.hpp"

#include <cerrno>

#include <gtest/gtest.h>

#include "ports/xdg/atomic_file.hpp"
#include "ports/xdg/desktop_entry.hpp"
#include "tests/ports/scratch_directory.hpp"

namespace corvane::xdg {
namespace {

using testing::contentsOf;
using testing::modeOf;
using testing::ScratchDirectory;
using testing::writeRaw;

class AutostartTest : public ::testing::Test {
protected:
    std::filesystem::path autostart() const { return scratch.path() / "config" / "autostart"; }
    std::filesystem::path entry() const { return autostart() / "corvane.desktop"; }

    ScratchDirectory scratch;
};

TEST_F(AutostartTest, RegisterWritesAnEntryAndUnregisterRemovesIt) {
    AutostartLoginItem item(autostart(), "/opt/Corvane Apps/bin/corvane");
    EXPECT_FALSE(item.isEnabled());

    EXPECT_EQ(item.registerItem(), std::nullopt);
    EXPECT_TRUE(item.isEnabled());
    EXPECT_EQ(contentsOf(entry()),
              "[Desktop Entry]\n"
              "Type=Application\n"
              "Name=Corvane\n"
              "Comment=Keyboard-driven window placement\n"
              "Exec=\"/opt/Corvane Apps/bin/corvane\"\n"
              "Icon=corvane\n"
              "Terminal=false\n"
              "NoDisplay=false\n"
              "X-GNOME-Autostart-enabled=true\n");
    EXPECT_EQ(modeOf(scratch.path() / "config"), 0700u);
    EXPECT_EQ(modeOf(autostart()), 0700u);
    EXPECT_EQ(item.registerItem(), std::nullopt);  // again: same entry

    EXPECT_EQ(item.unregisterItem(), std::nullopt);
    EXPECT_FALSE(item.isEnabled());
    EXPECT_FALSE(std::filesystem::exists(entry()));
    EXPECT_EQ(item.unregisterItem(), std::nullopt);  // nothing there is fine
}

TEST_F(AutostartTest, EnabledOnlyForOurLiveApplicationEntry) {
    AutostartLoginItem item(autostart(), "/opt/Corvane Apps/bin/corvane");
    std::filesystem::create_directories(autostart());
    const std::string ours = "Exec=\"/opt/Corvane Apps/bin/corvane\"\n";
    const std::pair<std::string, bool> cases[] = {
        {"[Desktop Entry]\nType=Application\n" + ours, true},
        {"# hand edited\n\n[Desktop Entry]\r\nType = Application\r\n  Exec =  \"/opt/Corvane "
         "Apps/bin/corvane\" "
         "--quiet\r\n[Other]\nHidden=true\n",
         true},
        {"[Desktop Entry]\nType=Application\nHidden=true\n" + ours, false},
        {"[Desktop Entry]\nType=Application\nX-GNOME-Autostart-enabled=false\n" + ours, false},
        {"[Desktop Entry]\nType=Link\n" + ours, false},
        {"[Desktop Entry]\nType=Application\nExec=/opt/Corvane\n", false},
        {"[Desktop Entry]\nType=Application\nExec=\"/opt/Corvane Apps/bin/corvane\n", false},
        {"[Desktop Entry]\nType=Application\n", false},
        {"[Other]\nType=Application\n" + ours, false},
        {"", false},
    };
    for (const auto& [text, expected] : cases) {
        writeRaw(entry(), text);
        EXPECT_EQ(item.isEnabled(), expected) << text;
    }
}

TEST_F(AutostartTest, RegisterReplacesAForeignEntry) {
    std::filesystem::create_directories(autostart());
    writeRaw(entry(), "[Desktop Entry]\nType=Application\nExec=/old/place/corvane\nHidden=true\n");
    AutostartLoginItem item(autostart(), "/new/place/corvane");
    EXPECT_FALSE(item.isEnabled());
    EXPECT_EQ(item.registerItem(), std::nullopt);
    EXPECT_TRUE(item.isEnabled());
}

TEST_F(AutostartTest, FailuresAreDescribedAndChangeNothing) {
    std::filesystem::create_directories(entry() / "inside");
    AutostartLoginItem item(autostart(), "/usr/bin/corvane");
    EXPECT_EQ(item.registerItem(), "could not write " + entry().string() + ": " + errorText(EISDIR));
    EXPECT_EQ(item.unregisterItem(), "could not remove " + entry().string() + ": " + errorText(EISDIR));
    EXPECT_TRUE(std::filesystem::exists(entry() / "inside"));
    EXPECT_FALSE(item.isEnabled());

    for (const std::string command : {"", "/usr/bin/cor\x01vane", "/usr/bin/\xff"}) {
        AutostartLoginItem bad(scratch.path() / "other", command);
        const auto error = bad.registerItem();
        ASSERT_TRUE(error);
        EXPECT_TRUE(
            error->starts_with("could not write " + (scratch.path() / "other" / "corvane.desktop").string()))
            << *error;
        EXPECT_FALSE(std::filesystem::exists(scratch.path() / "other"));
    }
}

TEST(DesktopEntryExec, QuotesOnlyWhatNeedsQuoting) {
    EXPECT_EQ(execValue("/usr/bin/corvane"), "/usr/bin/corvane");
    EXPECT_EQ(execValue("/opt/My Apps/corvane"), "\"/opt/My Apps/corvane\"");
    EXPECT_EQ(execValue("/opt/100%/corvane"), "/opt/100%%/corvane");
    // Inside quotes \" \` \$ \\ are escaped; then the file's own escaping
    // doubles every backslash once more.
    EXPECT_EQ(execValue("/a b/\"q\"$x`y`\\z"), "\"/a b/\\\\\"q\\\\\"\\\\$x\\\\`y\\\\`\\\\\\\\z\"");
    EXPECT_EQ(execValue("/tab\there"), "\"/tab\\there\"");
    EXPECT_EQ(execValue("/caf\xc3\xa9/corvane"), "/caf\xc3\xa9/corvane");
    EXPECT_EQ(execValue("/bad/\x7f"), std::nullopt);
    EXPECT_EQ(execValue("/bad/\xc0\xaf"), std::nullopt);  // overlong '/'
    EXPECT_EQ(execValue("/bad/\xe2\x82"), std::nullopt);  // cut short
}

TEST(DesktopEntryExec, WhatIsWrittenReadsBackAsOneArgument) {
    const std::string programs[] = {
        "/usr/bin/corvane",
        "/opt/My Apps/corvane",
        "/x/it's \"odd\"",
        "/x/$HOME/`id`",
        "/x/back\\slash",
        "/x/100% & more",
        "/x/~user/(a)|b;c<d>e*f?g#h",
        "/x/line\nbreak",
        " /leading space",
        "/x/\\\\s",
    };
    for (const std::string& program : programs) {
        const auto value = execValue(program);
        ASSERT_TRUE(value) << program;
        EXPECT_EQ(execArguments(*value), std::vector<std::string>{program}) << *value;
    }
}

TEST(DesktopEntryExec, ReadsArgumentsTheWayLaunchersDo) {
    using Arguments = std::vector<std::string>;
    EXPECT_EQ(execArguments("corvane --flag  \"two words\""), (Arguments{"corvane", "--flag", "two words"}));
    EXPECT_EQ(execArguments("'single quoted' back\\ slash"), (Arguments{"single quoted", "back slash"}));
    EXPECT_EQ(execArguments("\\s  spaced\\tout "), (Arguments{"spaced", "out"}));
    EXPECT_EQ(execArguments(""), Arguments{});
    EXPECT_EQ(execArguments("\"open"), std::nullopt);
    EXPECT_EQ(execArguments("'open"), std::nullopt);
}

}  // namespace
}  // namespace corvane::xdg
