#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace corvane {

// The user's persistent key-value settings. Main thread only.
class Defaults {
public:
    virtual ~Defaults() = default;

    // Absent when the key is missing or does not hold a boolean.
    virtual std::optional<bool> boolValue(std::string_view key) = 0;
    // Absent when the key is missing; otherwise the exact stored bytes.
    virtual std::optional<std::string> bytesValue(std::string_view key) = 0;

    // Writes replace the value atomically: after a crash at any instant the
    // key holds either the old or the new value. A failed write keeps the old
    // value and logs one diagnostic line; it returns false.
    virtual bool setBool(std::string_view key, bool value) = 0;
    virtual bool setBytes(std::string_view key, std::string_view bytes) = 0;

    // Keeps a copy of the key's current value beside it under a new name that
    // is never overwritten, before a write would replace bytes this version
    // cannot read. Returns where the copy went (for the log line), or absent
    // when there was nothing to keep or the copy failed.
    virtual std::optional<std::string> keepAside(std::string_view key) = 0;

protected:
    Defaults() = default;
    Defaults(const Defaults&) = delete;
    Defaults& operator=(const Defaults&) = delete;
};

}  // namespace corvane
