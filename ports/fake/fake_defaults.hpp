#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "app/platform/defaults.hpp"
#include "ports/fake/fake_call_log.hpp"

namespace corvane::fake {

// User defaults in memory. One FakeDefaults outliving two stores is a restart.
// Logged as "boolValue <key>", "bytesValue <key>", "setBool <key> <value>",
// "setBytes <key>" and "keepAside <key>". Thread-safe.
class FakeDefaults final : public Defaults {
public:
    using Value = std::variant<bool, std::string>;

    explicit FakeDefaults(FakeCallLog& log);

    std::optional<bool> boolValue(std::string_view key) override;
    std::optional<std::string> bytesValue(std::string_view key) override;
    bool setBool(std::string_view key, bool value) override;
    bool setBytes(std::string_view key, std::string_view bytes) override;
    // Copies the value to "<key>.kept-<n>" (n = 1, 2, ... never reused) and
    // returns that name.
    std::optional<std::string> keepAside(std::string_view key) override;

    // --- Scripting (not logged) ---
    void store(std::string_view key, Value value);
    void remove(std::string_view key);
    std::optional<Value> value(std::string_view key) const;
    std::vector<std::string> keys() const;
    // Writes fail (keeping the old value) while set.
    void setWritesFail(bool fail);
    void setKeepAsideFails(bool fail);

private:
    FakeCallLog& log_;
    mutable std::mutex mutex_;
    std::map<std::string, Value, std::less<>> values_;
    int keptCopies_ = 0;
    bool writesFail_ = false;
    bool keepAsideFails_ = false;
};

}  // namespace corvane::fake
