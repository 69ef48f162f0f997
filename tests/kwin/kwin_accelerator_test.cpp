#include "ports/kwin/kwin_accelerator.hpp"

#include <gtest/gtest.h>

#include "core/shortcut.hpp"
#include "ports/kwin/kwin_layout.hpp"

namespace corvane::kwin {
namespace {

constexpr std::uint32_t kLeft = 123;
constexpr std::uint32_t kM = 46;
constexpr std::uint32_t kOne = 18;
constexpr std::uint32_t kTwo = 19;
constexpr std::uint32_t kThree = 20;
constexpr std::uint32_t kSlash = 44;
constexpr std::uint32_t kCtrlAlt = Shortcut::control | Shortcut::option;
constexpr std::uint32_t kCtrlAltShift = kCtrlAlt | Shortcut::shift;
constexpr std::uint32_t kCtrlAltSuper = kCtrlAlt | Shortcut::command;

Keymap layout(const char* name, const char* variant = "") {
    auto keymap = compileKeymap(LayoutNames{"pc105", name, variant, ""});
    EXPECT_TRUE(keymap) << name;
    return keymap;
}

struct Row {
    const char* layout;
    std::uint32_t keyCode;
    std::uint32_t modifiers;
    const char* expected;
};

// What KWin reports for the press of each combination: Shift that chose a
// symbol is folded into the symbol, letters and keys without levels keep it.
TEST(KWinAccelerator, MatchesWhatKWinSeesOnEachLayout) {
    const Row rows[] = {
        {"us", kLeft, kCtrlAltSuper, "Ctrl+Alt+Meta+Left"},
        {"us", kLeft, kCtrlAltShift, "Ctrl+Alt+Shift+Left"},
        {"us", kM, kCtrlAltSuper, "Ctrl+Alt+Meta+M"},
        {"us", kM, kCtrlAltShift, "Ctrl+Alt+Shift+M"},
        {"us", kOne, kCtrlAlt, "Ctrl+Alt+1"},
        {"us", kOne, kCtrlAltShift, "Ctrl+Alt+!"},
        {"us", kTwo, kCtrlAltShift, "Ctrl+Alt+@"},
        {"us", kSlash, kCtrlAltShift, "Ctrl+Alt+?"},
        {"de", kTwo, kCtrlAltShift, "Ctrl+Alt+\""},
        {"de", kThree, kCtrlAltShift, "Ctrl+Alt+§"},
        // AZERTY types digits shifted: the key labelled 1 gives & without
        // Shift and 1 with it.
        {"fr", kOne, kCtrlAlt, "Ctrl+Alt+&"},
        {"fr", kOne, kCtrlAltShift, "Ctrl+Alt+1"},
        {"fr", kM, kCtrlAltSuper, "Ctrl+Alt+Meta+M"},
        // A Cyrillic layout types no Latin letter: the key at the US place.
        {"ru", kLeft, kCtrlAltSuper, "Ctrl+Alt+Meta+Left"},
        {"ru", kTwo, kCtrlAltShift, "Ctrl+Alt+\""},
    };
    for (const auto& row : rows) {
        const auto keymap = layout(row.layout);
        EXPECT_EQ(kwinAccelerator(row.keyCode, row.modifiers, keymap.get()), row.expected)
            << row.layout << " key " << row.keyCode << " modifiers " << row.modifiers;
    }
}

TEST(KWinAccelerator, WithoutAKeymapNamesTheUsKeyAndKeepsShift) {
    EXPECT_EQ(kwinAccelerator(kLeft, kCtrlAltSuper, nullptr), "Ctrl+Alt+Meta+Left");
    EXPECT_EQ(kwinAccelerator(kTwo, kCtrlAltShift, nullptr), "Ctrl+Alt+Shift+2");
    EXPECT_EQ(kwinAccelerator(0xffff, kCtrlAlt, nullptr), std::nullopt);
}

TEST(KWinLayout, ReadsTheLayoutsKWinUses) {
    EXPECT_EQ(parseKxkbrc("[Layout]\nDisplayNames=,\nLayoutList=de,us\nModel=pc105\nOptions=caps:escape\n"
                          "Use=true\nVariantList=nodeadkeys,\n"),
              (LayoutNames{"pc105", "de,us", "nodeadkeys,", "caps:escape"}));
    // Without Use=true KWin keeps the system's layout.
    EXPECT_EQ(parseKxkbrc("[Layout]\nLayoutList=de\n"), LayoutNames{});
    EXPECT_EQ(parseKxkbrc("[Other]\nUse=true\nLayoutList=de\n"), LayoutNames{});
    EXPECT_EQ(parseKxkbrc(""), LayoutNames{});
    EXPECT_EQ(parseKxkbrc("[Layout]\r\n Use = true \r\nLayoutList = fr\r\n"),
              (LayoutNames{"", "fr", "", ""}));
    EXPECT_EQ(firstLayout(LayoutNames{"pc105", "de,us", "nodeadkeys,", "caps:escape"}),
              (LayoutNames{"pc105", "de", "nodeadkeys", "caps:escape"}));
    EXPECT_EQ(firstLayout(LayoutNames{"", "us,de", ",nodeadkeys", ""}), (LayoutNames{"", "us", "", ""}));
    EXPECT_EQ(firstLayout(LayoutNames{}), LayoutNames{});
}

}  // namespace
}  // namespace corvane::kwin
