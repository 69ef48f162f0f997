#include "app/state/hot_keys.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "ports/fake/fake_call_log.hpp"
#include "ports/fake/fake_hot_key_service.hpp"
#include "tests/app/desktop_fixture.hpp"

namespace corvane {
namespace {

TEST(HotKeysTest, IdentifiersArePositionsInOneFixedListUnderOneSignature) {
    EXPECT_EQ(HotKeys::signature, 0x4352564Eu);  // 'C' 'R' 'V' 'N', first in the high byte

    const auto& actions = HotKeys::actions();
    ASSERT_EQ(actions.size(), 29u);
    EXPECT_EQ(actions[0], WindowAction::placement(Placement::leftHalf));
    EXPECT_EQ(actions[8], WindowAction::placement(Placement::maximize));
    EXPECT_EQ(actions[10], WindowAction::placement(Placement::nextDisplay));
    EXPECT_EQ(actions[11], WindowAction::space(SpaceAction::send1));
    EXPECT_EQ(actions[19], WindowAction::space(SpaceAction::send9));
    EXPECT_EQ(actions[20], WindowAction::space(SpaceAction::follow1));
    EXPECT_EQ(actions[28], WindowAction::space(SpaceAction::follow9));
}

class HotKeyPressTest : public ::testing::Test {
protected:
    std::int32_t press(std::optional<HotKeyID> identity) {
        return HotKeys::handlePress(identity, [this](const WindowAction& a) { received.push_back(a); });
    }
    std::vector<WindowAction> received;
};

TEST_F(HotKeyPressTest, OurIdentitiesAreHandledAndEverythingElseIsPassedOn) {
    EXPECT_EQ(press(HotKeyID{HotKeys::signature, 28}), noErr);
    EXPECT_EQ(press(HotKeyID{HotKeys::signature, 0}), noErr);
    EXPECT_EQ(received, (std::vector{WindowAction::space(SpaceAction::follow9),
                                     WindowAction::placement(Placement::leftHalf)}));

    received.clear();
    EXPECT_EQ(press(HotKeyID{HotKeys::signature, 29}), eventNotHandledErr);
    EXPECT_EQ(press(HotKeyID{HotKeys::signature, 0xFFFFFFFF}), eventNotHandledErr);
    EXPECT_EQ(press(HotKeyID{fourCharCode("XXXX"), 0}), eventNotHandledErr);
    EXPECT_EQ(press(std::nullopt), eventNotHandledErr) << "the press could not be read";
    EXPECT_TRUE(received.empty());
}

TEST(HotKeysTest, AValidPressWithoutCallbackIsTakenAndIgnored) {
    EXPECT_EQ(HotKeys::handlePress(HotKeyID{HotKeys::signature, 3}, {}), noErr);
}

class HotKeysServiceTest : public ::testing::Test {
protected:
    fake::FakeCallLog log;
    fake::FakeHotKeyService service{log};
};

TEST_F(HotKeysServiceTest, RegistersUnderOurIdentityAndUnregistersEachReferenceOnce) {
    HotKeys hotKeys(service, {});
    hotKeys.unregisterAll();  // nothing yet: no calls
    EXPECT_EQ(log.count("unregisterHotKey"), 0u);

    service.refuse(124, 6400);
    EXPECT_TRUE(hotKeys.registerHotKey(0, {123, 6400, "←"}));
    EXPECT_FALSE(hotKeys.registerHotKey(1, {124, 6400, "→"}));
    EXPECT_TRUE(hotKeys.registerHotKey(28, {25, 6656, "9"}));
    EXPECT_EQ(hotKeys.registeredCount(), 2u);
    const auto registered = service.registrations();
    ASSERT_EQ(registered.size(), 2u);
    EXPECT_EQ(registered[1].identity, (HotKeyID{HotKeys::signature, 28}));

    hotKeys.unregisterAll();
    hotKeys.unregisterAll();
    EXPECT_EQ(log.count("unregisterHotKey"), 2u);
    EXPECT_TRUE(service.registrations().empty());
}

TEST_F(HotKeysServiceTest, ThePressHandlerOutlivesTheRegistryAndTheNewestCallbackWins) {
    std::vector<int> calls;
    {
        HotKeys first(service, [&](const WindowAction&) { calls.push_back(1); });
        EXPECT_TRUE(first.registerHotKey(0, {123, 6400, "←"}));
    }
    // The registry is gone; its registration and handler stay with the process.
    EXPECT_EQ(service.pressShortcut(123, 6400), noErr);
    EXPECT_EQ(calls, (std::vector{1}));

    HotKeys second(service, [&](const WindowAction&) { calls.push_back(2); });
    EXPECT_EQ(service.press(HotKeyID{HotKeys::signature, 0}), noErr);
    EXPECT_EQ(calls, (std::vector{1, 2}));
    EXPECT_EQ(service.handlersInstalled(), 2);
}

}  // namespace
}  // namespace corvane
