#include "ports/macos/kept_aside_key.hpp"

#include <ctime>

namespace corvane::macos {

std::string keptAsideKey(std::string_view key, std::chrono::system_clock::time_point now,
                         const std::function<bool(const std::string&)>& taken) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm utc{};
    ::gmtime_r(&seconds, &utc);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%dT%H%M%SZ", &utc);
    const std::string base = std::string(key) + ".unreadable-" + stamp;
    std::string name = base;
    for (int n = 2; taken(name); ++n) name = base + "-" + std::to_string(n);
    return name;
}

}  // namespace corvane::macos
