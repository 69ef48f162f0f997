#include "app/shell/status_backend.hpp"

#include <gtest/gtest.h>

#include "app/shell/instance_protocol.hpp"

namespace corvane {
namespace {

TEST(StatusBackend, AddsTheBackendAsLastFieldAndNeverBreaksTheDocument) {
    EXPECT_EQ(withBackend(statusDocument(true, {}, false), "sway"),
              "{\"enabled\":true,\"unavailable\":[],\"tourOpen\":false,\"backend\":\"sway\"}");
    EXPECT_EQ(withBackend("{}", "x11"), "{\"backend\":\"x11\"}");
    // Quotes or braces in a name would end the string early.
    EXPECT_EQ(withBackend("{}", "i3\"},\"x"), "{\"backend\":\"i3x\"}");
    EXPECT_EQ(withBackend("not json", "i3"), "not json");
}

}  // namespace
}  // namespace corvane
