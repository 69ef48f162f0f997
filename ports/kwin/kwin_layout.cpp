#include "ports/kwin/kwin_layout.hpp"

#include <xkbcommon/xkbcommon.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace corvane::kwin {

namespace {

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

struct ContextFree {
    void operator()(xkb_context* context) const { xkb_context_unref(context); }
};

}  // namespace

LayoutNames parseKxkbrc(std::string_view text) {
    LayoutNames names;
    bool inLayout = false;
    bool use = false;
    std::istringstream in{std::string(text)};
    for (std::string raw; std::getline(in, raw);) {
        const auto line = trimmed(raw);
        if (line.empty() || line.front() == '#') continue;
        if (line.front() == '[') {
            inLayout = line == "[Layout]";
            continue;
        }
        if (!inLayout) continue;
        const auto equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        const auto key = trimmed(line.substr(0, equals));
        const std::string value(trimmed(line.substr(equals + 1)));
        if (key == "Use")
            use = value == "true";
        else if (key == "LayoutList")
            names.layout = value;
        else if (key == "VariantList")
            names.variant = value;
        else if (key == "Model")
            names.model = value;
        else if (key == "Options")
            names.options = value;
    }
    // Without "Use=true" KWin ignores the lists and keeps the system's layout.
    if (!use) return {};
    return names;
}

LayoutNames sessionLayout() {
    std::filesystem::path config;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/')
        config = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        config = std::filesystem::path(home) / ".config";
    else
        return {};
    std::ifstream in(config / "kxkbrc");
    if (!in) return {};
    std::stringstream text;
    text << in.rdbuf();
    return parseKxkbrc(text.str());
}

LayoutNames firstLayout(const LayoutNames& names) {
    const auto first = [](const std::string& list) { return list.substr(0, list.find(',')); };
    return LayoutNames{names.model, first(names.layout), first(names.variant), names.options};
}

void KeymapFree::operator()(xkb_keymap* keymap) const {
    xkb_keymap_unref(keymap);
}

Keymap compileKeymap(const LayoutNames& names) {
    const std::unique_ptr<xkb_context, ContextFree> context(xkb_context_new(XKB_CONTEXT_NO_FLAGS));
    if (!context) return nullptr;
    const auto orNull = [](const std::string& value) { return value.empty() ? nullptr : value.c_str(); };
    const xkb_rule_names rules{nullptr, orNull(names.model), orNull(names.layout), orNull(names.variant),
                               orNull(names.options)};
    return Keymap(xkb_keymap_new_from_names(context.get(), &rules, XKB_KEYMAP_COMPILE_NO_FLAGS));
}

}  // namespace corvane::kwin
