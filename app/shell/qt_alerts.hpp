#pragma once

#include "app/platform/alerts.hpp"

class QMessageBox;

namespace corvane {

// Warnings as non-modal message boxes: the caller goes on at once, and
// `closed` runs when the user dismisses the box. Main thread only.
class QtAlerts final : public Alerts {
public:
    QtAlerts() = default;
    void showWarning(const std::string& message, const std::string& informative,
                     std::function<void()> closed) override;

    // A plain notice with the application's title; nothing waits for it.
    // The box deletes itself when closed.
    static QMessageBox* showNotice(const std::string& message, const std::string& informative);
};

}  // namespace corvane
