#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "app/shell/instance_protocol.hpp"

namespace corvane {

// What the user asked for on the command line.
struct CommandLine {
    enum class Mode { run, action, enable, disable, status, tour, quit, help, version };
    Mode mode = Mode::run;
    std::string action;  // a valid raw value, for Mode::action only

    friend bool operator==(const CommandLine&, const CommandLine&) = default;
};

// A command line that cannot be obeyed; the process prints the message on
// standard error and exits with usageExitCode.
struct CommandLineError {
    std::string message;
};

inline constexpr int usageExitCode = 2;

// Reads the arguments after the program name. Accepts at most one option:
// --action NAME (or --action=NAME), --enable, --disable, --status, --help
// (or -h), --version. No arguments means: run the application.
std::variant<CommandLine, CommandLineError> parseCommandLine(const std::vector<std::string>& arguments);

// The request a client mode sends to the running instance; absent for run,
// help and version, which need none.
std::optional<InstanceRequest> instanceRequestFor(const CommandLine& commandLine);

std::string usageText();
std::string versionText();

// What a client prints and how it exits, given the running instance's reply
// line (absent when no instance answered).
struct ClientOutcome {
    int exitCode = 0;
    std::string standardOutput;
    std::string standardError;
};
ClientOutcome clientOutcome(const std::optional<std::string>& replyLine);

}  // namespace corvane
