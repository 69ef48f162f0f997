#pragma once

#include "app/platform/platform.hpp"

// The permission to control other applications' windows.
namespace corvane::Permissions {

// Opens the system settings at the page where access is granted; does nothing
// if the platform has no such page.
void openSettings(Workspace& workspace);

// What the menu's "Grant Accessibility Access…" and the settings button do:
// raise the system's request (even when already trusted), then open the page.
void requestAccess(Accessibility& accessibility, Workspace& workspace);

}  // namespace corvane::Permissions
