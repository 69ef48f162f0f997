#pragma once

#include <QMenu>
#include <functional>
#include <vector>

#include "app/shell/menu_model.hpp"

namespace corvane {

// Renders the menu model into a Qt menu: empties `menu` (and drops the
// submenus of an earlier filling), then adds one action per item, with its
// symbol drawn in the menu's text colour, the shortcut text right-aligned,
// the standard key equivalents and the enabled flags. Choosing an item calls
// `run` with its command.
void fillMenu(QMenu& menu, const std::vector<MenuItem>& items,
              const std::function<void(const MenuCommand&)>& run);

}  // namespace corvane
