// Types key combinations into KWin through its fake-input protocol, the way
// a physical keyboard reaches the compositor's shortcut handling.
//
//   corvane-kwin-keys KEY[+KEY...] [...]   e.g. leftctrl+leftalt+leftmeta+left
//
// Keys are evdev names without the KEY_ prefix (or numbers); each argument
// presses its keys in order and releases them in reverse.
#include <linux/input-event-codes.h>
#include <wayland-client.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "fake-input-client-protocol.h"

namespace {

struct Globals {
    org_kde_kwin_fake_input* fakeInput = nullptr;
};

void global(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
            std::uint32_t version) {
    auto* g = static_cast<Globals*>(data);
    if (std::strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0)
        g->fakeInput = static_cast<org_kde_kwin_fake_input*>(
            wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, std::min(version, 4u)));
}

void globalRemove(void*, wl_registry*, std::uint32_t) {}

const wl_registry_listener registryListener{global, globalRemove};

std::optional<std::uint32_t> evdevCode(const std::string& name) {
    static const std::map<std::string, std::uint32_t> codes{
        {"leftctrl", KEY_LEFTCTRL},
        {"rightctrl", KEY_RIGHTCTRL},
        {"leftalt", KEY_LEFTALT},
        {"rightalt", KEY_RIGHTALT},
        {"leftmeta", KEY_LEFTMETA},
        {"rightmeta", KEY_RIGHTMETA},
        {"leftshift", KEY_LEFTSHIFT},
        {"rightshift", KEY_RIGHTSHIFT},
        {"left", KEY_LEFT},
        {"right", KEY_RIGHT},
        {"up", KEY_UP},
        {"down", KEY_DOWN},
        {"enter", KEY_ENTER},
        {"esc", KEY_ESC},
        {"tab", KEY_TAB},
        {"space", KEY_SPACE},
        {"m", KEY_M},
        {"1", KEY_1},
        {"2", KEY_2},
        {"3", KEY_3},
        {"4", KEY_4},
        {"5", KEY_5},
        {"6", KEY_6},
        {"7", KEY_7},
        {"8", KEY_8},
        {"9", KEY_9},
        {"f1", KEY_F1},
        {"d", KEY_D},
        {"pageup", KEY_PAGEUP},
        {"pagedown", KEY_PAGEDOWN},
    };
    if (const auto it = codes.find(name); it != codes.end()) return it->second;
    char* end = nullptr;
    const unsigned long number = std::strtoul(name.c_str(), &end, 10);
    if (!name.empty() && end && *end == '\0') return static_cast<std::uint32_t>(number);
    return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s KEY[+KEY...] [...]\n", argv[0]);
        return 2;
    }
    std::vector<std::vector<std::uint32_t>> combos;
    for (int i = 1; i < argc; ++i) {
        std::vector<std::uint32_t> keys;
        std::stringstream in(argv[i]);
        for (std::string part; std::getline(in, part, '+');) {
            const auto code = evdevCode(part);
            if (!code) {
                std::fprintf(stderr, "unknown key: %s\n", part.c_str());
                return 2;
            }
            keys.push_back(*code);
        }
        combos.push_back(keys);
    }
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        std::fprintf(stderr, "cannot connect to the Wayland display\n");
        return 1;
    }
    Globals globals;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registryListener, &globals);
    wl_display_roundtrip(display);
    if (!globals.fakeInput) {
        std::fprintf(stderr, "the compositor offers no org_kde_kwin_fake_input\n");
        wl_display_disconnect(display);
        return 1;
    }
    org_kde_kwin_fake_input_authenticate(globals.fakeInput, "corvane tests", "types test shortcuts");
    for (const auto& keys : combos) {
        for (const auto key : keys) org_kde_kwin_fake_input_keyboard_key(globals.fakeInput, key, 1);
        for (auto it = keys.rbegin(); it != keys.rend(); ++it)
            org_kde_kwin_fake_input_keyboard_key(globals.fakeInput, *it, 0);
    }
    // The round trip returns once KWin has handled every key above.
    const int status = wl_display_roundtrip(display) < 0 ? 1 : 0;
    org_kde_kwin_fake_input_destroy(globals.fakeInput);
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return status;
}
