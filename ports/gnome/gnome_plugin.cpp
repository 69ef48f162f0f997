#include "ports/gnome/gnome_plugin.hpp"

namespace corvane::gnome {

compositor::CompositorPort::Plugin extensionPlugin() {
    WindowServer::Names names{"GNOME Shell", "this GNOME Shell", "the Activities overview",
                              "Workspaces unavailable: Corvane's GNOME Shell extension is not running"};
    return {"gnome", compositor::AcceleratorSyntax::gtk, std::move(names),
            "Corvane's extension (log out and back in once)"};
}

}  // namespace corvane::gnome
