#include "ports/gnome/input_sources.hpp"

#include <cstdio>
#include <memory>
#include <regex>

namespace corvane::gnome {

std::optional<x11::XkbLayout> firstXkbSource(const std::string& text) {
    static const std::regex source(R"(\(\s*'xkb'\s*,\s*'([^']*)'\s*\))");
    std::smatch match;
    if (!std::regex_search(text, match, source)) return std::nullopt;
    const std::string name = match[1].str();
    if (name.empty()) return std::nullopt;
    const auto plus = name.find('+');
    if (plus == std::string::npos) return x11::XkbLayout{name, {}};
    return x11::XkbLayout{name.substr(0, plus), name.substr(plus + 1)};
}

// Read before the toolkit starts (the port is chosen first), so through a
// plain pipe; the command line is fixed.
std::optional<x11::XkbLayout> userInputSource() {
    const std::unique_ptr<FILE, decltype(&pclose)> pipe(
        popen("gsettings get org.gnome.desktop.input-sources sources 2>/dev/null", "r"), &pclose);
    if (!pipe) return std::nullopt;
    std::string text;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe.get())) text += buffer;
    return firstXkbSource(text);
}

}  // namespace corvane::gnome
