#pragma once

#include "app/platform/accessibility.hpp"
#include "ports/compositor/compositor_session.hpp"

namespace corvane::compositor {

// Window access through the compositor plugin. An application's
// "AXFocusedWindow" is the focused window when the application owns it.
// Positions are relative to the primary monitor's top-left corner; a frame
// is the window's visible frame. Writes become operations: during a press
// the mover's size, position, size reach the plugin as one frame.
class CompositorAccessibility final : public Accessibility {
public:
    explicit CompositorAccessibility(CompositorSession& session);

    // The compositor decides which plugins it loads; once ours runs, nothing
    // else needs granting.
    bool isProcessTrusted() override { return true; }
    void requestTrust() override {}
    Element applicationElement(const Application& application) override;
    AXCopyResult copyAttribute(const Element& element, std::string_view attribute) override;
    AXStatus setAttribute(const Element& element, std::string_view attribute, const AXValue& value) override;
    AXStatus performAction(const Element& element, std::string_view action) override;
    void setMessagingTimeout(const Element&, float) override {}
    // Closes are not followed: a frame saved for a closed window is only
    // restored onto a window that still shows the full-screen frame it left,
    // and window ids are never used again.
    std::unique_ptr<Observation> observeDestruction(const Element&, std::function<void()>) override {
        return nullptr;
    }

private:
    CompositorSession& session_;
};

// The origin of the seam's positions: the primary monitor's top-left corner.
Point primaryOrigin(const Snapshot& snapshot);

}  // namespace corvane::compositor
