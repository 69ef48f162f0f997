#include <algorithm>
#include <cmath>
#include <limits>
#include <nlohmann/json.hpp>
#include <string>
#include <unordered_set>

#include "core/config.hpp"

// The stored form of a configuration: one small JSON document.
//
// {"shortcuts":{"leftHalf":{"keyCode":123,"modifiers":6400,"key":"←"},...},
//  "spaceShortcuts":{...},"gap":0,"known":[...],"knownSpaces":[...]}
//
// "known" and "knownSpaces" list every action the writing version had, so a
// reader can tell an action the user unbound (listed, no entry) from one that
// did not exist yet when the document was written (not listed: gets its default).

namespace corvane {

namespace {

using Json = nlohmann::json;
using OrderedJson = nlohmann::ordered_json;

// Any reason to give up on a document; caught once, at the top of the reader.
struct Unreadable {};

OrderedJson shortcutObject(const Shortcut& s) {
    OrderedJson object = OrderedJson::object();
    object["keyCode"] = s.keyCode;
    object["modifiers"] = s.modifiers;
    object["key"] = s.key;
    return object;
}

// Members are written in allCases order: not required by readers, but it keeps
// the bytes stable for equal configurations.
template <typename Action>
OrderedJson shortcutTable(const std::unordered_map<Action, Shortcut>& table) {
    OrderedJson object = OrderedJson::object();
    for (const Action action : Action::allCases()) {
        if (const auto entry = table.find(action); entry != table.end()) {
            object[std::string(action.rawValue())] = shortcutObject(entry->second);
        }
    }
    return object;
}

template <typename Action>
OrderedJson rawValueList() {
    OrderedJson list = OrderedJson::array();
    for (const Action action : Action::allCases()) list.push_back(std::string(action.rawValue()));
    return list;
}

// A JSON number that denotes an integer within [low, high]. A fraction such as
// 12.5 is no integer; 12.0 or 1e1 is. Anything else is unreadable.
template <typename Int>
Int integerIn(const Json& value) {
    constexpr auto low = std::numeric_limits<Int>::min();
    constexpr auto high = std::numeric_limits<Int>::max();
    if (value.is_number_unsigned()) {
        const auto v = value.get<std::uint64_t>();
        if (v > static_cast<std::uint64_t>(high)) throw Unreadable{};
        return static_cast<Int>(v);
    }
    if (value.is_number_integer()) {
        const auto v = value.get<std::int64_t>();
        if (v < static_cast<std::int64_t>(low) ||
            (v > 0 && static_cast<std::uint64_t>(v) > static_cast<std::uint64_t>(high))) {
            throw Unreadable{};
        }
        return static_cast<Int>(v);
    }
    if (value.is_number_float()) {
        // Only within +-2^53 does a double stand for exactly one integer; past
        // that, a literal such as -9223372036854775809 would round into range.
        constexpr double exact = 9007199254740992.0;  // 2^53
        const double v = value.get<double>();
        if (!std::isfinite(v) || std::trunc(v) != v || std::fabs(v) > exact || v < static_cast<double>(low) ||
            v > static_cast<double>(high)) {
            throw Unreadable{};
        }
        return static_cast<Int>(v);
    }
    throw Unreadable{};
}

const Json& member(const Json& object, const char* name) {
    const auto found = object.find(name);
    if (found == object.end()) throw Unreadable{};
    return *found;
}

// An optional member: absent, or null, reads as nothing.
const Json* optionalMember(const Json& object, const char* name) {
    const auto found = object.find(name);
    if (found == object.end() || found->is_null()) return nullptr;
    return &*found;
}

Shortcut readShortcut(const Json& value) {
    if (!value.is_object()) throw Unreadable{};
    const Json& key = member(value, "key");
    if (!key.is_string()) throw Unreadable{};
    return Shortcut{integerIn<std::uint32_t>(member(value, "keyCode")),
                    integerIn<std::uint32_t>(member(value, "modifiers")), key.get<std::string>()};
}

template <typename Action>
std::unordered_map<Action, Shortcut> readShortcutTable(const Json& value) {
    if (!value.is_object()) throw Unreadable{};
    std::unordered_map<Action, Shortcut> table;
    for (const auto& [name, shortcut] : value.items()) {
        // One unknown action name makes the whole document unreadable.
        const auto action = Action::fromRawValue(name);
        if (!action) throw Unreadable{};
        table.insert_or_assign(*action, readShortcut(shortcut));
    }
    return table;
}

std::unordered_set<std::string> readNameList(const Json& value) {
    if (!value.is_array()) throw Unreadable{};
    std::unordered_set<std::string> names;
    for (const Json& entry : value) {
        if (!entry.is_string()) throw Unreadable{};
        names.insert(entry.get<std::string>());
    }
    return names;
}

// Actions the writer did not know (or a document without a list, for desktop
// actions) get their default shortcut, whatever the document says about them.
template <typename Action>
void applyDefaultsToUnknown(std::unordered_map<Action, Shortcut>& table,
                            const std::unordered_set<std::string>& known,
                            const std::unordered_map<Action, Shortcut>& defaults) {
    for (const Action action : Action::allCases()) {
        if (known.count(std::string(action.rawValue())) != 0) continue;
        if (const auto entry = defaults.find(action); entry != defaults.end()) {
            table.insert_or_assign(action, entry->second);
        } else {
            table.erase(action);
        }
    }
}

// The stored form nests three levels deep (document, "shortcuts", one
// shortcut); the rest leaves room for members a later version may add. The
// JSON parser builds one value per open bracket before it can see that a
// document is useless, so a file of nothing but brackets would cost memory and
// time in proportion to its size: such documents are turned away unparsed.
constexpr int maxNesting = 8;

bool nestsTooDeeply(std::string_view bytes) {
    int depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (inString) {
            if (c == '\\') {
                ++i;  // whatever is escaped cannot end the string
            } else if (c == '"') {
                inString = false;
            }
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > maxNesting) return true;
        } else if (c == ']' || c == '}') {
            // An unbalanced closer is the parser's to reject.
            if (depth > 0) --depth;
        }
    }
    return false;
}

Config readDocument(std::string_view bytes) {
    if (nestsTooDeeply(bytes)) throw Unreadable{};
    const Json document = Json::parse(bytes.begin(), bytes.end());
    if (!document.is_object()) throw Unreadable{};

    Config config;
    config.shortcuts = readShortcutTable<Placement>(member(document, "shortcuts"));
    if (const Json* spaces = optionalMember(document, "spaceShortcuts")) {
        config.spaceShortcuts = readShortcutTable<SpaceAction>(*spaces);
    }
    config.gap =
        std::clamp(integerIn<std::int64_t>(member(document, "gap")), std::int64_t{0}, Config::maxGap);

    // Without "known" every placement counts as known; without "knownSpaces"
    // no desktop action does (they came later than the placements).
    // (Both lists are read before anything is applied: a malformed one makes
    // the whole document unreadable.)
    const Json* knownPlacements = optionalMember(document, "known");
    const auto placementNames =
        knownPlacements ? readNameList(*knownPlacements) : std::unordered_set<std::string>{};
    const Json* knownSpaces = optionalMember(document, "knownSpaces");
    const auto spaceNames = knownSpaces ? readNameList(*knownSpaces) : std::unordered_set<std::string>{};

    const Config& defaults = Config::defaults();
    if (knownPlacements) applyDefaultsToUnknown(config.shortcuts, placementNames, defaults.shortcuts);
    applyDefaultsToUnknown(config.spaceShortcuts, spaceNames, defaults.spaceShortcuts);
    return config;
}

}  // namespace

std::string Config::encoded() const {
    try {
        OrderedJson document = OrderedJson::object();
        document["shortcuts"] = shortcutTable(shortcuts);
        document["spaceShortcuts"] = shortcutTable(spaceShortcuts);
        document["gap"] = gap;
        document["known"] = rawValueList<Placement>();
        document["knownSpaces"] = rawValueList<SpaceAction>();
        // A label that is not valid UTF-8 would make the whole document
        // unwritable, and empty bytes read back as the defaults: every shortcut
        // the user set would be lost over one label. Labels do not take part in
        // identity, so the bad bytes are replaced (U+FFFD) instead.
        return document.dump(-1, ' ', false, Json::error_handler_t::replace);
    } catch (...) {
        return {};
    }
}

std::optional<Config> Config::decodeIfReadable(std::string_view bytes) {
    if (bytes.empty()) return std::nullopt;
    try {
        return readDocument(bytes);
    } catch (...) {
        // Parse errors, wrong types, out-of-range numbers, unknown names,
        // allocation failures: all mean the document cannot be used.
        return std::nullopt;
    }
}

Config Config::decode(std::optional<std::string_view> bytes) {
    if (!bytes) return defaults();
    return decodeIfReadable(*bytes).value_or(defaults());
}

}  // namespace corvane
