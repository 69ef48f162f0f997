// What the store does with shortcuts the system cannot hold, or stops
// holding by itself: a keyboard layout that leaves one without a key, a
// window manager that appears, a hand-edited shortcut without modifiers.
#include <gtest/gtest.h>

#include <memory>
#include <unordered_set>

#include "app/desktops/native_spaces.hpp"
#include "app/placement/window_mover.hpp"
#include "app/state/config_store.hpp"
#include "app/state/hot_keys.hpp"
#include "tests/app/desktop_fixture.hpp"

namespace corvane {
namespace {

using Change = HotKeyService::Change;

const WindowAction leftHalf = WindowAction::placement(Placement::leftHalf);
const WindowAction maximize = WindowAction::placement(Placement::maximize);
const WindowAction send1 = WindowAction::space(SpaceAction::send1);
constexpr std::uint32_t kControlOptionCommand = 0x1900;

class RegistrationChangeTest : public ::testing::Test {
protected:
    std::shared_ptr<ConfigStore> makeStore() {
        auto store = ConfigStore::create(desktop.platform(), mover, spaces);
        connection_ = store->changed.connect([this] { ++changes; });
        return store;
    }
    fake::FakeHotKeyService& service() { return desktop.hotKeys(); }

    fake::FakeDesktop desktop;
    WindowMover mover{desktop.platform()};
    NativeSpaces spaces{desktop.platform()};
    int changes = 0;

private:
    Signal<>::Connection connection_;
};

TEST_F(RegistrationChangeTest, AShortcutALayoutLeavesWithoutAKeyIsReportedUntilItComesBack) {
    const auto store = makeStore();
    changes = 0;
    desktop.log().clear();

    service().setInForce(46, kControlOptionCommand, false);  // Full Screen's M
    EXPECT_EQ(store->unavailable(), (std::unordered_set{maximize}));
    EXPECT_EQ(changes, 1);
    // Nothing is released and taken again: the others never stop working.
    EXPECT_EQ(desktop.log().count("unregisterHotKey"), 0u);
    EXPECT_EQ(desktop.log().count("registerHotKey"), 0u);
    EXPECT_FALSE(service().pressShortcut(46, kControlOptionCommand));
    EXPECT_TRUE(service().pressShortcut(123, kControlOptionCommand));

    service().setInForce(46, kControlOptionCommand, true);
    EXPECT_TRUE(store->unavailable().empty());
    EXPECT_EQ(changes, 2);
    // A change that changes nothing of ours is not announced as a change.
    service().announce(Change::keyboard);
    EXPECT_EQ(changes, 2);
}

TEST_F(RegistrationChangeTest, AKeyboardChangeRetriesOnlyTheShortcutsRefusedBefore) {
    service().refuse(123, kControlOptionCommand);
    const auto store = makeStore();
    ASSERT_EQ(store->unavailable(), (std::unordered_set{leftHalf}));
    desktop.log().clear();

    service().allow(123, kControlOptionCommand);
    service().announce(Change::keyboard);
    EXPECT_TRUE(store->unavailable().empty());
    EXPECT_EQ(desktop.log().count("registerHotKey"), 1u);
    EXPECT_EQ(desktop.log().count("unregisterHotKey"), 0u);
    EXPECT_TRUE(service().pressShortcut(123, kControlOptionCommand));
}

TEST_F(RegistrationChangeTest, AWindowManagerAppearingRegistersTheDesktopShortcutsItSupports) {
    desktop.windowServer().setAvailability({false, false, false, false});
    const auto store = makeStore();
    EXPECT_EQ(service().registrations().size(), 11u);

    desktop.windowServer().setAvailability({true, true, true, true});
    service().announce(Change::environment);
    EXPECT_EQ(service().registrations().size(), 29u);
    EXPECT_TRUE(store->unavailable().empty());

    // Gone again: hidden, neither held nor reported.
    desktop.windowServer().setAvailability({false, false, false, false});
    service().announce(Change::environment);
    EXPECT_EQ(service().registrations().size(), 11u);
    EXPECT_FALSE(store->unavailable().count(send1));
}

TEST_F(RegistrationChangeTest, ChangesWhileRecordingOrOffRegisterNothing) {
    const auto store = makeStore();
    store->setRecording(leftHalf);
    desktop.log().clear();
    service().announce(Change::environment);
    service().announce(Change::keyboard);
    EXPECT_EQ(desktop.log().count("registerHotKey"), 0u) << "the typed keys must trigger nothing";
    store->setRecording(std::nullopt);

    store->setEnabled(false);
    desktop.log().clear();
    service().announce(Change::environment);
    EXPECT_EQ(desktop.log().count("registerHotKey"), 0u);
    EXPECT_TRUE(store->unavailable().empty());
}

TEST_F(RegistrationChangeTest, AShortcutWithoutControlOptionOrCommandIsKeptButNeverRegistered) {
    Config edited = Config::defaults();
    edited.shortcuts[Placement::leftHalf] = {123, 0, "←"};
    edited.shortcuts[Placement::maximize] = {46, 0x200, "M"};  // Shift alone
    desktop.defaults().store("config", edited.encoded());
    desktop.log().clear();

    const auto store = makeStore();
    EXPECT_EQ(store->unavailable(), (std::unordered_set{leftHalf, maximize}));
    EXPECT_EQ(store->config(), edited);
    EXPECT_FALSE(service().isRegistered(123, 0));
    EXPECT_FALSE(service().isRegistered(46, 0x200));
    EXPECT_EQ(service().registrations().size(), 27u);
    // Not even asked for: the system never sees a bare key.
    EXPECT_EQ(desktop.log().count("registerHotKey 123 0"), 0u);

    // Still refused after a keyboard change retries it.
    service().announce(Change::keyboard);
    EXPECT_EQ(store->unavailable(), (std::unordered_set{leftHalf, maximize}));
}

}  // namespace
}  // namespace corvane
