#include "ports/kwin/kwin_plugin.hpp"

namespace corvane::kwin {

compositor::CompositorPort::Plugin scriptPlugin() {
    WindowServer::Names names{"KWin", "this KWin", "System Settings, Virtual Desktops",
                              "Virtual desktops unavailable: Corvane's KWin script is not running"};
    return {"kwin", compositor::AcceleratorSyntax::qt, std::move(names), "Corvane's KWin script"};
}

}  // namespace corvane::kwin
