#include "app/shell/command_line.hpp"

#include <gtest/gtest.h>

namespace corvane {
namespace {

using Args = std::vector<std::string>;

CommandLine parsed(const Args& args) {
    auto result = parseCommandLine(args);
    if (auto* error = std::get_if<CommandLineError>(&result)) {
        ADD_FAILURE() << "unexpected error: " << error->message;
        return {};
    }
    return std::get<CommandLine>(result);
}

std::string errorOf(const Args& args) {
    auto result = parseCommandLine(args);
    if (auto* error = std::get_if<CommandLineError>(&result)) return error->message;
    ADD_FAILURE() << "expected an error";
    return {};
}

TEST(CommandLine, ModesAndTheirRequests) {
    EXPECT_EQ(CommandLine::Mode::run, parsed({}).mode);
    EXPECT_EQ((CommandLine{CommandLine::Mode::action, "leftHalf"}), parsed({"--action", "leftHalf"}));
    EXPECT_EQ((CommandLine{CommandLine::Mode::action, "follow9"}), parsed({"--action=follow9"}));
    EXPECT_EQ(CommandLine::Mode::enable, parsed({"--enable"}).mode);
    EXPECT_EQ(CommandLine::Mode::disable, parsed({"--disable"}).mode);
    EXPECT_EQ(CommandLine::Mode::status, parsed({"--status"}).mode);
    EXPECT_EQ(CommandLine::Mode::tour, parsed({"--tour"}).mode);
    EXPECT_EQ(CommandLine::Mode::quit, parsed({"--quit"}).mode);
    EXPECT_EQ(CommandLine::Mode::help, parsed({"-h"}).mode);
    EXPECT_EQ(CommandLine::Mode::version, parsed({"--version"}).mode);
    // Help wins over anything else on the line.
    EXPECT_EQ(CommandLine::Mode::help, parsed({"--bogus", "--help"}).mode);

    EXPECT_EQ((InstanceRequest{InstanceRequest::Kind::action, "send2"}),
              instanceRequestFor({CommandLine::Mode::action, "send2"}));
    EXPECT_EQ(InstanceRequest::Kind::enable, instanceRequestFor({CommandLine::Mode::enable, {}})->kind);
    EXPECT_EQ(InstanceRequest::Kind::disable, instanceRequestFor({CommandLine::Mode::disable, {}})->kind);
    EXPECT_EQ(InstanceRequest::Kind::status, instanceRequestFor({CommandLine::Mode::status, {}})->kind);
    EXPECT_EQ(InstanceRequest::Kind::tour, instanceRequestFor({CommandLine::Mode::tour, {}})->kind);
    EXPECT_EQ(InstanceRequest::Kind::quit, instanceRequestFor({CommandLine::Mode::quit, {}})->kind);
    EXPECT_FALSE(instanceRequestFor({CommandLine::Mode::run, {}}));
    EXPECT_FALSE(instanceRequestFor({CommandLine::Mode::version, {}}));
}

TEST(CommandLine, UnknownActionNamesEveryValidOne) {
    for (const Args& args :
         {Args{"--action", "LeftHalf"}, Args{"--action", "send10"}, Args{"--action=nope"}}) {
        const std::string message = errorOf(args);
        EXPECT_EQ(0u, message.rfind("corvane: unknown action", 0)) << message;
        EXPECT_NE(std::string::npos, message.find("leftHalf, rightHalf")) << message;
        EXPECT_NE(std::string::npos, message.find("nextDisplay, send1")) << message;
        EXPECT_NE(std::string::npos, message.find("follow9")) << message;
    }
    const std::string hostile = errorOf(Args{"--action", "\x1b[2J" + std::string(300, 'z')});
    EXPECT_EQ(std::string::npos, hostile.find('\x1b'));
    EXPECT_EQ(std::string::npos, hostile.find(std::string(41, 'z')));
}

TEST(CommandLine, MalformedLinesAreUsageErrors) {
    EXPECT_NE(std::string::npos, errorOf({"--action"}).find("needs the name"));
    EXPECT_NE(std::string::npos, errorOf({"--action="}).find("needs the name"));
    EXPECT_NE(std::string::npos, errorOf({"--frobnicate"}).find("unknown argument \"--frobnicate\""));
    EXPECT_NE(std::string::npos, errorOf({"leftHalf"}).find("unknown argument"));
    EXPECT_NE(std::string::npos,
              errorOf({"--enable", "--disable"}).find("unexpected argument \"--disable\""));
    EXPECT_NE(std::string::npos, errorOf({"--action", "maximize", "extra"}).find("unexpected argument"));
}

TEST(CommandLine, ClientOutcomeFromTheReply) {
    const auto notRunning = clientOutcome(std::nullopt);
    EXPECT_EQ(1, notRunning.exitCode);
    EXPECT_EQ("corvane: Corvane is not running\n", notRunning.standardError);

    EXPECT_EQ(0, clientOutcome("ok\n").exitCode);

    const auto status = clientOutcome("{\"enabled\":true,\"unavailable\":[]}\n");
    EXPECT_EQ(0, status.exitCode);
    EXPECT_EQ("{\"enabled\":true,\"unavailable\":[]}\n", status.standardOutput);

    const auto refused = clientOutcome("error: Corvane is switched off\n");
    EXPECT_EQ(1, refused.exitCode);
    EXPECT_EQ("corvane: Corvane is switched off\n", refused.standardError);

    const auto garbled = clientOutcome("what?\n");
    EXPECT_EQ(1, garbled.exitCode);
    EXPECT_NE(std::string::npos, garbled.standardError.find("could not be read"));
}

}  // namespace
}  // namespace corvane
