#include "app/state/config_store.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "app/desktops/native_spaces.hpp"
#include "app/placement/window_mover.hpp"
#include "app/state/hot_keys.hpp"
#include "tests/app/desktop_fixture.hpp"

namespace corvane {
namespace {

using testing::appPid;
using testing::frameOf;

const WindowAction leftHalf = WindowAction::placement(Placement::leftHalf);
const WindowAction topLeft = WindowAction::placement(Placement::topLeft);

class ConfigStoreTest : public ::testing::Test {
protected:
    std::shared_ptr<ConfigStore> makeStore() {
        return ConfigStore::create(desktop.platform(), mover, spaces);
    }

    // Every default shortcut: the fake window server has every desktop function.
    static constexpr std::size_t registeredDefaults() { return 29; }

    void setDesktopFunctionsAvailable(bool available) {
        desktop.windowServer().setAvailability({available, available, available, available});
    }

    std::size_t registeredCount() { return desktop.hotKeys().registrations().size(); }

    // Writes and (un)registrations since the last clear of the call log.
    std::size_t sideEffects() {
        const auto& log = desktop.log();
        return log.count("setBool") + log.count("setBytes") + log.count("registerHotKey") +
               log.count("unregisterHotKey");
    }

    fake::FakeDesktop desktop;
    WindowMover mover{desktop.platform()};
    NativeSpaces spaces{desktop.platform()};
};

// --- Start-up and persistence ---

TEST_F(ConfigStoreTest, FirstLaunchStartsEnabledWithDefaultsAndRegistersEveryDefaultShortcut) {
    const auto store = makeStore();

    EXPECT_TRUE(store->isEnabled());
    EXPECT_EQ(store->config(), Config::defaults());
    EXPECT_TRUE(store->unavailable().empty());
    EXPECT_EQ(registeredCount(), 29u);
    EXPECT_EQ(desktop.log().count("setBool") + desktop.log().count("setBytes"), 0u)
        << "nothing written at start";
}

TEST_F(ConfigStoreTest, WithoutDesktopFunctionsDesktopShortcutsAreNeitherRegisteredNorReportedRefused) {
    setDesktopFunctionsAvailable(false);
    desktop.hotKeys().refuse(18, 6144);  // send1's default
    const auto store = makeStore();

    EXPECT_EQ(registeredCount(), 11u);
    for (const auto& r : desktop.hotKeys().registrations()) EXPECT_LT(r.identity.id, 11u);
    EXPECT_TRUE(store->unavailable().empty());

    // Availability is asked afresh at every pass.
    setDesktopFunctionsAvailable(true);
    store->applyHotKeys();
    EXPECT_EQ(registeredCount(), 28u);
    EXPECT_EQ(store->unavailable(), (std::unordered_set{WindowAction::space(SpaceAction::send1)}));
}

TEST_F(ConfigStoreTest, StoredStateSurvivesARestart) {
    Config changed = Config::defaults();
    changed.gap = 12;
    changed.shortcuts.erase(Placement::maximize);
    changed.spaceShortcuts[SpaceAction::send2] = {0, Shortcut::control | Shortcut::option, "A"};
    {
        const auto store = makeStore();
        store->setConfig(changed);
        store->setEnabled(false);
    }

    const auto restarted = makeStore();
    EXPECT_FALSE(restarted->isEnabled());
    EXPECT_EQ(restarted->config(), changed);
    EXPECT_FALSE(restarted->config().shortcuts.count(Placement::maximize))
        << "a removed shortcut stays removed";
}

TEST_F(ConfigStoreTest, ANonBooleanSwitchMeansEnabled) {
    desktop.defaults().store("enabled", std::string("no"));
    EXPECT_TRUE(makeStore()->isEnabled());
}

TEST_F(ConfigStoreTest, AnUnreadableDocumentIsKeptAsideBeforeTheFirstWriteReplacesIt) {
    const std::string unreadable = R"({"shortcuts":{"leftHalf":{"keyCode":1}},"gap":3})";
    desktop.defaults().store("config", unreadable);
    const auto store = makeStore();
    EXPECT_EQ(store->config(), Config::defaults());
    EXPECT_EQ(desktop.log().count("keepAside"), 0u) << "reading alone keeps nothing";

    Config changed = store->config();
    changed.gap = 4;
    store->setConfig(changed);
    changed.gap = 5;
    store->setConfig(changed);

    EXPECT_EQ(desktop.log().matching("keepAside"), (std::vector<std::string>{"keepAside config"}));
    const auto writes = desktop.log().matching("setBytes");
    ASSERT_EQ(writes.size(), 2u);
    const auto entries = desktop.log().entries();
    EXPECT_LT(std::find(entries.begin(), entries.end(), "keepAside config"),
              std::find(entries.begin(), entries.end(), "setBytes config"));
    EXPECT_EQ(desktop.defaults().value("config.kept-1"), fake::FakeDefaults::Value(unreadable));
    EXPECT_EQ(desktop.feedback().lines(),
              (std::vector<std::string>{
                  "corvane: stored configuration could not be read; kept a copy at config.kept-1"}));
}

TEST_F(ConfigStoreTest, AReadableOrMissingDocumentIsNeverKeptAside) {
    Config stored = Config::defaults();
    stored.gap = 7;
    desktop.defaults().store("config", stored.encoded());
    const auto store = makeStore();
    EXPECT_EQ(store->config().gap, 7);

    stored.gap = 8;
    store->setConfig(stored);
    EXPECT_EQ(desktop.log().count("keepAside"), 0u);
    EXPECT_TRUE(desktop.feedback().lines().empty());
}

TEST_F(ConfigStoreTest, AFailedCopyOfAnUnreadableDocumentIsLogged) {
    desktop.defaults().store("config", std::string("{"));
    desktop.defaults().setKeepAsideFails(true);
    const auto store = makeStore();
    Config changed = store->config();
    changed.gap = 4;
    store->setConfig(changed);

    ASSERT_EQ(desktop.feedback().lines().size(), 1u);
    EXPECT_NE(desktop.feedback().lines()[0].find("could not be read"), std::string::npos);
}

// --- Assignments and registration passes ---

TEST_F(ConfigStoreTest, AssigningEqualValuesWritesNothingAndRegistersNothing) {
    const auto store = makeStore();
    int changes = 0;
    auto connection = store->changed.connect([&] { ++changes; });
    desktop.log().clear();

    store->setEnabled(true);
    store->setConfig(store->config());
    Config relabelled = store->config();
    relabelled.shortcuts[Placement::leftHalf].key = "L";  // labels take no part in equality
    store->setConfig(relabelled);
    store->setRecording(std::nullopt);

    EXPECT_EQ(sideEffects(), 0u);
    EXPECT_EQ(changes, 0);
}

TEST_F(ConfigStoreTest, ARefusedHotKeyInTheMiddleOfAPassOnlyMarksThatAction) {
    desktop.hotKeys().refuse(123, 6656);  // topLeft, position 4
    const auto store = makeStore();

    EXPECT_EQ(store->unavailable(), (std::unordered_set{topLeft}));
    EXPECT_EQ(registeredCount(), registeredDefaults() - 1);
    EXPECT_TRUE(desktop.hotKeys().isRegistered(125, 6656)) << "bottomLeft, after it, is still registered";
}

TEST_F(ConfigStoreTest, AChangedConfigIsSavedAndRegisteredAgain) {
    const auto store = makeStore();
    Config changed = store->config();
    changed.shortcuts[Placement::leftHalf] = {0, 6400, "A"};
    desktop.log().clear();

    store->setConfig(changed);

    EXPECT_EQ(desktop.log().count("setBytes config"), 1u);
    EXPECT_TRUE(desktop.hotKeys().isRegistered(0, 6400));
    EXPECT_FALSE(desktop.hotKeys().isRegistered(123, 6400));
    EXPECT_EQ(registeredCount(), registeredDefaults());
}

TEST_F(ConfigStoreTest, WhileRecordingAChangeIsStoredButRegisteredOnlyWhenRecordingEnds) {
    desktop.hotKeys().refuse(123, 6656);
    const auto store = makeStore();

    store->setRecording(leftHalf);
    EXPECT_EQ(registeredCount(), 0u);
    EXPECT_EQ(store->unavailable(), (std::unordered_set{topLeft})) << "kept while recording";

    Config changed = store->config();
    changed.shortcuts[Placement::leftHalf] = {0, 6400, "A"};
    desktop.log().clear();
    store->setConfig(changed);
    EXPECT_EQ(desktop.log().count("setBytes config"), 1u);
    EXPECT_EQ(desktop.log().count("registerHotKey"), 0u);

    store->setRecording(std::nullopt);
    EXPECT_TRUE(desktop.hotKeys().isRegistered(0, 6400));
    EXPECT_EQ(registeredCount(), registeredDefaults() - 1);
}

TEST_F(ConfigStoreTest, SwitchingOffClearsUnavailableAndSwitchingOnRecomputesIt) {
    desktop.hotKeys().refuse(123, 6656);
    const auto store = makeStore();
    std::vector<bool> announced;
    auto connection = store->enabledChanged.connect([&](bool on) { announced.push_back(on); });

    store->setEnabled(false);
    EXPECT_TRUE(store->unavailable().empty());
    EXPECT_EQ(registeredCount(), 0u);
    EXPECT_EQ(desktop.defaults().value("enabled"), fake::FakeDefaults::Value(false));

    store->setEnabled(true);
    EXPECT_EQ(store->unavailable(), (std::unordered_set{topLeft}));
    EXPECT_EQ(registeredCount(), registeredDefaults() - 1);
    EXPECT_EQ(announced, (std::vector{false, true}));
}

TEST_F(ConfigStoreTest, TheTourHoldsTheHotKeysOffUntilItEnds) {
    const auto store = makeStore();
    int changes = 0;
    auto connection = store->changed.connect([&] { ++changes; });

    store->setTourActive(true);
    store->applyHotKeys();
    EXPECT_EQ(registeredCount(), 0u);
    store->setTourActive(false);
    store->applyHotKeys();
    EXPECT_EQ(registeredCount(), registeredDefaults());
    EXPECT_EQ(changes, 2) << "every pass notifies, also when nothing changed";
}

TEST_F(ConfigStoreTest, ResetWritesOnlyTheHalfThatDiffers) {
    const auto store = makeStore();
    Config changed = store->config();
    changed.gap = 9;
    changed.spaceShortcuts.erase(SpaceAction::follow3);
    store->setConfig(changed);
    desktop.log().clear();

    store->resetShortcuts();

    EXPECT_EQ(desktop.log().count("setBytes config"), 1u);
    EXPECT_EQ(store->config().gap, 9);
    EXPECT_EQ(store->config().spaceShortcuts, Config::defaults().spaceShortcuts);
}

// --- Presses and commands ---

class ConfigStorePressTest : public ConfigStoreTest {
protected:
    ConfigStorePressTest() {
        testing::addPrimaryScreen(desktop);
        window = desktop.openWindow(appPid, {100, 100, 800, 600});
        Config withGap = Config::defaults();
        withGap.gap = 10;
        desktop.defaults().store("config", withGap.encoded());
    }
    std::uint32_t window = 0;
};

TEST_F(ConfigStorePressTest, APlacementPressUsesTheConfiguredGap) {
    const auto store = makeStore();
    EXPECT_EQ(desktop.hotKeys().pressShortcut(123, 6400), noErr);
    EXPECT_EQ(frameOf(desktop, window), (Rect{10, 35, 705, 855}));
}

TEST_F(ConfigStorePressTest, APressAfterTheStoreIsGoneStillPlacesWithoutGap) {
    auto store = makeStore();
    store.reset();

    EXPECT_EQ(desktop.hotKeys().press(HotKeyID{HotKeys::signature, 0}), noErr);
    EXPECT_EQ(frameOf(desktop, window), (Rect{0, 25, 720, 875}));
}

TEST_F(ConfigStorePressTest, MenuCommandsDoNothingWhileSwitchedOff) {
    const auto store = makeStore();
    store->setEnabled(false);
    store->perform(leftHalf);
    EXPECT_EQ(frameOf(desktop, window), (Rect{100, 100, 800, 600}));

    store->setEnabled(true);
    store->perform(leftHalf);
    EXPECT_EQ(frameOf(desktop, window), (Rect{10, 35, 705, 855}));
}

TEST_F(ConfigStorePressTest, ACommandTellsItsCallerWhatBecameOfIt) {
    const auto store = makeStore();
    std::vector<ActionOutcome> outcomes;
    const auto record = [&](const ActionOutcome& outcome) { outcomes.push_back(outcome); };

    store->perform(leftHalf, record);
    desktop.workspace().setFrontmost(std::nullopt);
    store->perform(leftHalf, record);
    store->setEnabled(false);
    store->perform(leftHalf, record);

    ASSERT_EQ(outcomes.size(), 3u);
    EXPECT_TRUE(outcomes[0].done);
    EXPECT_EQ(outcomes[1], ActionOutcome::failure("no active window"));
    EXPECT_FALSE(outcomes[2].done);
    EXPECT_NE(outcomes[2].reason.find("switched off"), std::string::npos);
}

// --- Launch at login ---

TEST_F(ConfigStoreTest, LaunchAtLoginFollowsTheSystemAndLogsARefusal) {
    const auto store = makeStore();
    int changes = 0;
    auto connection = store->changed.connect([&] { ++changes; });

    store->setLaunchAtLogin(true);
    EXPECT_TRUE(store->launchAtLogin());

    desktop.loginItem().setFailure("Operation not permitted");
    store->setLaunchAtLogin(false);
    EXPECT_TRUE(store->launchAtLogin()) << "still the system's actual status";
    EXPECT_EQ(desktop.feedback().lines(),
              (std::vector<std::string>{"corvane: launch-at-login toggle failed: Operation not permitted"}));
    EXPECT_EQ(changes, 2);
}

}  // namespace
}  // namespace corvane
