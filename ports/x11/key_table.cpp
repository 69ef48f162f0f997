#include "ports/x11/key_table.hpp"

#include <algorithm>
#include <limits>
#include <string>
#include <tuple>

#include <xkbcommon/xkbcommon.h>

#include "ports/x11/key_mapping.hpp"

namespace corvane::x11 {

namespace {

// How well a key fits a product key; lower is better. A key at the product
// key's own US position wins over any other key typing the same character,
// so that AZERTY's apostrophe (unshifted on the key labelled 4) does not take
// that key from 4 (shifted there). After that the first group wins, then the
// lowest shift level.
struct Rank {
    bool elsewhere = true;
    xkb_layout_index_t group = 0;
    xkb_level_index_t level = 0;
    friend auto operator<=>(const Rank&, const Rank&) = default;
};

struct Candidate {
    std::uint32_t productKey = 0;
    xcb_keycode_t keycode = 0;
    Rank rank;
};

constexpr xkb_keycode_t kMaxGrabbable = std::numeric_limits<xcb_keycode_t>::max();

std::optional<xcb_keycode_t> usPosition(xkb_keymap* keymap, std::uint32_t productKey) {
    const auto name = KeyMapping::usKeyName(productKey);
    if (!name) return std::nullopt;
    const xkb_keycode_t code = xkb_keymap_key_by_name(keymap, std::string(*name).c_str());
    if (code == XKB_KEYCODE_INVALID || code > kMaxGrabbable) return std::nullopt;
    return static_cast<xcb_keycode_t>(code);
}

// Every place a product key's character is typed: each key, group and level
// whose one keysym is the product key's.
std::vector<Candidate> candidates(xkb_keymap* keymap) {
    std::map<KeyMapping::Keysym, std::uint32_t> byKeysym;
    std::map<std::uint32_t, std::optional<xcb_keycode_t>> positions;
    for (const std::uint32_t productKey : KeyMapping::allKeyCodes()) {
        if (const auto keysym = KeyMapping::keysym(productKey)) byKeysym.emplace(*keysym, productKey);
        positions[productKey] = usPosition(keymap, productKey);
    }
    std::vector<Candidate> found;
    const xkb_keycode_t last = std::min(xkb_keymap_max_keycode(keymap), kMaxGrabbable);
    for (xkb_keycode_t key = xkb_keymap_min_keycode(keymap); key <= last; ++key) {
        const auto keycode = static_cast<xcb_keycode_t>(key);
        const xkb_layout_index_t groups = xkb_keymap_num_layouts_for_key(keymap, key);
        for (xkb_layout_index_t group = 0; group < groups; ++group) {
            const xkb_level_index_t levels = xkb_keymap_num_levels_for_key(keymap, key, group);
            for (xkb_level_index_t level = 0; level < levels; ++level) {
                const xkb_keysym_t* syms = nullptr;
                if (xkb_keymap_key_get_syms_by_level(keymap, key, group, level, &syms) != 1) continue;
                const auto product = byKeysym.find(syms[0]);
                if (product == byKeysym.end()) continue;
                const bool atPosition = positions[product->second] == keycode;
                found.push_back({product->second, keycode, Rank{!atPosition, group, level}});
            }
        }
    }
    return found;
}

}  // namespace

KeyTable::KeyTable(xkb_keymap* keymap) {
    if (!keymap) return;
    const auto found = candidates(keymap);

    // Each key goes to the product key it fits best.
    std::map<xcb_keycode_t, const Candidate*> owner;
    for (const auto& c : found) {
        auto [it, inserted] = owner.emplace(c.keycode, &c);
        if (!inserted && c.rank < it->second->rank) it->second = &c;
    }
    // Each product key keeps the keys it owns at its best rank (two keys
    // may type the same character on the same level).
    std::map<std::uint32_t, Rank> best;
    for (const auto& [keycode, c] : owner) {
        auto [it, inserted] = best.emplace(c->productKey, c->rank);
        if (!inserted && c->rank < it->second) it->second = c->rank;
    }
    for (const auto& [keycode, c] : owner) {
        if (c->rank != best.at(c->productKey)) continue;
        keys_[c->productKey].push_back(keycode);
        products_[keycode] = c->productKey;
    }
    // A product key no key types falls back to its US position, unless that
    // key already stands for another product key.
    for (const std::uint32_t productKey : KeyMapping::allKeyCodes()) {
        if (keys_.count(productKey)) continue;
        const auto position = usPosition(keymap, productKey);
        if (!position || owner.count(*position)) continue;
        keys_[productKey].push_back(*position);
        products_[*position] = productKey;
        owner.emplace(*position, nullptr);
    }
}

std::vector<xcb_keycode_t> KeyTable::keycodes(std::uint32_t productKey) const {
    const auto it = keys_.find(productKey);
    return it == keys_.end() ? std::vector<xcb_keycode_t>{} : it->second;
}

std::optional<std::uint32_t> KeyTable::productKeyCode(xcb_keycode_t keycode) const {
    const auto it = products_.find(keycode);
    if (it == products_.end()) return std::nullopt;
    return it->second;
}

}  // namespace corvane::x11
