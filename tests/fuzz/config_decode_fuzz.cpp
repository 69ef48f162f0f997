// libFuzzer target for the stored-form reader. Whatever the bytes, decoding
// must not crash, must keep the gap within bounds, and what it returns must
// survive a write and a second read unchanged.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "core/config.hpp"

namespace {

void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "corvane fuzz: %s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using corvane::Config;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const Config config = Config::decode(bytes);
    require(config.gap >= 0 && config.gap <= Config::maxGap, "gap out of range");

    const auto readable = Config::decodeIfReadable(bytes);
    require(readable.value_or(Config::defaults()) == config, "decode and decodeIfReadable disagree");

    const std::string written = config.encoded();
    require(!written.empty(), "a decoded configuration could not be written");
    const auto reread = Config::decodeIfReadable(written);
    require(reread.has_value(), "written form is unreadable");
    require(*reread == config, "round trip changed the configuration");
    // Equality ignores labels; read labels are valid UTF-8 and must come back as they were.
    for (const auto& [placement, shortcut] : config.shortcuts) {
        require(reread->shortcuts.at(placement).key == shortcut.key, "round trip changed a label");
    }
    for (const auto& [action, shortcut] : config.spaceShortcuts) {
        require(reread->spaceShortcuts.at(action).key == shortcut.key, "round trip changed a label");
    }
    return 0;
}
