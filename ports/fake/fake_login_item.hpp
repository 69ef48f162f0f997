#pragma once

#include <mutex>
#include <optional>
#include <string>

#include "app/platform/login_item.hpp"
#include "ports/fake/fake_call_log.hpp"

namespace corvane::fake {

// The login item, scripted. Logged as "loginItemIsEnabled", "registerItem",
// "unregisterItem". Thread-safe.
class FakeLoginItem final : public LoginItem {
public:
    explicit FakeLoginItem(FakeCallLog& log);

    bool isEnabled() override;
    std::optional<std::string> registerItem() override;
    std::optional<std::string> unregisterItem() override;

    // --- Scripting (not logged) ---
    void setEnabled(bool enabled);
    // Register and unregister fail with this description (and change nothing)
    // until cleared with nullopt.
    void setFailure(std::optional<std::string> error);

private:
    FakeCallLog& log_;
    mutable std::mutex mutex_;
    bool enabled_ = false;
    std::optional<std::string> failure_;
};

}  // namespace corvane::fake
