#pragma once

#include "app/platform/alerts.hpp"

namespace corvane {

// Warnings as non-modal message boxes: the caller goes on at once, and
// `closed` runs when the user dismisses the box. Main thread only.
class QtAlerts final : public Alerts {
public:
    QtAlerts() = default;
    void showWarning(const std::string& message, const std::string& informative,
                     std::function<void()> closed) override;
};

}  // namespace corvane
