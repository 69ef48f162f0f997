#include "app/placement/permissions.hpp"

#include <string_view>

namespace corvane::Permissions {

namespace {

// The system settings' own link to the Accessibility section of its privacy
// page. Ports of platforms without such a page fail to open it, which is
// ignored.
constexpr std::string_view accessibilitySettingsURL =
    "x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility";

}  // namespace

void openSettings(Workspace& workspace) {
    workspace.openURL(accessibilitySettingsURL);
}

void requestAccess(Accessibility& accessibility, Workspace& workspace) {
    accessibility.requestTrust();
    openSettings(workspace);
}

}  // namespace corvane::Permissions
