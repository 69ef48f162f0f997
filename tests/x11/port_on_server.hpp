#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "ports/x11/x11_port.hpp"
#include "tools/xharness/x_server.hpp"

namespace corvane::x11 {

// The port connected to a private X server with openbox; each fixture says
// which server it needs. After every test the port must still be connected
// and the server and its window manager still running.
class PortOnServer : public ::testing::Test {
protected:
    void start(const xharness::XServerOptions& options) {
        server_ = std::make_unique<xharness::XServer>(options);
        port_ = X11Port::connect(server_->display().c_str());
        ASSERT_TRUE(port_);
    }

    void TearDown() override {
        if (port_) {
            EXPECT_TRUE(port_->dispatchPending());
        }
        if (server_) {
            EXPECT_TRUE(server_->running() && server_->windowManagerRunning());
        }
        port_.reset();
        server_.reset();
    }

    xharness::XConnection& x() { return server_->x(); }

    std::unique_ptr<xharness::XServer> server_;
    std::unique_ptr<X11Port> port_;
};

}  // namespace corvane::x11
