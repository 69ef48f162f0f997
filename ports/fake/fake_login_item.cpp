#include "ports/fake/fake_login_item.hpp"

namespace corvane::fake {

FakeLoginItem::FakeLoginItem(FakeCallLog& log) : log_(log) {}

bool FakeLoginItem::isEnabled() {
    log_.record("loginItemIsEnabled");
    std::lock_guard lock(mutex_);
    return enabled_;
}

std::optional<std::string> FakeLoginItem::registerItem() {
    log_.record("registerItem");
    std::lock_guard lock(mutex_);
    if (failure_) return failure_;
    enabled_ = true;
    return std::nullopt;
}

std::optional<std::string> FakeLoginItem::unregisterItem() {
    log_.record("unregisterItem");
    std::lock_guard lock(mutex_);
    if (failure_) return failure_;
    enabled_ = false;
    return std::nullopt;
}

void FakeLoginItem::setEnabled(bool enabled) {
    std::lock_guard lock(mutex_);
    enabled_ = enabled;
}

void FakeLoginItem::setFailure(std::optional<std::string> error) {
    std::lock_guard lock(mutex_);
    failure_ = std::move(error);
}

}  // namespace corvane::fake
