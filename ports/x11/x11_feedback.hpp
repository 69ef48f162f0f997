#pragma once

#include "app/platform/system_feedback.hpp"
#include "ports/x11/connection.hpp"

namespace corvane::x11 {

// The beep is the X bell; the log is standard error. Any thread.
class X11Feedback final : public SystemFeedback {
public:
    explicit X11Feedback(Connection& connection);

    void beep() override;
    // One write per line, so lines from two threads never interleave.
    void log(std::string_view message) override;

private:
    Connection& connection_;
};

}  // namespace corvane::x11
