#pragma once

#include <string>
#include <unordered_set>
#include <vector>

#include "app/shell/app_control.hpp"

namespace corvane::test {

// An AppControl that only records what it was asked to do.
class RecordingControl final : public AppControl {
public:
    bool enabled = true;
    bool desktops = true;
    bool tourOpen = false;
    std::unordered_set<WindowAction> refused;
    std::vector<std::string> calls;

    bool isEnabled() const override { return enabled; }
    void setEnabled(bool value) override {
        calls.push_back(value ? "setEnabled(true)" : "setEnabled(false)");
        enabled = value;
    }
    bool desktopsAvailable() override { return desktops; }
    const std::unordered_set<WindowAction>& unavailable() const override { return refused; }
    // The outcome every action reports; desktop actions hold theirs back in
    // `pendingOutcome` until a test delivers it.
    ActionOutcome outcome = ActionOutcome::success();
    bool holdDesktopOutcomes = false;
    OutcomeHandler pendingOutcome;

    void perform(const WindowAction& action, OutcomeHandler done) override {
        const auto placement = action.asPlacement();
        calls.push_back("perform(" +
                        std::string(placement ? placement->rawValue() : action.asSpace()->rawValue()) + ")");
        if (!done) return;
        if (holdDesktopOutcomes && action.asSpace()) {
            pendingOutcome = std::move(done);
        } else {
            done(outcome);
        }
    }
    void requestAccess() override { calls.push_back("requestAccess"); }
    void openSettings() override { calls.push_back("openSettings"); }
    void openTour() override { calls.push_back("openTour"); }
    bool isTourOpen() const override { return tourOpen; }
    void bringForward() override { calls.push_back("bringForward"); }
    void quit() override { calls.push_back("quit"); }
};

}  // namespace corvane::test
