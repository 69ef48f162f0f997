#include "ports/i3ipc/config_bindings.hpp"

#include <algorithm>
#include <cctype>
#include <map>
#include <sstream>
#include <vector>

namespace corvane::i3ipc {

namespace {

std::string lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

std::vector<std::string> words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> out;
    for (std::string w; in >> w;) out.push_back(w);
    return out;
}

std::string substitute(std::string text, const std::map<std::string, std::string>& variables) {
    // Longest names first, so $mod does not eat the start of $mod_alt.
    std::vector<std::pair<std::string, std::string>> ordered(variables.begin(), variables.end());
    std::sort(ordered.begin(), ordered.end(),
              [](const auto& a, const auto& b) { return a.first.size() > b.first.size(); });
    for (const auto& [name, value] : ordered) {
        for (std::size_t at = text.find(name); at != std::string::npos;
             at = text.find(name, at + value.size()))
            text.replace(at, name.size(), value);
    }
    return text;
}

}  // namespace

std::string canonicalCombo(std::string_view combo) {
    static const std::vector<std::pair<std::string, std::vector<std::string>>> kModifiers = {
        {"Mod4", {"mod4", "super", "logo"}},
        {"Mod1", {"mod1", "alt"}},
        {"Ctrl", {"ctrl", "control"}},
        {"Shift", {"shift"}},
        {"Mod2", {"mod2"}},
        {"Mod3", {"mod3"}},
        {"Mod5", {"mod5"}},
        {"Lock", {"lock", "caps"}}};
    std::vector<std::string> parts;
    std::string part;
    for (const char c : combo) {
        if (c == '+' && !part.empty()) {
            parts.push_back(part);
            part.clear();
        } else {
            part.push_back(c);
        }
    }
    parts.push_back(part);
    const std::string key = lower(parts.back());
    parts.pop_back();
    std::string out;
    for (const auto& [name, spellings] : kModifiers) {
        const bool held =
            std::any_of(parts.begin(), parts.end(), [&, &spellings = spellings](const std::string& p) {
                return std::find(spellings.begin(), spellings.end(), lower(p)) != spellings.end();
            });
        if (held) out += name + "+";
    }
    return out + key;
}

std::set<std::string> configuredCombos(std::string_view configText) {
    std::set<std::string> combos;
    std::map<std::string, std::string> variables;
    std::istringstream in{std::string(configText)};
    int depth = 0;
    for (std::string line; std::getline(in, line);) {
        const auto w = words(line);
        if (w.empty() || w[0][0] == '#') continue;
        const int opens = static_cast<int>(std::count(line.begin(), line.end(), '{'));
        const int closes = static_cast<int>(std::count(line.begin(), line.end(), '}'));
        if (depth == 0 && w[0] == "set" && w.size() >= 3 && w[1][0] == '$') {
            variables[w[1]] = w[2];
        } else if (depth == 0 && w[0] == "bindsym") {
            // The first word that is not a flag is the combination.
            for (std::size_t i = 1; i < w.size(); ++i) {
                if (w[i].rfind("--", 0) == 0) continue;
                if (w[i] != "{") combos.insert(canonicalCombo(substitute(w[i], variables)));
                break;
            }
        }
        depth = std::max(0, depth + opens - closes);
    }
    return combos;
}

}  // namespace corvane::i3ipc
