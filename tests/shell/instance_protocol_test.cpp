#include "app/shell/instance_protocol.hpp"

#include <gtest/gtest.h>

namespace corvane {
namespace {

TEST(InstanceProtocol, RequestsSurviveTheRoundTrip) {
    const std::vector<InstanceRequest> requests{
        {InstanceRequest::Kind::show, {}},          {InstanceRequest::Kind::action, "leftHalf"},
        {InstanceRequest::Kind::action, "follow9"}, {InstanceRequest::Kind::enable, {}},
        {InstanceRequest::Kind::disable, {}},       {InstanceRequest::Kind::status, {}},
        {InstanceRequest::Kind::tour, {}},          {InstanceRequest::Kind::quit, {}},
    };
    for (const auto& request : requests) {
        const std::string line = encodeRequest(request);
        EXPECT_EQ('\n', line.back());
        EXPECT_EQ(1, std::count(line.begin(), line.end(), '\n')) << line;
        EXPECT_EQ(request, decodeRequest(line)) << line;
    }
    EXPECT_EQ("action nextDisplay\n", encodeRequest({InstanceRequest::Kind::action, "nextDisplay"}));
    // Lines from a terminal or another tool may end in CRLF, or not at all.
    EXPECT_EQ(InstanceRequest::Kind::status, decodeRequest("status\r\n")->kind);
    EXPECT_EQ(InstanceRequest::Kind::show, decodeRequest("show")->kind);
}

TEST(InstanceProtocol, MalformedRequestsAreRejected) {
    for (const std::string line :
         {"", "\n", "Show\n", "show now\n", "action\n", "action \n", "action  leftHalf\n",
          "action left Half\n", "action ../x\n", "status\nstatus\n", "enable\r\r\n"}) {
        EXPECT_FALSE(decodeRequest(line)) << line;
    }
    EXPECT_FALSE(decodeRequest("action " + std::string(maxInstanceLineLength, 'a')));
}

TEST(InstanceProtocol, RepliesSurviveTheRoundTrip) {
    const std::vector<InstanceReply> replies{
        InstanceReply::ok(),
        InstanceReply::error("unknown action \"x\""),
        {InstanceReply::Kind::status, "{\"enabled\":false,\"unavailable\":[]}"},
    };
    for (const auto& reply : replies) EXPECT_EQ(reply, decodeReply(encodeReply(reply)));

    // A message with line breaks must not split the reply.
    const std::string line = encodeReply(InstanceReply::error("first\nsecond\r"));
    EXPECT_EQ("error: first second \n", line);
    EXPECT_FALSE(decodeReply("okay\n"));
    EXPECT_FALSE(decodeReply(""));
    EXPECT_FALSE(decodeReply("{\n"));
}

// Names typed by someone else go back to a terminal: no control sequences,
// no forged quotes, no screenfuls.
TEST(InstanceProtocol, ShownNamesAreEscapedAndCutShort) {
    EXPECT_EQ("\"middle\"", quotedName("middle"));
    EXPECT_EQ("\"\\x1b]0;owned\\x07\"", quotedName("\x1b]0;owned\a"));
    EXPECT_EQ("\"a\\x22b\\x5cc\\x0a\"", quotedName("a\"b\\c\n"));
    EXPECT_EQ("\"\\xc3\\xa9\"", quotedName("é"));
    EXPECT_EQ("\"" + std::string(maxShownNameLength, 'x') + "\"",
              quotedName(std::string(maxShownNameLength, 'x')));
    EXPECT_EQ("\"" + std::string(maxShownNameLength, 'x') + "...\"", quotedName(std::string(5000, 'x')));
}

TEST(InstanceProtocol, StatusDocumentListsRefusedActionsInDeclarationOrder) {
    EXPECT_EQ("{\"enabled\":true,\"unavailable\":[],\"tourOpen\":false}", statusDocument(true, {}, false));
    const std::unordered_set<WindowAction> refused{
        WindowAction::space(SpaceAction::follow2), WindowAction::placement(Placement::maximize),
        WindowAction::space(SpaceAction::send9), WindowAction::placement(Placement::leftHalf)};
    EXPECT_EQ(
        "{\"enabled\":false,\"unavailable\":[\"leftHalf\",\"maximize\",\"send9\",\"follow2\"],\"tourOpen\":"
        "true}",
        statusDocument(false, refused, true));
}

}  // namespace
}  // namespace corvane
