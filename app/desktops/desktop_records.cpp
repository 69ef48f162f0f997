#include "app/desktops/desktop_records.hpp"

#include <algorithm>

namespace corvane::desktops {

std::vector<Desktop> Display::desktops() const {
    std::vector<Desktop> result;
    std::copy_if(spaces.begin(), spaces.end(), std::back_inserter(result),
                 [](const Desktop& d) { return d.type == 0; });
    return result;
}

bool sameDisplayIgnoringCase(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

}  // namespace corvane::desktops
