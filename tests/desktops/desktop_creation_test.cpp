#include "app/desktops/desktop_creation.hpp"

#include <gtest/gtest.h>

#include "app/desktops/failure.hpp"
#include "tests/desktops/desktop_world.hpp"

namespace corvane::desktops {
namespace {

using testing::mainDisplay;
using Pass = fake::FakeWindowServer::GesturePass;

Pass adds(int desktops) {
    Pass pass;
    pass.desktopsAdded = desktops;
    return pass;
}
using Function = fake::FakeWindowServer::Function;
using Calls = std::vector<std::string>;

struct DesktopCreationTest : ::testing::Test, testing::DesktopWorld {
    Discovery discovery{server, desk.accessibility(), desk.clock()};
    DesktopCreation creation{server, desk.desktopGesture(), discovery};

    // Creates through `n` on the main display as it is now; the failure's
    // requested number, or 0 on success.
    int create(int n) {
        const auto displays = discovery.managedDisplays();
        const auto screens = screenInfos(desk.screens());
        try {
            creation.createDesktops(n, displays.at(0), screens.at(0));
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.failureCase(), Failure::Case::desktopCreateFailed);
            return failure.requestedDesktop();
        }
        return 0;
    }

    Calls gestureCalls() { return desk.desktopGesture().calls(); }
};

TEST_F(DesktopCreationTest, OnePassPerMissingDesktopThenBackToTheStartingDesktop) {
    server.showSpace(mainDisplay, desktops[1]);
    EXPECT_EQ(create(7), 0);

    EXPECT_EQ(server.desktops(mainDisplay).size(), 7u);
    EXPECT_EQ(gestureCalls(), (Calls{"begin", "request", "dismiss", "request", "dismiss", "request",
                                     "dismiss", "request", "dismiss", "end"}));
    const auto bounds = desk.screens().displayBounds(1);
    for (const auto& request : desk.desktopGesture().requests()) EXPECT_EQ(request, bounds);
    EXPECT_EQ(server.switchRequests(),
              (std::vector<fake::FakeWindowServer::SwitchRequest>{{mainDisplay, desktops[1]}}));
    EXPECT_EQ(server.currentSpace(mainDisplay), desktops[1]);
    EXPECT_EQ(desk.desktopGesture().openSessions(), 0);
}

TEST_F(DesktopCreationTest, EnoughDesktopsStillSwitchesBackAndWaits) {
    const Display start = discovery.managedDisplays().at(0);
    server.showSpace(mainDisplay, desktops[1]);
    creation.createDesktops(3, start, screenInfos(desk.screens()).at(0));
    EXPECT_EQ(gestureCalls(), (Calls{"begin", "end"}));
    EXPECT_EQ(server.switchRequests(),
              (std::vector<fake::FakeWindowServer::SwitchRequest>{{mainDisplay, desktops[0]}}));
    EXPECT_EQ(server.currentSpace(mainDisplay), desktops[0]);
    EXPECT_GE(desk.clock().elapsed(), 0.1);  // the fake's switch takes 0.1 s
}

TEST_F(DesktopCreationTest, EachPassCountsAfreshSoADesktopAddedMeanwhileIsNotAFailure) {
    const Display start = discovery.managedDisplays().at(0);           // 3 desktops
    server.desktopRequested(desk.screens().displayBounds(1).value());  // another program adds a 4th
    desk.clock().advance(Clock::Duration(1.0));
    creation.createDesktops(5, start, screenInfos(desk.screens()).at(0));
    EXPECT_EQ(server.desktops(mainDisplay).size(), 5u);
    EXPECT_EQ(gestureCalls(), (Calls{"begin", "request", "dismiss", "end"}));
}

TEST_F(DesktopCreationTest, APassWithoutANewDesktopFailsWithTheRequestedNumber) {
    server.scriptGesturePasses({adds(0)});
    EXPECT_EQ(create(7), 7);
    // Dismissed in the pass and cleaned up after it.
    EXPECT_EQ(gestureCalls(), (Calls{"begin", "request", "dismiss", "end"}));
    EXPECT_GE(desk.clock().elapsed(), 2.0);
    EXPECT_TRUE(server.switchRequests().empty());
}

TEST_F(DesktopCreationTest, AFailingLaterPassStillReportsTheRequestedNumberAndKeepsEarlierDesktops) {
    for (int failing = 1; failing <= 4; ++failing) {
        SCOPED_TRACE(failing);
        testing::DesktopWorld world;
        Discovery d{world.server, world.desk.accessibility(), world.desk.clock()};
        DesktopCreation c{world.server, world.desk.desktopGesture(), d};
        std::vector<Pass> passes(static_cast<std::size_t>(failing - 1), Pass{});
        passes.push_back(adds(0));
        world.server.scriptGesturePasses(passes);
        try {
            c.createDesktops(7, d.managedDisplays().at(0), screenInfos(world.desk.screens()).at(0));
            ADD_FAILURE() << "created";
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.requestedDesktop(), 7);
            EXPECT_EQ(
                failure.description(),
                "Could not create Desktop 7 on this display. Add it in Mission Control, then try again.");
        }
        EXPECT_EQ(world.server.desktops(mainDisplay).size(), static_cast<std::size_t>(3 + failing - 1));
        EXPECT_EQ(world.desk.desktopGesture().openSessions(), 0);
    }
}

TEST_F(DesktopCreationTest, TwoNewDesktopsInOnePassFailAlthoughEnoughExist) {
    server.scriptGesturePasses({adds(2)});
    EXPECT_EQ(create(4), 4);
    EXPECT_EQ(server.desktops(mainDisplay).size(), 5u);
    EXPECT_EQ(gestureCalls().back(), "end");
}

TEST_F(DesktopCreationTest, ADisplayMissingFromTheReportCountsAsNoNewDesktop) {
    server.scriptGesturePasses({Pass{1, Clock::Duration(0.3), Clock::Duration(10.0)}});
    EXPECT_EQ(create(4), 4);
    EXPECT_EQ(gestureCalls(), (Calls{"begin", "request", "dismiss", "end"}));
}

TEST_F(DesktopCreationTest, ADisplayBackInTimeWithOneNewDesktopPasses) {
    server.scriptGesturePasses({Pass{1, Clock::Duration(0.3), Clock::Duration(0.2)}});
    EXPECT_EQ(create(4), 0);
}

TEST_F(DesktopCreationTest, DesktopTenFailsBeforeTheGestureIsTouched) {
    EXPECT_EQ(create(10), 10);
    EXPECT_TRUE(gestureCalls().empty());
    EXPECT_TRUE(server.switchRequests().empty());
    EXPECT_EQ(desk.clock().elapsed(), 0.0);
}

TEST_F(DesktopCreationTest, TheFinalSwitchMustBeAcceptedAndTakeEffect) {
    server.setSwitchStatus(-1);
    EXPECT_EQ(create(4), 4);
    EXPECT_EQ(gestureCalls().back(), "end");

    // The display moved off its starting desktop meanwhile, and the switch
    // back never lands.
    server.setSwitchStatus(0);
    server.setSwitchesTakeEffect(false);
    const Display start = discovery.managedDisplays().at(0);
    server.showSpace(mainDisplay, desktops[2]);
    const double before = desk.clock().elapsed();
    EXPECT_THROW(creation.createDesktops(4, start, screenInfos(desk.screens()).at(0)), Failure);
    EXPECT_GE(desk.clock().elapsed() - before, 1.5);

    server.setFunctionMissing(Function::setCurrentSpace);
    EXPECT_EQ(create(4), 4);
    EXPECT_EQ(desk.desktopGesture().openSessions(), 0);
}

}  // namespace
}  // namespace corvane::desktops
