#include "bench/openbox_session.hpp"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace corvane::bench {

namespace {

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

OpenboxSession::OpenboxSession(xharness::XServer& server, const std::filesystem::path& configFile)
    : server_(server), log_(configFile.parent_path() / (configFile.stem().string() + ".log")) {
    xharness::XConnection& x = server_.x();
    const std::optional<xcb_window_t> before = x.windowManagerCheck();
    xharness::SpawnOptions spawn;
    spawn.argv = {"openbox", "--config-file", configFile.string()};
    spawn.environment = server_.clientEnvironment();
    spawn.unsetEnvironment = xharness::XServer::hostEnvironmentToDrop();
    spawn.stderrFile = log_;
    process_ = std::make_unique<xharness::ChildProcess>(spawn);
    xharness::ChildProcess& manager = *process_;
    const bool announced = x.waitFor(
        [&] {
            std::optional<xcb_window_t> check = x.windowManagerCheck();
            return !manager.isRunning() || (check && check != before);
        },
        xharness::XServer::startTimeout);
    if (!announced || !manager.isRunning()) {
        throw std::runtime_error("openbox did not start with " + configFile.string() + "\n" + readFile(log_));
    }
}

OpenboxSession::~OpenboxSession() {
    process_->terminate();
    xharness::XConnection& x = server_.x();
    x.waitFor([&] { return !x.windowManagerCheck(); }, xharness::XServer::startTimeout);
}

}  // namespace corvane::bench
