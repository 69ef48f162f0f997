#pragma once

#include "app/platform/system_feedback.hpp"

namespace corvane::i3ipc {

// The log is standard error; there is no bell to ring through the IPC.
class I3Feedback final : public SystemFeedback {
public:
    void beep() override {}
    void log(std::string_view message) override;
};

}  // namespace corvane::i3ipc
