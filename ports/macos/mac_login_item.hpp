#pragma once

#include "app/platform/login_item.hpp"

namespace corvane::macos {

// The application bundle itself as a login item (the main-app service of
// ServiceManagement). The user may also switch it in System Settings; the
// status is read afresh at every call.
class MacLoginItem final : public LoginItem {
public:
    MacLoginItem() = default;
    bool isEnabled() override;
    std::optional<std::string> registerItem() override;
    std::optional<std::string> unregisterItem() override;
};

}  // namespace corvane::macos
