#pragma once

#include "app/shell/app_control.hpp"
#include "app/shell/menu_model.hpp"

namespace corvane {

// Runs the command of a chosen menu item. Placement and desktop commands do
// nothing while the application is switched off, whatever the item's enabled
// flag said when the menu was built (the switch may have changed since).
void runMenuCommand(const MenuCommand& command, AppControl& control);

}  // namespace corvane
