#include "ports/fake/fake_defaults.hpp"

namespace corvane::fake {

FakeDefaults::FakeDefaults(FakeCallLog& log) : log_(log) {}

std::optional<bool> FakeDefaults::boolValue(std::string_view key) {
    log_.record("boolValue " + std::string(key));
    std::lock_guard lock(mutex_);
    const auto it = values_.find(key);
    if (it == values_.end()) return std::nullopt;
    if (const auto* flag = std::get_if<bool>(&it->second)) return *flag;
    return std::nullopt;
}

std::optional<std::string> FakeDefaults::bytesValue(std::string_view key) {
    log_.record("bytesValue " + std::string(key));
    std::lock_guard lock(mutex_);
    const auto it = values_.find(key);
    if (it == values_.end()) return std::nullopt;
    if (const auto* bytes = std::get_if<std::string>(&it->second)) return *bytes;
    // A boolean read as bytes: what a property-list store gives back for it.
    return std::string(std::get<bool>(it->second) ? "1" : "0");
}

bool FakeDefaults::setBool(std::string_view key, bool value) {
    log_.record("setBool " + std::string(key) + (value ? " true" : " false"));
    std::lock_guard lock(mutex_);
    if (writesFail_) return false;
    values_.insert_or_assign(std::string(key), value);
    return true;
}

bool FakeDefaults::setBytes(std::string_view key, std::string_view bytes) {
    log_.record("setBytes " + std::string(key));
    std::lock_guard lock(mutex_);
    if (writesFail_) return false;
    values_.insert_or_assign(std::string(key), std::string(bytes));
    return true;
}

std::optional<std::string> FakeDefaults::keepAside(std::string_view key) {
    log_.record("keepAside " + std::string(key));
    std::lock_guard lock(mutex_);
    const auto it = values_.find(key);
    if (it == values_.end() || keepAsideFails_) return std::nullopt;
    std::string where = std::string(key) + ".kept-" + std::to_string(++keptCopies_);
    const Value copy = it->second;
    values_.insert_or_assign(where, copy);
    return where;
}

void FakeDefaults::store(std::string_view key, Value value) {
    std::lock_guard lock(mutex_);
    values_.insert_or_assign(std::string(key), std::move(value));
}

void FakeDefaults::remove(std::string_view key) {
    std::lock_guard lock(mutex_);
    if (const auto it = values_.find(key); it != values_.end()) values_.erase(it);
}

std::optional<FakeDefaults::Value> FakeDefaults::value(std::string_view key) const {
    std::lock_guard lock(mutex_);
    const auto it = values_.find(key);
    if (it == values_.end()) return std::nullopt;
    return it->second;
}

std::vector<std::string> FakeDefaults::keys() const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> result;
    for (const auto& [key, value] : values_) result.push_back(key);
    return result;
}

void FakeDefaults::setWritesFail(bool fail) {
    std::lock_guard lock(mutex_);
    writesFail_ = fail;
}

void FakeDefaults::setKeepAsideFails(bool fail) {
    std::lock_guard lock(mutex_);
    keepAsideFails_ = fail;
}

}  // namespace corvane::fake
