#include "app/shell/command_line.hpp"

#include "app/shell/action_name.hpp"
#include "app/shell/instance_protocol.hpp"

#ifndef CORVANE_VERSION
#define CORVANE_VERSION "0.0.0"
#endif

namespace corvane {

namespace {

constexpr std::string_view actionOption = "--action";

CommandLineError usageError(const std::string& message) {
    return CommandLineError{"corvane: " + message + "\nTry 'corvane --help' for more information."};
}

std::variant<CommandLine, CommandLineError> actionMode(const std::string& name) {
    if (name.empty()) return usageError("--action needs the name of an action");
    if (!windowActionNamed(name)) {
        return CommandLineError{"corvane: unknown action " + quotedName(name) +
                                "; valid actions: " + allActionNames()};
    }
    return CommandLine{CommandLine::Mode::action, name};
}

std::optional<CommandLine::Mode> flagMode(const std::string& argument) {
    if (argument == "--enable") return CommandLine::Mode::enable;
    if (argument == "--disable") return CommandLine::Mode::disable;
    if (argument == "--status") return CommandLine::Mode::status;
    if (argument == "--tour") return CommandLine::Mode::tour;
    if (argument == "--quit") return CommandLine::Mode::quit;
    if (argument == "--help" || argument == "-h") return CommandLine::Mode::help;
    if (argument == "--version") return CommandLine::Mode::version;
    return std::nullopt;
}

}  // namespace

std::variant<CommandLine, CommandLineError> parseCommandLine(const std::vector<std::string>& arguments) {
    if (arguments.empty()) return CommandLine{};

    const std::string& first = arguments.front();
    // --help wins wherever it stands, so that a confused command line still
    // gets the explanation rather than another error.
    for (const auto& argument : arguments) {
        if (argument == "--help" || argument == "-h") return CommandLine{CommandLine::Mode::help, {}};
    }

    std::variant<CommandLine, CommandLineError> parsed = CommandLine{};
    std::size_t used = 1;
    if (first == actionOption) {
        if (arguments.size() < 2) return usageError("--action needs the name of an action");
        parsed = actionMode(arguments[1]);
        used = 2;
    } else if (first.rfind(std::string(actionOption) + "=", 0) == 0) {
        parsed = actionMode(first.substr(actionOption.size() + 1));
    } else if (const auto mode = flagMode(first)) {
        parsed = CommandLine{*mode, {}};
    } else {
        return usageError("unknown argument \"" + first + "\"");
    }

    if (std::holds_alternative<CommandLineError>(parsed)) return parsed;
    if (arguments.size() > used) return usageError("unexpected argument \"" + arguments[used] + "\"");
    return parsed;
}

std::optional<InstanceRequest> instanceRequestFor(const CommandLine& commandLine) {
    switch (commandLine.mode) {
        case CommandLine::Mode::action:
            return InstanceRequest{InstanceRequest::Kind::action, commandLine.action};
        case CommandLine::Mode::enable:
            return InstanceRequest{InstanceRequest::Kind::enable, {}};
        case CommandLine::Mode::disable:
            return InstanceRequest{InstanceRequest::Kind::disable, {}};
        case CommandLine::Mode::status:
            return InstanceRequest{InstanceRequest::Kind::status, {}};
        case CommandLine::Mode::tour:
            return InstanceRequest{InstanceRequest::Kind::tour, {}};
        case CommandLine::Mode::quit:
            return InstanceRequest{InstanceRequest::Kind::quit, {}};
        case CommandLine::Mode::run:
        case CommandLine::Mode::help:
        case CommandLine::Mode::version:
            return std::nullopt;
    }
    return std::nullopt;
}

std::string usageText() {
    return "Usage: corvane [OPTION]\n"
           "Places the focused window from global keyboard shortcuts. Without an option,\n"
           "runs in the background, with a mark in the system tray where there is one;\n"
           "if Corvane is already running, asks it to show its settings instead.\n"
           "\n"
           "Options (each asks the running Corvane):\n"
           "  --action NAME   perform a placement or desktop action, for example\n"
           "                  leftHalf, maximize, nextDisplay, send2 or follow3\n"
           "  --enable        turn Corvane on\n"
           "  --disable       turn Corvane off\n"
           "  --status        print {\"enabled\":...,\"unavailable\":[...]} on one line\n"
           "  --tour          open the guided tour\n"
           "  --quit          quit Corvane\n"
           "  -h, --help      show this help and exit\n"
           "  --version       show the version and exit\n"
           "\n"
           "Exit status: 0 on success, 1 when Corvane is not running or refused the\n"
           "request, 2 for a command line that cannot be understood, 3 when started in\n"
           "a Wayland session Corvane does not support.\n";
}

std::string versionText() {
    return std::string("corvane ") + CORVANE_VERSION + "\n";
}

ClientOutcome clientOutcome(const std::optional<std::string>& replyLine) {
    if (!replyLine) return {1, {}, "corvane: Corvane is not running\n"};
    const auto reply = decodeReply(*replyLine);
    if (!reply) return {1, {}, "corvane: the running Corvane gave an answer that could not be read\n"};
    switch (reply->kind) {
        case InstanceReply::Kind::ok:
            return {0, {}, {}};
        case InstanceReply::Kind::status:
            return {0, reply->text + "\n", {}};
        case InstanceReply::Kind::error:
            return {1, {}, "corvane: " + reply->text + "\n"};
    }
    return {1, {}, "corvane: the running Corvane gave an answer that could not be read\n"};
}

}  // namespace corvane
