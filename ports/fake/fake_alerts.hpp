#pragma once

#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "app/platform/alerts.hpp"
#include "ports/fake/fake_call_log.hpp"

namespace corvane::fake {

// Warnings that stay up until the test dismisses them (playing the user, on
// the main thread). Logged as "showWarning <message>". Thread-safe.
class FakeAlerts final : public Alerts {
public:
    struct Warning {
        std::string message;
        std::string informative;
    };

    explicit FakeAlerts(FakeCallLog& log);

    void showWarning(const std::string& message, const std::string& informative,
                     std::function<void()> closed) override;

    // Every warning ever shown, in order.
    std::vector<Warning> shown() const;
    // How many are still up.
    std::size_t open() const;
    // Dismisses the oldest open warning and runs its `closed`; false if none is up.
    bool dismissOldest();
    // Dismisses every open warning, oldest first (also those put up meanwhile).
    void dismissAll();

private:
    FakeCallLog& log_;
    mutable std::mutex mutex_;
    std::vector<Warning> shown_;
    std::vector<std::function<void()>> pending_;
};

}  // namespace corvane::fake
