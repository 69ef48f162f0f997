#include "ports/i3ipc/ipc_session.hpp"

#include <nlohmann/json.hpp>

namespace corvane::i3ipc {

namespace {
constexpr std::uint32_t kGetConfig = 9;
}

IpcSession::IpcSession(std::unique_ptr<IpcConnection> connection) : connection_(std::move(connection)) {}

std::optional<Tree> IpcSession::tree() {
    const auto reply = connection_->request(MessageType::getTree, {});
    if (!reply) return std::nullopt;
    return parseTree(*reply);
}

std::vector<Output> IpcSession::outputs() {
    const auto reply = connection_->request(MessageType::getOutputs, {});
    return reply ? parseOutputs(*reply) : std::vector<Output>{};
}

std::vector<WorkspaceInfo> IpcSession::workspaces() {
    const auto reply = connection_->request(MessageType::getWorkspaces, {});
    return reply ? parseWorkspaces(*reply) : std::vector<WorkspaceInfo>{};
}

CommandOutcome IpcSession::run(std::string_view command) {
    const auto reply = connection_->request(MessageType::runCommand, command);
    if (!reply) return {false, "no answer from the window manager"};
    return parseCommandReply(*reply);
}

std::string IpcSession::configText() {
    const auto reply = connection_->request(kGetConfig, {});
    if (!reply) return {};
    const auto root = nlohmann::json::parse(*reply, nullptr, false);
    if (!root.is_object() || !root.contains("config") || !root["config"].is_string()) return {};
    return root["config"].get<std::string>();
}

}  // namespace corvane::i3ipc
