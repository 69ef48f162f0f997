#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "ports/i3ipc/ipc_connection.hpp"
#include "ports/i3ipc/ipc_replies.hpp"

namespace corvane::i3ipc {

// The window manager as the services ask it: the reads and the commands,
// over one request connection. Any thread.
class IpcSession {
public:
    explicit IpcSession(std::unique_ptr<IpcConnection> connection);

    // While one lives, the reads of the thread that made it are answered from
    // one reading of each kind (tree, outputs, workspaces), taken again after
    // every command: a key press asks the same few questions several times,
    // and each answer costs the window manager a round trip while the user
    // waits. Other threads read afresh. Scopes nest; the outermost one ends
    // the sharing.
    class SharedReads {
    public:
        explicit SharedReads(IpcSession& session);
        ~SharedReads();
        SharedReads(const SharedReads&) = delete;
        SharedReads& operator=(const SharedReads&) = delete;

    private:
        IpcSession* session_ = nullptr;  // null when another thread shares already
    };

    std::optional<Tree> tree();
    // The tree as it is now, even while reads are shared (watching a frame
    // settle); the reading is shared from then on.
    std::optional<Tree> freshTree();
    std::vector<Output> outputs();
    std::vector<WorkspaceInfo> workspaces();
    // Runs a command list; a broken connection is a failure with its reason.
    CommandOutcome run(std::string_view command);
    // The configuration text the window manager loaded (sway and i3 both
    // answer with the file as read); empty when it cannot say.
    std::string configText();
    bool isAlive() const { return connection_->isAlive(); }
    // Whether this thread's reads are shared now.
    bool sharesReads() const;
    // Requests sent over the connection so far.
    unsigned requestCount() const { return connection_->requestCount(); }

private:
    struct Shared {
        std::thread::id owner;
        int depth = 0;
        std::optional<Tree> tree;
        std::optional<std::vector<Output>> outputs;
        std::optional<std::vector<WorkspaceInfo>> workspaces;
    };
    // The shared readings when this thread shares (lock held by the caller).
    Shared* sharedForThisThread();
    // Fills in the readings this thread shares and lacks; false when it
    // does not share.
    bool readShared();
    void forgetReadings();

    std::unique_ptr<IpcConnection> connection_;
    mutable std::mutex sharedMutex_;
    Shared shared_;
};

}  // namespace corvane::i3ipc
