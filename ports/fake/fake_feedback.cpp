#include "ports/fake/fake_feedback.hpp"

namespace corvane::fake {

FakeFeedback::FakeFeedback(FakeCallLog& log) : callLog_(log) {}

void FakeFeedback::beep() {
    callLog_.record("beep");
    std::lock_guard lock(mutex_);
    ++beeps_;
}

void FakeFeedback::log(std::string_view message) {
    callLog_.record("log " + std::string(message));
    std::lock_guard lock(mutex_);
    lines_.push_back("corvane: " + std::string(message));
}

int FakeFeedback::beeps() const {
    std::lock_guard lock(mutex_);
    return beeps_;
}

std::vector<std::string> FakeFeedback::lines() const {
    std::lock_guard lock(mutex_);
    return lines_;
}

}  // namespace corvane::fake
