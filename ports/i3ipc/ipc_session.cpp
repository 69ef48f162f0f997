#include "ports/i3ipc/ipc_session.hpp"

#include <nlohmann/json.hpp>

namespace corvane::i3ipc {

namespace {
constexpr std::uint32_t kGetConfig = 9;
}

IpcSession::IpcSession(std::unique_ptr<IpcConnection> connection) : connection_(std::move(connection)) {}

IpcSession::SharedReads::SharedReads(IpcSession& session) {
    std::lock_guard lock(session.sharedMutex_);
    auto& shared = session.shared_;
    if (shared.depth > 0 && shared.owner != std::this_thread::get_id()) return;
    shared.owner = std::this_thread::get_id();
    ++shared.depth;
    session_ = &session;
}

IpcSession::SharedReads::~SharedReads() {
    if (!session_) return;
    std::lock_guard lock(session_->sharedMutex_);
    if (--session_->shared_.depth == 0) session_->forgetReadings();
}

IpcSession::Shared* IpcSession::sharedForThisThread() {
    if (shared_.depth == 0 || shared_.owner != std::this_thread::get_id()) return nullptr;
    return &shared_;
}

void IpcSession::forgetReadings() {
    shared_.tree.reset();
    shared_.outputs.reset();
    shared_.workspaces.reset();
}

bool IpcSession::sharesReads() const {
    std::lock_guard lock(sharedMutex_);
    return shared_.depth > 0 && shared_.owner == std::this_thread::get_id();
}

// Only the owner thread fills the shared readings and only it ends the
// scope, so the lock is not held across the round trip. Whatever is missing
// is asked for in one exchange: a press needs all three. A read that got no
// answer is not kept; the caller asks again on its own.
bool IpcSession::readShared() {
    bool wantTree = false, wantOutputs = false, wantWorkspaces = false;
    {
        std::lock_guard lock(sharedMutex_);
        const auto* shared = sharedForThisThread();
        if (!shared) return false;
        wantTree = !shared->tree;
        wantOutputs = !shared->outputs;
        wantWorkspaces = !shared->workspaces;
    }
    std::vector<IpcConnection::Request> requests;
    if (wantTree) requests.push_back({MessageType::getTree, {}});
    if (wantOutputs) requests.push_back({MessageType::getOutputs, {}});
    if (wantWorkspaces) requests.push_back({MessageType::getWorkspaces, {}});
    if (requests.empty()) return true;
    auto replies = connection_->requestAll(requests);
    std::optional<Tree> tree;
    std::optional<std::vector<Output>> outputs;
    std::optional<std::vector<WorkspaceInfo>> workspaces;
    std::size_t next = 0;
    if (wantTree && replies[next++]) tree = parseTree(*replies[next - 1]);
    if (wantOutputs && replies[next++]) outputs = parseOutputs(*replies[next - 1]);
    if (wantWorkspaces && replies[next++]) workspaces = parseWorkspaces(*replies[next - 1]);
    std::lock_guard lock(sharedMutex_);
    auto* shared = sharedForThisThread();
    if (!shared) return false;
    if (tree) shared->tree = std::move(tree);
    if (outputs) shared->outputs = std::move(outputs);
    if (workspaces) shared->workspaces = std::move(workspaces);
    return true;
}

std::optional<Tree> IpcSession::tree() {
    if (readShared()) {
        std::lock_guard lock(sharedMutex_);
        if (const auto* shared = sharedForThisThread(); shared && shared->tree) return shared->tree;
    }
    return freshTree();
}

std::optional<Tree> IpcSession::freshTree() {
    const auto reply = connection_->request(MessageType::getTree, {});
    if (!reply) return std::nullopt;
    auto tree = parseTree(*reply);
    std::lock_guard lock(sharedMutex_);
    if (auto* shared = sharedForThisThread(); shared && tree) shared->tree = tree;
    return tree;
}

std::vector<Output> IpcSession::outputs() {
    if (readShared()) {
        std::lock_guard lock(sharedMutex_);
        if (const auto* shared = sharedForThisThread(); shared && shared->outputs) return *shared->outputs;
    }
    const auto reply = connection_->request(MessageType::getOutputs, {});
    return reply ? parseOutputs(*reply) : std::vector<Output>{};
}

std::vector<WorkspaceInfo> IpcSession::workspaces() {
    if (readShared()) {
        std::lock_guard lock(sharedMutex_);
        if (const auto* shared = sharedForThisThread(); shared && shared->workspaces)
            return *shared->workspaces;
    }
    const auto reply = connection_->request(MessageType::getWorkspaces, {});
    return reply ? parseWorkspaces(*reply) : std::vector<WorkspaceInfo>{};
}

CommandOutcome IpcSession::run(std::string_view command) {
    {
        // What the command changes, readings taken before it no longer show
        // (whichever thread sends it).
        std::lock_guard lock(sharedMutex_);
        forgetReadings();
    }
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
