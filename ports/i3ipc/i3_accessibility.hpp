#pragma once

#include <mutex>
#include <optional>

#include "app/platform/accessibility.hpp"
#include "ports/i3ipc/ipc_session.hpp"

namespace corvane::i3ipc {

// Window access through the window manager's IPC. An application element is
// a process id; its "AXFocusedWindow" is the focused window when the process
// owns it, else its first window in the tree. Positions are relative to the
// primary output's top-left corner; a frame is the container's rectangle,
// borders and title bar included.
//
// Only floating windows can be given an exact rectangle on a tiling window
// manager, so writing a frame makes the window floating.
class I3Accessibility final : public Accessibility {
public:
    // `clientsCommitLate`: the window manager waits for a client to take a
    // new size and may give up (sway's Wayland clients), so a placed frame
    // is watched for a while; on i3 the window manager's word is final.
    I3Accessibility(IpcSession& session, bool clientsCommitLate);

    bool isProcessTrusted() override { return true; }
    void requestTrust() override {}
    Element applicationElement(const Application& application) override;
    AXCopyResult copyAttribute(const Element& element, std::string_view attribute) override;
    AXStatus setAttribute(const Element& element, std::string_view attribute, const AXValue& value) override;
    AXStatus performAction(const Element& element, std::string_view action) override;
    void setMessagingTimeout(const Element&, float) override {}
    // Closes are not followed here: a frame saved for a closed window is
    // only ever restored onto a window that still shows the full-screen
    // frame it left, so a container id used again cannot take it by mistake.
    std::unique_ptr<Observation> observeDestruction(const Element&, std::function<void()>) override {
        return nullptr;
    }

    // Commands sent to place windows since the start (tests of the write
    // coalescing and the one re-issue).
    unsigned placementCommands() const;
    // Sends a size still held back for a position (the end of a press).
    void flushPending();

private:
    AXStatus place(std::int64_t container, std::optional<Point> position, Size size);
    // Whether the window shows the frame (or, without a target, the size) and
    // keeps it; absent when the window is gone.
    std::optional<bool> frameHolds(std::int64_t container, std::optional<Rect> target, Size size);

    // The product writes size, position, size; the position carries the
    // pending size so the window manager gets the whole frame in one
    // command, and the last size, already applied, is dropped. During a
    // press the first size is held back rather than sent alone.
    struct PendingWrite {
        enum class State { held, sentAlone, frameSent };
        std::int64_t container = 0;
        Size size;
        State state = State::held;
    };
    // The pending write when it is for `container`; any other one ends (a
    // held size is sent first).
    std::optional<PendingWrite> takePending(std::int64_t container);
    void setPending(std::optional<PendingWrite> pending);

    IpcSession& session_;
    bool clientsCommitLate_;
    mutable std::mutex mutex_;
    std::optional<PendingWrite> pending_;
    unsigned placementCommands_ = 0;
};

// The top-left corner of the primary output, the origin of positions the
// seam speaks: the output flagged primary, else the one at the layout's
// origin, else the first.
Point primaryOrigin(const std::vector<Output>& outputs);
std::optional<Output> primaryOutput(const std::vector<Output>& outputs);

}  // namespace corvane::i3ipc
