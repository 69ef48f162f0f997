#include "app/shell/instance_requests.hpp"

#include <gtest/gtest.h>

#include <optional>

#include "tests/shell/recording_control.hpp"

namespace corvane {
namespace {

using Calls = std::vector<std::string>;
using Kind = InstanceRequest::Kind;

// The reply, when one was given before respond() returned.
std::optional<InstanceReply> answerNow(const InstanceRequest& request, AppControl& control) {
    std::optional<InstanceReply> answer;
    int replies = 0;
    respond(request, control, [&](const InstanceReply& reply) {
        answer = reply;
        ++replies;
    });
    EXPECT_LE(replies, 1);
    return answer;
}

TEST(InstanceRequests, EachRequestDoesItsOneThing) {
    test::RecordingControl control;
    EXPECT_EQ(InstanceReply::ok(), answerNow({Kind::show, {}}, control));
    EXPECT_EQ(InstanceReply::ok(), answerNow({Kind::action, "topLeft"}, control));
    EXPECT_EQ(InstanceReply::ok(), answerNow({Kind::action, "send4"}, control));
    EXPECT_EQ(InstanceReply::ok(), answerNow({Kind::disable, {}}, control));
    EXPECT_EQ(InstanceReply::ok(), answerNow({Kind::enable, {}}, control));
    EXPECT_EQ(InstanceReply::ok(), answerNow({Kind::tour, {}}, control));
    EXPECT_EQ(InstanceReply::ok(), answerNow({Kind::quit, {}}, control));
    EXPECT_EQ((Calls{"bringForward", "perform(topLeft)", "perform(send4)", "setEnabled(false)",
                     "setEnabled(true)", "openTour", "quit"}),
              control.calls);
}

TEST(InstanceRequests, StatusReportsTheSwitchRefusedShortcutsAndTheTour) {
    test::RecordingControl control;
    control.refused = {WindowAction::placement(Placement::rightHalf)};
    const auto reply = answerNow({Kind::status, {}}, control);
    ASSERT_TRUE(reply);
    EXPECT_EQ(InstanceReply::Kind::status, reply->kind);
    EXPECT_EQ("{\"enabled\":true,\"unavailable\":[\"rightHalf\"],\"tourOpen\":false}", reply->text);
    control.tourOpen = true;
    EXPECT_EQ("{\"enabled\":true,\"unavailable\":[\"rightHalf\"],\"tourOpen\":true}",
              answerNow({Kind::status, {}}, control)->text);
    EXPECT_TRUE(control.calls.empty());
}

TEST(InstanceRequests, ActionsThatCannotRunAreRefusedWithAReason) {
    test::RecordingControl control;
    const auto unknown = answerNow({Kind::action, "middle"}, control);
    EXPECT_EQ(InstanceReply::Kind::error, unknown->kind);
    EXPECT_NE(std::string::npos, unknown->text.find("unknown action \"middle\"; valid actions: leftHalf"));

    control.desktops = false;
    const auto noDesktops = answerNow({Kind::action, "follow1"}, control);
    EXPECT_EQ(InstanceReply::Kind::error, noDesktops->kind);
    EXPECT_NE(std::string::npos, noDesktops->text.find("desktop moves are not available"));
    EXPECT_EQ(InstanceReply::ok(), answerNow({Kind::action, "maximize"}, control));

    control.enabled = false;
    const auto off = answerNow({Kind::action, "maximize"}, control);
    EXPECT_EQ(InstanceReply::Kind::error, off->kind);
    EXPECT_NE(std::string::npos, off->text.find("switched off"));

    EXPECT_EQ((Calls{"perform(maximize)"}), control.calls);
}

// "ok" means the window was placed or sent, nothing less.
TEST(InstanceRequests, AnActionIsAnsweredWithItsOutcome) {
    test::RecordingControl control;
    control.outcome = ActionOutcome::failure("no active window");
    EXPECT_EQ(InstanceReply::error("no active window"), answerNow({Kind::action, "leftHalf"}, control));

    // A desktop move answers when its move has run, not when it was queued.
    control.holdDesktopOutcomes = true;
    std::vector<InstanceReply> replies;
    respond({Kind::action, "follow3"}, control,
            [&](const InstanceReply& reply) { replies.push_back(reply); });
    EXPECT_TRUE(replies.empty());
    ASSERT_TRUE(control.pendingOutcome);
    control.pendingOutcome(ActionOutcome::failure("No focused window to move"));
    EXPECT_EQ(replies, std::vector{InstanceReply::error("No focused window to move")});

    respond({Kind::action, "send1"}, control, [&](const InstanceReply& reply) { replies.push_back(reply); });
    control.pendingOutcome(ActionOutcome::success());
    EXPECT_EQ(replies.back(), InstanceReply::ok());
}

}  // namespace
}  // namespace corvane
