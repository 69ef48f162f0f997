#pragma once

#include "app/platform/system_feedback.hpp"

namespace corvane::macos {

// The system beep and the system log (each line starts "corvane: ").
class MacFeedback final : public SystemFeedback {
public:
    MacFeedback() = default;
    void beep() override;
    void log(std::string_view message) override;
};

}  // namespace corvane::macos
