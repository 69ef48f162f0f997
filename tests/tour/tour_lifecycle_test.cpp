#include "app/tour/tour_lifecycle.hpp"

#include <gtest/gtest.h>

#include "app/desktops/native_spaces.hpp"
#include "app/placement/window_mover.hpp"
#include "ports/fake/fake_desktop.hpp"

namespace corvane {
namespace {

class TourLifecycleTest : public ::testing::Test {
protected:
    std::size_t registered() { return desktop.hotKeys().registrations().size(); }

    fake::FakeDesktop desktop;
    WindowMover mover{desktop.platform()};
    NativeSpaces spaces{desktop.platform()};
    TourLifecycle lifecycle{desktop.defaults(), desktop.accessibility()};
};

TEST_F(TourLifecycleTest, FirstRunOpensTheTourWithTheShortcutsWithdrawn) {
    const auto store = ConfigStore::create(desktop.platform(), mover, spaces);
    ASSERT_EQ(29u, registered());
    EXPECT_TRUE(lifecycle.firstRunOpensTour(*store));
    EXPECT_EQ(0u, registered());
    EXPECT_TRUE(store->isTourActive());
    EXPECT_EQ(0u, desktop.log().count("requestTrust"));
}

TEST_F(TourLifecycleTest, LaterRunsRegisterTheShortcutsUnlessSwitchedOff) {
    desktop.defaults().setBool("tourCompleted", true);
    const auto store = ConfigStore::create(desktop.platform(), mover, spaces);
    EXPECT_FALSE(lifecycle.firstRunOpensTour(*store));
    EXPECT_FALSE(store->isTourActive());
    EXPECT_EQ(29u, registered());

    store->setEnabled(false);
    EXPECT_FALSE(lifecycle.firstRunOpensTour(*store));
    EXPECT_EQ(0u, registered());
}

TEST_F(TourLifecycleTest, ClosingGivesTheShortcutsBackWithoutRecordingTheTour) {
    const auto store = ConfigStore::create(desktop.platform(), mover, spaces);
    lifecycle.began(store);
    EXPECT_EQ(0u, registered());
    lifecycle.ended();
    EXPECT_EQ(29u, registered());
    EXPECT_FALSE(store->isTourActive());
    EXPECT_FALSE(desktop.defaults().boolValue("tourCompleted"));
    // A second close (the window's close after finish) changes nothing more.
    desktop.log().clear();
    lifecycle.ended();
    EXPECT_EQ(0u, desktop.log().count("registerHotKey"));
}

TEST_F(TourLifecycleTest, FinishingRecordsTheTourAndAsksForAccessOnlyWhenMissing) {
    const auto store = ConfigStore::create(desktop.platform(), mover, spaces);
    lifecycle.began(store);
    lifecycle.finished();
    lifecycle.ended();
    lifecycle.requestAccessIfMissing();
    EXPECT_EQ(true, desktop.defaults().boolValue("tourCompleted"));
    EXPECT_EQ(29u, registered());
    EXPECT_EQ(0u, desktop.log().count("requestTrust"));

    desktop.accessibility().setTrusted(false);
    lifecycle.requestAccessIfMissing();
    EXPECT_EQ(1u, desktop.log().count("requestTrust"));
}

TEST_F(TourLifecycleTest, AStoreGoneBeforeTheCloseIsLeftAlone) {
    auto store = ConfigStore::create(desktop.platform(), mover, spaces);
    lifecycle.began(store);
    store.reset();
    lifecycle.ended();
    EXPECT_FALSE(lifecycle.isActive());
}

}  // namespace
}  // namespace corvane
