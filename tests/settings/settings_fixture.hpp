#pragma once

#include <memory>

#include "app/desktops/native_spaces.hpp"
#include "app/placement/window_mover.hpp"
#include "app/state/config_store.hpp"
#include "ports/fake/fake_desktop.hpp"

namespace corvane::testing {

// A store over the in-memory desktop, as the settings window sees it.
struct SettingsWorld {
    fake::FakeDesktop desktop;
    WindowMover mover{desktop.platform()};
    NativeSpaces spaces{desktop.platform()};
    std::shared_ptr<ConfigStore> store = ConfigStore::create(desktop.platform(), mover, spaces);

    std::size_t registered() { return desktop.hotKeys().registrations().size(); }
};

}  // namespace corvane::testing
