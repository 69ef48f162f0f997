#pragma once

#include "app/platform/defaults.hpp"

namespace corvane::macos {

// The user defaults of the application's domain. Booleans are property-list
// booleans; bytes are data values. Each write replaces the key's value as a
// whole (the defaults system never shows a half-written value).
class MacDefaults final : public Defaults {
public:
    MacDefaults() = default;

    std::optional<bool> boolValue(std::string_view key) override;
    // Data, or a string (as `defaults write … -string` leaves it) as its UTF-8 bytes.
    std::optional<std::string> bytesValue(std::string_view key) override;
    // The defaults system reports no failure of a write: these return true.
    bool setBool(std::string_view key, bool value) override;
    bool setBytes(std::string_view key, std::string_view bytes) override;
    // Copies the value to "<key>.unreadable-<YYYYmmddTHHMMSSZ>[-N]" in the same
    // domain and returns that key's name.
    std::optional<std::string> keepAside(std::string_view key) override;
};

}  // namespace corvane::macos
