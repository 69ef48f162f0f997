// What a placement costs the window manager: requests counted on the
// connection while the real mover places the focused window through the
// IPC port, against a peer that answers like i3.

#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "app/placement/window_mover.hpp"
#include "ports/fake/fake_desktop.hpp"
#include "ports/i3ipc/i3_accessibility.hpp"
#include "ports/i3ipc/i3_element.hpp"
#include "ports/i3ipc/i3_screens.hpp"
#include "ports/i3ipc/i3_workspace.hpp"
#include "ports/i3ipc/ipc_session.hpp"
#include "tests/i3ipc/fake_i3_peer.hpp"

namespace corvane::i3ipc {
namespace {

using testing::FakeI3Peer;

constexpr Rect kStart{100, 100, 640, 480};
constexpr const char* kLeftHalf =
    "[con_id=7] floating enable, resize set width 720 px height 880 px, move absolute position 0 px 0 px";

// The port's services over one session to the peer; the rest of the
// platform is the in-memory one.
class I3Placement : public ::testing::Test {
protected:
    FakeI3Peer peer{kStart};
    IpcSession session{IpcConnection::open(peer.path())};
    I3Accessibility accessibility{session, /*clientsCommitLate=*/false};
    I3Workspace workspace{session};
    I3Screens screens{session};
    fake::FakeDesktop desktop;
    Platform platform{
        accessibility,          desktop.hotKeys(),        workspace,           screens,
        desktop.windowServer(), desktop.desktopGesture(), desktop.defaults(),  desktop.loginItem(),
        desktop.feedback(),     desktop.alerts(),         desktop.mainQueue(), desktop.clock()};
    WindowMover mover{platform};

    // As the port runs a press: reads shared, what is held back sent at the end.
    ActionOutcome press(Placement placement) {
        IpcSession::SharedReads reads(session);
        const auto outcome = mover.move(placement, 0);
        accessibility.flushPending();
        return outcome;
    }
};

TEST_F(I3Placement, APressReadsOnceSendsOneCommandAndReadsTheFrameBackOnce) {
    ASSERT_TRUE(session.isAlive());
    EXPECT_TRUE(press(Placement::leftHalf).done);
    EXPECT_EQ(peer.commands(), std::vector<std::string>{kLeftHalf});
    EXPECT_EQ(peer.frame(), (Rect{0, 0, 720, 880}));
    // Tree, outputs and workspaces; the command; the read-back.
    EXPECT_EQ(session.requestCount(), 5u);

    // Full screen asks for a size step i3 does not have: no read for that.
    EXPECT_TRUE(press(Placement::maximize).done);
    EXPECT_EQ(session.requestCount(), 10u);
    EXPECT_EQ(peer.frame(), (Rect{0, 0, 1440, 880}));
}

TEST_F(I3Placement, AFrameTheWindowManagerDidNotTakeIsSentOnceMore) {
    peer.keepOldSizeOnce();
    EXPECT_TRUE(press(Placement::leftHalf).done);
    EXPECT_EQ(peer.commands(), (std::vector<std::string>{kLeftHalf, kLeftHalf}));
    EXPECT_EQ(peer.frame(), (Rect{0, 0, 720, 880}));
    EXPECT_EQ(session.requestCount(), 7u);
}

TEST_F(I3Placement, WithoutAPressEachReadAsksAgainButTheFrameStillGoesOutWhole) {
    EXPECT_TRUE(mover.move(Placement::rightHalf, 0).done);
    EXPECT_EQ(peer.frame(), (Rect{720, 0, 720, 880}));
    // The size first on its own (nothing says a position follows), then
    // the frame; the last size is already there.
    ASSERT_EQ(peer.commands().size(), 2u);
    EXPECT_EQ(peer.commands()[0], "[con_id=7] floating enable, resize set width 720 px height 880 px");
    EXPECT_GT(session.requestCount(), 7u);
}

TEST_F(I3Placement, ASizeHeldForAPositionThatNeverCameStillReachesTheWindow) {
    const Element window = I3Element::window(0, FakeI3Peer::kWindow);
    {
        IpcSession::SharedReads reads(session);
        EXPECT_EQ(accessibility.setAttribute(window, AXName::size, Size{300, 200}), AXStatus::success);
        EXPECT_TRUE(peer.commands().empty()) << "held for the position";
        accessibility.flushPending();
    }
    EXPECT_EQ(peer.commands(),
              std::vector<std::string>{"[con_id=7] floating enable, resize set width 300 px height 200 px"});
    EXPECT_EQ(peer.frame(), (Rect{100, 100, 300, 200}));

    // Reading an attribute in between sends it too, before the read.
    {
        IpcSession::SharedReads reads(session);
        accessibility.setAttribute(window, AXName::size, Size{400, 300});
        const auto size = accessibility.copyAttribute(window, AXName::size);
        ASSERT_TRUE(size.value);
        EXPECT_EQ(std::get<Size>(*size.value), (Size{400, 300}));
    }
}

TEST_F(I3Placement, SharedReadsEndWithTheirScopeAndACommandRenewsThem) {
    {
        IpcSession::SharedReads reads(session);
        session.tree();
        session.outputs();
        EXPECT_EQ(session.requestCount(), 3u) << "the three kinds in one exchange";
        session.workspaces();
        session.tree();
        EXPECT_EQ(session.requestCount(), 3u);
        session.run("nop");
        session.tree();
        EXPECT_EQ(session.requestCount(), 7u) << "read again after the command";
    }
    session.tree();
    EXPECT_EQ(session.requestCount(), 8u);
    // Another thread never sees this thread's readings.
    IpcSession::SharedReads reads(session);
    session.tree();
    const unsigned before = session.requestCount();
    std::thread([&] { session.tree(); }).join();
    EXPECT_EQ(session.requestCount(), before + 1);
}

}  // namespace
}  // namespace corvane::i3ipc
