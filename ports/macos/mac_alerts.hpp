#pragma once

#include "app/platform/alerts.hpp"

namespace corvane::macos {

// Warnings as AppKit alerts, brought in front of other applications' windows
// (an accessory application is rarely the active one).
class MacAlerts final : public Alerts {
public:
    MacAlerts() = default;
    // Returns at once; the alert runs from the main queue.
    void showWarning(const std::string& message, const std::string& informative,
                     std::function<void()> closed) override;
};

}  // namespace corvane::macos
