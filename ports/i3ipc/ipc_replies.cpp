#include "ports/i3ipc/ipc_replies.hpp"

#include <nlohmann/json.hpp>

namespace corvane::i3ipc {

namespace {

using nlohmann::json;

json parse(std::string_view payload) {
    return json::parse(payload.begin(), payload.end(), nullptr, /*allow_exceptions=*/false);
}

std::optional<double> number(const json& object, const char* key) {
    if (!object.is_object()) return std::nullopt;
    const auto it = object.find(key);
    if (it == object.end() || !it->is_number()) return std::nullopt;
    return it->get<double>();
}

std::string string(const json& object, const char* key) {
    if (!object.is_object()) return {};
    const auto it = object.find(key);
    return it != object.end() && it->is_string() ? it->get<std::string>() : std::string();
}

bool boolean(const json& object, const char* key) {
    if (!object.is_object()) return false;
    const auto it = object.find(key);
    return it != object.end() && it->is_boolean() && it->get<bool>();
}

std::optional<Rect> rect(const json& object, const char* key) {
    if (!object.is_object()) return std::nullopt;
    const auto it = object.find(key);
    if (it == object.end()) return std::nullopt;
    const auto x = number(*it, "x"), y = number(*it, "y");
    const auto w = number(*it, "width"), h = number(*it, "height");
    if (!x || !y || !w || !h || *w < 0 || *h < 0) return std::nullopt;
    return Rect{*x, *y, *w, *h};
}

}  // namespace

std::optional<WindowNode> Tree::focused() const {
    for (const auto& w : windows)
        if (w.focused) return w;
    return std::nullopt;
}

std::optional<WindowNode> Tree::window(std::int64_t id) const {
    for (const auto& w : windows)
        if (w.id == id) return w;
    return std::nullopt;
}

std::vector<Output> parseOutputs(std::string_view payload) {
    const json root = parse(payload);
    std::vector<Output> outputs;
    if (!root.is_array()) return outputs;
    for (const auto& item : root) {
        const auto frame = rect(item, "rect");
        const std::string name = string(item, "name");
        if (!frame || name.empty() || frame->width <= 0 || frame->height <= 0) continue;
        // i3 lists outputs without "active"; absent means in use.
        if (item.contains("active") && item["active"].is_boolean() && !item["active"].get<bool>()) continue;
        outputs.push_back(
            Output{name, *frame, string(item, "current_workspace"), true, boolean(item, "primary")});
    }
    return outputs;
}

std::vector<WorkspaceInfo> parseWorkspaces(std::string_view payload) {
    const json root = parse(payload);
    std::vector<WorkspaceInfo> workspaces;
    if (!root.is_array()) return workspaces;
    for (const auto& item : root) {
        const auto frame = rect(item, "rect");
        const std::string name = string(item, "name");
        if (!frame || name.empty()) continue;
        WorkspaceInfo info;
        if (const auto num = number(item, "num"); num && *num >= 0) info.number = static_cast<int>(*num);
        info.name = name;
        info.output = string(item, "output");
        info.rect = *frame;
        info.focused = boolean(item, "focused");
        info.visible = boolean(item, "visible");
        workspaces.push_back(std::move(info));
    }
    return workspaces;
}

CommandOutcome parseCommandReply(std::string_view payload) {
    const json root = parse(payload);
    if (!root.is_array() || root.empty()) return {false, "unreadable reply"};
    CommandOutcome outcome{true, {}};
    for (const auto& result : root) {
        if (boolean(result, "success")) continue;
        outcome.success = false;
        if (outcome.error.empty()) {
            outcome.error = string(result, "error");
            if (outcome.error.empty()) outcome.error = "refused";
        }
    }
    return outcome;
}

std::optional<std::string> parseBindingCommand(std::string_view payload) {
    const json root = parse(payload);
    if (string(root, "change") != "run") return std::nullopt;
    const auto it = root.find("binding");
    if (it == root.end()) return std::nullopt;
    const std::string command = string(*it, "command");
    if (command.empty()) return std::nullopt;
    return command;
}

std::optional<std::string> parseWorkspaceChange(std::string_view payload) {
    const std::string change = string(parse(payload), "change");
    if (change.empty()) return std::nullopt;
    return change;
}

bool parseSubscribeReply(std::string_view payload) {
    return boolean(parse(payload), "success");
}

}  // namespace corvane::i3ipc
