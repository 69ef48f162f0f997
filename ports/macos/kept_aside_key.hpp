#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

namespace corvane::macos {

// The defaults key under which a copy of `key`'s value is kept aside before
// it is replaced: "<key>.unreadable-<YYYYmmddTHHMMSSZ>" (UTC), with "-2",
// "-3", ... added while `taken` says a name is in use, so that an earlier
// copy is never overwritten. The same names the settings files use on Linux.
std::string keptAsideKey(std::string_view key, std::chrono::system_clock::time_point now,
                         const std::function<bool(const std::string&)>& taken);

}  // namespace corvane::macos
