#pragma once

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "app/platform/system_feedback.hpp"
#include "ports/fake/fake_call_log.hpp"

namespace corvane::fake {

// Beeps counted, log lines kept (with the "corvane: " prefix the real ports
// write). Logged as "beep" and "log <message>". Thread-safe.
class FakeFeedback final : public SystemFeedback {
public:
    explicit FakeFeedback(FakeCallLog& log);

    void beep() override;
    void log(std::string_view message) override;

    int beeps() const;
    // Full lines, "corvane: ..." each.
    std::vector<std::string> lines() const;

private:
    FakeCallLog& callLog_;
    mutable std::mutex mutex_;
    int beeps_ = 0;
    std::vector<std::string> lines_;
};

}  // namespace corvane::fake
