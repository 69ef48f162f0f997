#include "app/shell/instance_protocol.hpp"

#include "core/quoted_text.hpp"

namespace corvane {

namespace {

constexpr std::string_view actionPrefix = "action ";
constexpr std::string_view errorPrefix = "error: ";

std::string_view withoutLineEnd(std::string_view line) {
    if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

bool isPlainName(std::string_view name) {
    if (name.empty()) return false;
    for (const char c : name) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!plain) return false;
    }
    return true;
}

}  // namespace

std::string encodeRequest(const InstanceRequest& request) {
    switch (request.kind) {
        case InstanceRequest::Kind::show:
            return "show\n";
        case InstanceRequest::Kind::action:
            return std::string(actionPrefix) + request.action + "\n";
        case InstanceRequest::Kind::enable:
            return "enable\n";
        case InstanceRequest::Kind::disable:
            return "disable\n";
        case InstanceRequest::Kind::status:
            return "status\n";
        case InstanceRequest::Kind::tour:
            return "tour\n";
        case InstanceRequest::Kind::quit:
            return "quit\n";
    }
    return "show\n";
}

std::optional<InstanceRequest> decodeRequest(std::string_view line) {
    line = withoutLineEnd(line);
    if (line.size() > maxInstanceLineLength || line.find('\n') != std::string_view::npos) return std::nullopt;
    if (line == "show") return InstanceRequest{InstanceRequest::Kind::show, {}};
    if (line == "enable") return InstanceRequest{InstanceRequest::Kind::enable, {}};
    if (line == "disable") return InstanceRequest{InstanceRequest::Kind::disable, {}};
    if (line == "status") return InstanceRequest{InstanceRequest::Kind::status, {}};
    if (line == "tour") return InstanceRequest{InstanceRequest::Kind::tour, {}};
    if (line == "quit") return InstanceRequest{InstanceRequest::Kind::quit, {}};
    if (line.substr(0, actionPrefix.size()) == actionPrefix) {
        const std::string_view name = line.substr(actionPrefix.size());
        // Raw values are plain words; anything else cannot name an action and
        // would only make the error reply harder to read.
        if (isPlainName(name)) return InstanceRequest{InstanceRequest::Kind::action, std::string(name)};
    }
    return std::nullopt;
}

std::string encodeReply(const InstanceReply& reply) {
    switch (reply.kind) {
        case InstanceReply::Kind::ok:
            return "ok\n";
        case InstanceReply::Kind::status:
            return reply.text + "\n";
        case InstanceReply::Kind::error: {
            std::string message = reply.text;
            for (char& c : message) {
                if (c == '\n' || c == '\r') c = ' ';
            }
            return std::string(errorPrefix) + message + "\n";
        }
    }
    return "ok\n";
}

std::optional<InstanceReply> decodeReply(std::string_view line) {
    line = withoutLineEnd(line);
    if (line.find('\n') != std::string_view::npos) return std::nullopt;
    if (line == "ok") return InstanceReply::ok();
    if (line.substr(0, errorPrefix.size()) == errorPrefix) {
        return InstanceReply::error(std::string(line.substr(errorPrefix.size())));
    }
    if (line.size() >= 2 && line.front() == '{' && line.back() == '}') {
        return InstanceReply{InstanceReply::Kind::status, std::string(line)};
    }
    return std::nullopt;
}

std::string quotedName(std::string_view name) {
    return quotedText(name, maxShownNameLength);
}

std::string statusDocument(bool enabled, const std::unordered_set<WindowAction>& unavailable, bool tourOpen) {
    std::string names;
    const auto list = [&](const WindowAction& action, std::string_view rawValue) {
        if (!unavailable.count(action)) return;
        if (!names.empty()) names += ",";
        // Raw values are plain words, so they need no escaping.
        names += "\"" + std::string(rawValue) + "\"";
    };
    for (const Placement placement : Placement::allCases()) {
        list(WindowAction::placement(placement), placement.rawValue());
    }
    for (const SpaceAction action : SpaceAction::allCases())
        list(WindowAction::space(action), action.rawValue());
    return std::string("{\"enabled\":") + (enabled ? "true" : "false") + ",\"unavailable\":[" + names +
           "],\"tourOpen\":" + (tourOpen ? "true" : "false") + "}";
}

}  // namespace corvane
