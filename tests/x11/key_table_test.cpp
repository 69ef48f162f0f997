// Which keys stand for each product key on real layouts, compiled from the
// system's XKB data as setxkbmap would: no server needed.
#include "ports/x11/key_table.hpp"

#include <gtest/gtest.h>
#include <xkbcommon/xkbcommon.h>

#include <memory>
#include <string>

#include "ports/x11/key_mapping.hpp"

namespace corvane::x11 {
namespace {

constexpr std::uint32_t kOne = 18, kFour = 21, kNine = 25, kM = 46, kA = 0, kQ = 12, kY = 16, kZ = 6;
constexpr std::uint32_t kApostrophe = 39, kPeriod = 47, kLeft = 123;

struct ContextFree {
    void operator()(xkb_context* c) const { xkb_context_unref(c); }
};
struct KeymapFree {
    void operator()(xkb_keymap* k) const { xkb_keymap_unref(k); }
};

class KeyTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        context_.reset(xkb_context_new(XKB_CONTEXT_NO_ENVIRONMENT_NAMES));
        ASSERT_TRUE(context_);
    }

    // The table of a layout ("fr", "us,ru") and the keymap it came from.
    KeyTable load(const char* layout) {
        xkb_rule_names names{"evdev", "pc105", layout, "", ""};
        keymap_.reset(xkb_keymap_new_from_names(context_.get(), &names, XKB_KEYMAP_COMPILE_NO_FLAGS));
        EXPECT_TRUE(keymap_) << layout;
        return KeyTable(keymap_.get());
    }
    // The keycode of an XKB key name ("AE01") on the last keymap loaded.
    xcb_keycode_t key(const char* name) {
        return static_cast<xcb_keycode_t>(xkb_keymap_key_by_name(keymap_.get(), name));
    }
    std::vector<xcb_keycode_t> keys(const char* name) { return {key(name)}; }

    std::unique_ptr<xkb_context, ContextFree> context_;
    std::unique_ptr<xkb_keymap, KeymapFree> keymap_;
};

// Every product key has a key, and each way is the other's inverse: the
// recorder's key comes back to the shortcut the grab was made for.
void expectInverse(const KeyTable& table, const char* layout) {
    for (const std::uint32_t product : KeyMapping::allKeyCodes()) {
        for (const xcb_keycode_t keycode : table.keycodes(product))
            EXPECT_EQ(table.productKeyCode(keycode), product) << layout << " key " << int(keycode);
    }
    for (unsigned keycode = 0; keycode < 256; ++keycode) {
        const auto product = table.productKeyCode(static_cast<xcb_keycode_t>(keycode));
        if (!product) continue;
        const auto back = table.keycodes(*product);
        EXPECT_NE(std::find(back.begin(), back.end(), keycode), back.end()) << layout << " key " << keycode;
    }
}

TEST_F(KeyTableTest, OnAUsKeyboardEveryProductKeyIsItsOwnPosition) {
    const auto table = load("us");
    for (const std::uint32_t product : KeyMapping::allKeyCodes()) {
        const std::string name(*KeyMapping::usKeyName(product));
        EXPECT_EQ(table.keycodes(product), keys(name.c_str())) << name;
    }
    expectInverse(table, "us");
}

TEST_F(KeyTableTest, OnAzertyDigitsAreTheirShiftedKeysAndLettersFollowTheirLabels) {
    const auto table = load("fr");
    // The digit row types & é " ' ( ... unshifted and the digits shifted.
    EXPECT_EQ(table.keycodes(kOne), keys("AE01"));
    EXPECT_EQ(table.keycodes(kFour), keys("AE04"));
    EXPECT_EQ(table.keycodes(kNine), keys("AE09"));
    EXPECT_EQ(table.keycodes(kM), keys("AC10"));  // the key labelled M, right of L
    EXPECT_EQ(table.keycodes(kA), keys("AD01"));
    EXPECT_EQ(table.keycodes(kQ), keys("AC01"));
    EXPECT_EQ(table.productKeyCode(key("AE01")), kOne);
    EXPECT_EQ(table.productKeyCode(key("AC10")), kM);
    // The apostrophe (unshifted on the key labelled 4) leaves that key to 4.
    EXPECT_EQ(table.keycodes(kApostrophe), keys("AC11"));
    // "." is typed only shifted on a key that stands for ";", and its own
    // position types "/": it has no key of its own here.
    EXPECT_TRUE(table.keycodes(kPeriod).empty());
    EXPECT_EQ(table.keycodes(kLeft), keys("LEFT"));
    expectInverse(table, "fr");
}

TEST_F(KeyTableTest, OnCzechQwertzDigitsAreShiftedAndYAndZSwap) {
    const auto table = load("cz");
    for (std::uint32_t product : {kOne, kFour, kNine})
        EXPECT_EQ(table.productKeyCode(table.keycodes(product).at(0)), product);
    EXPECT_EQ(table.keycodes(kOne), keys("AE01"));
    EXPECT_EQ(table.keycodes(kNine), keys("AE09"));
    EXPECT_EQ(table.keycodes(kZ), keys("AD06"));
    EXPECT_EQ(table.keycodes(kY), keys("AB01"));
    expectInverse(table, "cz");
}

TEST_F(KeyTableTest, WithoutLatinLettersAShortcutFallsBackToTheUsPosition) {
    const auto table = load("ru");
    EXPECT_EQ(table.keycodes(kM), keys("AB07"));
    EXPECT_EQ(table.keycodes(kQ), keys("AD01"));
    EXPECT_EQ(table.keycodes(kOne), keys("AE01"));
    EXPECT_EQ(table.productKeyCode(key("AB07")), kM);
    expectInverse(table, "ru");
}

TEST_F(KeyTableTest, WithTwoLayoutsTheFirstDecides) {
    const auto us = load("us");
    EXPECT_EQ(load("us,ru"), us);
    // A German second layout swaps nothing of the first's.
    const auto usDe = load("us,de");
    EXPECT_EQ(usDe.keycodes(kZ), keys("AB01"));
    EXPECT_EQ(usDe.keycodes(kY), keys("AD06"));
    expectInverse(usDe, "us,de");
}

TEST(KeyTableEmptyTest, NoKeymapMeansNoKeys) {
    const KeyTable table(nullptr);
    EXPECT_TRUE(table.keycodes(kM).empty());
    EXPECT_FALSE(table.productKeyCode(58));
}

}  // namespace
}  // namespace corvane::x11
