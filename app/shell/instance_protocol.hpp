#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>

#include "core/window_action.hpp"

namespace corvane {

// The channel between a second `corvane` and the running one: the client
// sends one request line, the server answers with one reply line. Lines end
// in "\n"; a trailing "\r" is tolerated.

// Neither side reads more than this before the end of a line.
inline constexpr std::size_t maxInstanceLineLength = 4096;

struct InstanceRequest {
    enum class Kind { show, action, enable, disable, status, tour, quit };
    Kind kind = Kind::show;
    std::string action;  // the raw value, for Kind::action only

    friend bool operator==(const InstanceRequest&, const InstanceRequest&) = default;
};

struct InstanceReply {
    enum class Kind { ok, error, status };
    Kind kind = Kind::ok;
    // The message of an error, or the status document.
    std::string text;

    static InstanceReply ok() { return {Kind::ok, {}}; }
    static InstanceReply error(std::string message) { return {Kind::error, std::move(message)}; }

    friend bool operator==(const InstanceReply&, const InstanceReply&) = default;
};

// "show", "action leftHalf", "enable", "disable", "status", "tour", "quit", with the
// newline.
std::string encodeRequest(const InstanceRequest& request);
// Absent for anything but exactly one of the lines above. The action name is
// not checked here: the server answers an unknown one with an error.
std::optional<InstanceRequest> decodeRequest(std::string_view line);

// "ok", "error: <message>" or the status document, with the newline. Line
// breaks inside a message become spaces so the reply stays one line.
std::string encodeReply(const InstanceReply& reply);
// Absent when the line is none of the three forms.
std::optional<InstanceReply> decodeReply(std::string_view line);

// A name someone else chose (an unknown action), fit to be shown back in a
// reply or on a terminal: in double quotes, with quotes, backslashes and
// anything outside printable ASCII written as \xNN, and cut after
// `maxShownNameLength` characters of the name ("..." marks the cut).
inline constexpr std::size_t maxShownNameLength = 40;
std::string quotedName(std::string_view name);

// {"enabled":true,"unavailable":["leftHalf",...],"tourOpen":false}, the
// refused actions listed placements first, each kind in its declaration
// order. While the tour is open no shortcut is held, whatever "enabled" says.
std::string statusDocument(bool enabled, const std::unordered_set<WindowAction>& unavailable, bool tourOpen);

}  // namespace corvane
