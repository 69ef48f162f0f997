#include "app/settings/shortcut_recorder.hpp"

#include <gtest/gtest.h>

#include "tests/settings/settings_fixture.hpp"

namespace corvane {
namespace {

const WindowAction leftHalf = WindowAction::placement(Placement::leftHalf);
const WindowAction rightHalf = WindowAction::placement(Placement::rightHalf);
const WindowAction send3 = WindowAction::space(SpaceAction::send3);

constexpr std::uint32_t ctrlOpt = Shortcut::control | Shortcut::option;

KeyInput down(std::uint32_t keyCode, std::uint32_t modifiers, std::string characters = "") {
    KeyInput input;
    input.keyCode = keyCode;
    input.modifiers = modifiers;
    input.characters = std::move(characters);
    return input;
}

class RecorderTest : public ::testing::Test {
protected:
    ConfigStore& store() { return *world.store; }
    std::optional<Shortcut> shortcutOf(const WindowAction& action) {
        const auto all = store().config().allShortcuts();
        const auto it = all.find(action);
        return it == all.end() ? std::nullopt : std::optional(it->second);
    }

    testing::SettingsWorld world;
    SettingsWords words;
    ShortcutRecorder recorder{*world.store, world.desktop.feedback(), words};
};

TEST(KeyLabel, TableFirstThenUpperCasedCharactersThenCode) {
    EXPECT_EQ(keyLabel(123, "x"), "←") << "the table wins over characters";
    EXPECT_EQ(keyLabel(49, " "), "Space");
    EXPECT_EQ(keyLabel(111, ""), "F12");
    EXPECT_EQ(keyLabel(0, "a"), "A");
    EXPECT_EQ(keyLabel(27, "-"), "-");
    EXPECT_EQ(keyLabel(10, "§"), "§") << "non-ASCII characters are kept whole";
    EXPECT_EQ(keyLabel(102, ""), "#102");
}

// --- Starting, moving and ending recording ---

TEST_F(RecorderTest, RecordingHoldsHotKeysOffAndEscapeEndsItWithoutChange) {
    const Config before = store().config();
    recorder.toggle(leftHalf);
    EXPECT_EQ(store().recording(), leftHalf);
    EXPECT_EQ(world.registered(), 0u) << "typed combinations must trigger nothing";

    EXPECT_EQ(recorder.handle(down(53, 0)), ShortcutRecorder::Outcome::swallowed);
    EXPECT_FALSE(store().recording());
    EXPECT_EQ(store().config(), before);
    EXPECT_EQ(world.registered(), 29u);
}

TEST_F(RecorderTest, SecondRowTakesOverAndPressingTheRecordingRowAgainEndsIt) {
    recorder.toggle(leftHalf);
    recorder.toggle(rightHalf);
    EXPECT_EQ(store().recording(), rightHalf);
    recorder.toggle(rightHalf);
    EXPECT_FALSE(store().recording());
    EXPECT_EQ(store().config(), Config::defaults());
}

TEST_F(RecorderTest, CancelWhenTheWindowClosesRegistersTheHotKeysAgain) {
    recorder.toggle(send3);
    recorder.cancel();
    EXPECT_FALSE(store().recording());
    EXPECT_EQ(world.registered(), 29u);
}

// --- What a key press does while recording ---

TEST_F(RecorderTest, AcceptedCombinationIsStoredWithCodeMaskAndLabel) {
    recorder.toggle(rightHalf);
    recorder.handle(down(123, ctrlOpt));
    const auto stored = shortcutOf(rightHalf);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->keyCode, 123u);
    EXPECT_EQ(stored->modifiers, 0x1800u);
    EXPECT_EQ(stored->key, "←");
    EXPECT_FALSE(store().recording());
    EXPECT_TRUE(world.desktop.defaults().value("config")) << "saved";
}

TEST_F(RecorderTest, ShiftAloneIsRejectedWithBeepAndHintAndRecordingContinues) {
    recorder.toggle(leftHalf);
    EXPECT_EQ(recorder.handle(down(0, Shortcut::shift, "a")), ShortcutRecorder::Outcome::swallowed);
    EXPECT_EQ(world.desktop.feedback().beeps(), 1);
    ASSERT_TRUE(recorder.hint());
    EXPECT_EQ(*recorder.hint(), "Include ⌘, ⌥ or ⌃ — e.g. ⌃⌥⌘A");
    EXPECT_EQ(store().recording(), leftHalf);
    EXPECT_EQ(store().config(), Config::defaults());

    // The next accepted press clears the hint with the recording.
    recorder.handle(down(0, Shortcut::command | Shortcut::shift, "a"));
    EXPECT_FALSE(recorder.hint());
    EXPECT_EQ(shortcutOf(leftHalf)->display(), "⇧⌘A");
}

TEST_F(RecorderTest, HintUsesTheWordsOfAKeyboardThatWritesShortcutsInWords) {
    KeyboardMap::Names linux;
    linux.optionShort = "Alt";
    linux.commandShort = "Super";
    linux.shortcutsInWords = true;
    const SettingsWords linuxWords = SettingsWords::forKeyboard(linux);
    ShortcutRecorder linuxRecorder(store(), world.desktop.feedback(), linuxWords);
    linuxRecorder.toggle(leftHalf);
    linuxRecorder.handle(down(36, 0));
    EXPECT_EQ(linuxRecorder.hint(), "Include Super, Alt or Ctrl — e.g. Ctrl+Alt+Super+Return");
}

TEST_F(RecorderTest, PlainDeleteAndForwardDeleteRemoveButModifiedOnesAreRecorded) {
    recorder.toggle(leftHalf);
    recorder.handle(down(51, 0));
    EXPECT_FALSE(shortcutOf(leftHalf));
    EXPECT_FALSE(store().recording());

    recorder.toggle(rightHalf);
    recorder.handle(down(117, 0));
    EXPECT_FALSE(shortcutOf(rightHalf));

    recorder.toggle(leftHalf);
    recorder.handle(down(53, Shortcut::command));
    ASSERT_TRUE(shortcutOf(leftHalf));
    EXPECT_EQ(shortcutOf(leftHalf)->display(), "⌘⎋") << "a modified Escape is an ordinary shortcut";
}

TEST_F(RecorderTest, KeysPassThroughWhileNothingRecordsAndAreAllSwallowedWhileRecording) {
    EXPECT_EQ(recorder.handle(down(0, 0, "a")), ShortcutRecorder::Outcome::passThrough);

    recorder.toggle(leftHalf);
    KeyInput modifier;
    modifier.kind = KeyInput::Kind::modifiersChanged;
    modifier.modifiers = Shortcut::control;
    EXPECT_EQ(recorder.handle(modifier), ShortcutRecorder::Outcome::swallowed);
    KeyInput repeat = down(0, 0, "a");
    repeat.isAutoRepeat = true;
    EXPECT_EQ(recorder.handle(repeat), ShortcutRecorder::Outcome::swallowed);
    EXPECT_EQ(world.desktop.feedback().beeps(), 0) << "a held key beeps once, on its first press";
    EXPECT_EQ(store().recording(), leftHalf);
}

TEST_F(RecorderTest, KeyWithoutAProductCodeBeepsWithItsOwnHintAndKeepsRecording) {
    recorder.toggle(leftHalf);
    KeyInput unknown;
    unknown.modifiers = ctrlOpt;
    unknown.characters = "é";
    EXPECT_EQ(recorder.handle(unknown), ShortcutRecorder::Outcome::swallowed);
    EXPECT_EQ(world.desktop.feedback().beeps(), 1);
    EXPECT_EQ(recorder.hint(), "This key can't be part of a shortcut — try another")
        << "not the modifier hint: Ctrl+Alt was held";
    EXPECT_EQ(store().recording(), leftHalf);
    EXPECT_EQ(store().config(), Config::defaults());

    // The same key without modifiers is refused for the key, not the modifiers.
    unknown.modifiers = 0;
    recorder.handle(unknown);
    EXPECT_EQ(recorder.hint(), words.unrepresentableHint);
    EXPECT_EQ(world.desktop.feedback().beeps(), 2);

    // A usable key afterwards is recorded and the hint goes.
    recorder.handle(down(40, ctrlOpt, "k"));
    EXPECT_FALSE(recorder.hint());
    EXPECT_EQ(shortcutOf(leftHalf)->keyCode, 40u);
}

TEST_F(RecorderTest, SameCombinationForTwoActionsIsStoredForBoth) {
    recorder.toggle(leftHalf);
    recorder.handle(down(0, ctrlOpt, "a"));
    recorder.toggle(send3);
    recorder.handle(down(0, ctrlOpt, "a"));
    EXPECT_EQ(shortcutOf(leftHalf), shortcutOf(send3));
    EXPECT_EQ(store().config().actionsSharingWith(leftHalf), std::vector{send3});
}

TEST_F(RecorderTest, RefusedShortcutIsStillStoredAndReportedUnavailable) {
    world.desktop.hotKeys().refuse(0, ctrlOpt);
    recorder.toggle(leftHalf);
    recorder.handle(down(0, ctrlOpt, "a"));
    ASSERT_TRUE(shortcutOf(leftHalf));
    EXPECT_TRUE(store().unavailable().contains(leftHalf));
}

}  // namespace
}  // namespace corvane
