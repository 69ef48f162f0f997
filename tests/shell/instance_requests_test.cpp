#include "app/shell/instance_requests.hpp"

#include <gtest/gtest.h>

#include "tests/shell/recording_control.hpp"

namespace corvane {
namespace {

using Calls = std::vector<std::string>;
using Kind = InstanceRequest::Kind;

TEST(InstanceRequests, EachRequestDoesItsOneThing) {
    test::RecordingControl control;
    EXPECT_EQ(InstanceReply::ok(), respond({Kind::show, {}}, control));
    EXPECT_EQ(InstanceReply::ok(), respond({Kind::action, "topLeft"}, control));
    EXPECT_EQ(InstanceReply::ok(), respond({Kind::action, "send4"}, control));
    EXPECT_EQ(InstanceReply::ok(), respond({Kind::disable, {}}, control));
    EXPECT_EQ(InstanceReply::ok(), respond({Kind::enable, {}}, control));
    EXPECT_EQ((Calls{"bringForward", "perform(topLeft)", "perform(send4)", "setEnabled(false)",
                     "setEnabled(true)"}),
              control.calls);
}

TEST(InstanceRequests, StatusReportsTheSwitchRefusedShortcutsAndTheTour) {
    test::RecordingControl control;
    control.refused = {WindowAction::placement(Placement::rightHalf)};
    const auto reply = respond({Kind::status, {}}, control);
    EXPECT_EQ(InstanceReply::Kind::status, reply.kind);
    EXPECT_EQ("{\"enabled\":true,\"unavailable\":[\"rightHalf\"],\"tourOpen\":false}", reply.text);
    control.tourOpen = true;
    EXPECT_EQ("{\"enabled\":true,\"unavailable\":[\"rightHalf\"],\"tourOpen\":true}",
              respond({Kind::status, {}}, control).text);
    EXPECT_TRUE(control.calls.empty());
}

TEST(InstanceRequests, ActionsThatCannotRunAreRefusedWithAReason) {
    test::RecordingControl control;
    const auto unknown = respond({Kind::action, "middle"}, control);
    EXPECT_EQ(InstanceReply::Kind::error, unknown.kind);
    EXPECT_NE(std::string::npos, unknown.text.find("unknown action \"middle\"; valid actions: leftHalf"));

    control.desktops = false;
    const auto noDesktops = respond({Kind::action, "follow1"}, control);
    EXPECT_EQ(InstanceReply::Kind::error, noDesktops.kind);
    EXPECT_NE(std::string::npos, noDesktops.text.find("desktop moves are not available"));
    EXPECT_EQ(InstanceReply::ok(), respond({Kind::action, "maximize"}, control));

    control.enabled = false;
    const auto off = respond({Kind::action, "maximize"}, control);
    EXPECT_EQ(InstanceReply::Kind::error, off.kind);
    EXPECT_NE(std::string::npos, off.text.find("switched off"));

    EXPECT_EQ((Calls{"perform(maximize)"}), control.calls);
}

}  // namespace
}  // namespace corvane
