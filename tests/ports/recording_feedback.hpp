#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/platform/system_feedback.hpp"

namespace corvane::testing {

// Keeps what would have been beeped and logged, for assertions.
class RecordingFeedback final : public SystemFeedback {
public:
    void beep() override { ++beeps; }
    void log(std::string_view message) override { lines.emplace_back(message); }

    int beeps = 0;
    std::vector<std::string> lines;
};

}  // namespace corvane::testing
