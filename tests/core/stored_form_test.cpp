#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/config.hpp"

namespace corvane {

void PrintTo(const Config& c, std::ostream* os) {
    *os << c.encoded();
}

namespace {

TEST(ConfigDefaults, TwentyNineDistinctBindingsAndNoGap) {
    const Config& d = Config::defaults();
    EXPECT_EQ(&d, &Config::defaults());
    EXPECT_EQ(d.shortcuts.size(), 11u);
    EXPECT_EQ(d.spaceShortcuts.size(), 18u);
    EXPECT_EQ(d.gap, 0);
    EXPECT_EQ(d.shortcuts.at(Placement::leftHalf).display(), "⌃⌥⌘←");
    EXPECT_EQ(d.shortcuts.at(Placement::bottomRight).display(), "⌃⌥⇧→");
    EXPECT_EQ(d.shortcuts.at(Placement::maximize), (Shortcut{46, 6400, "M"}));
    EXPECT_EQ(d.shortcuts.at(Placement::nextDisplay), (Shortcut{124, 6144, "→"}));
    EXPECT_EQ(d.spaceShortcuts.at(SpaceAction::send4), (Shortcut{21, 6144, "4"}));
    EXPECT_EQ(d.spaceShortcuts.at(SpaceAction::follow4), (Shortcut{21, 6656, "4"}));
    EXPECT_EQ(d.spaceShortcuts.at(SpaceAction::follow9).display(), "⌃⌥⇧9");
    EXPECT_EQ(d.spaceShortcuts.at(SpaceAction::send5).keyCode, 23u);
}

TEST(StoredForm, WriterLayoutIsCompactAndOrdered) {
    Config c;
    c.shortcuts[Placement::leftHalf] = {123, 6400, "←\""};
    c.gap = 7;
    EXPECT_EQ(
        c.encoded(),
        R"({"shortcuts":{"leftHalf":{"keyCode":123,"modifiers":6400,"key":"←\""}},"spaceShortcuts":{},"gap":7,)"
        R"("known":["leftHalf","rightHalf","topHalf","bottomHalf","topLeft","topRight","bottomLeft",)"
        R"("bottomRight","maximize","previousDisplay","nextDisplay"],)"
        R"("knownSpaces":["send1","send2","send3","send4","send5","send6","send7","send8","send9",)"
        R"("follow1","follow2","follow3","follow4","follow5","follow6","follow7","follow8","follow9"]})");
}

const std::string kAllKnown =
    R"("known":["leftHalf","rightHalf","topHalf","bottomHalf","topLeft","topRight","bottomLeft","bottomRight",)"
    R"("maximize","previousDisplay","nextDisplay"])";
const std::string kLeft = R"("leftHalf":{"keyCode":1,"modifiers":256,"key":"a"})";

// Documents that cannot be used at all: decode gives the defaults whole.
TEST(StoredForm, UnreadableDocumentsGiveDefaults) {
    std::vector<std::string> documents{
        "",
        "null",
        "[]",
        "[1]",
        "{}",
        "\"x\"",
        "{",
        R"({"shortcuts":{}})",
        R"({"gap":0})",
        R"({"shortcuts":{},"gap":12.5})",
        R"({"shortcuts":{},"gap":"1"})",
        R"({"shortcuts":{},"gap":true})",
        R"({"shortcuts":{},"gap":null})",
        R"({"shortcuts":{},"gap":9223372036854775808})",
        R"({"shortcuts":{},"gap":-9223372036854775809})",
        R"({"shortcuts":{},"gap":1e300})",
        R"({"shortcuts":[],"gap":0})",
        R"({"shortcuts":null,"gap":0})",
        R"({"shortcuts":{"leftHalf":{"keyCode":-1,"modifiers":0,"key":""}},"gap":0})",
        R"({"shortcuts":{"leftHalf":{"keyCode":4294967296,"modifiers":0,"key":""}},"gap":0})",
        R"({"shortcuts":{"leftHalf":{"keyCode":1.5,"modifiers":0,"key":""}},"gap":0})",
        R"({"shortcuts":{"leftHalf":{"keyCode":"1","modifiers":0,"key":""}},"gap":0})",
        R"({"shortcuts":{"leftHalf":{"keyCode":1,"key":""}},"gap":0})",
        R"({"shortcuts":{"leftHalf":{"keyCode":1,"modifiers":0}},"gap":0})",
        R"({"shortcuts":{"leftHalf":{"keyCode":1,"modifiers":0,"key":5}},"gap":0})",
        R"({"shortcuts":{"leftHalf":[1,0,""]},"gap":0})",
        R"({"shortcuts":{)" + kLeft + R"(,"leftThird":{"keyCode":1,"modifiers":256,"key":"a"}},"gap":0})",
        R"({"shortcuts":{},"spaceShortcuts":{"send10":{"keyCode":1,"modifiers":256,"key":"a"}},"gap":0})",
        R"({"shortcuts":{},"spaceShortcuts":[],"gap":0})",
        R"({"shortcuts":{},"gap":0,"known":"leftHalf"})",
        R"({"shortcuts":{},"gap":0,"known":[1]})",
        R"({"shortcuts":{},"gap":0,"knownSpaces":[null]})",
        "{\"shortcuts\":{\"leftHalf\":{\"keyCode\":1,\"modifiers\":256,\"key\":\"\xff\"}},\"gap\":0}",
        R"({"shortcuts":{},"gap":0} x)",
        R"({"shortcuts":{},"gap":0 /* c */})",
        R"({"shortcuts":{},"gap":0,})",
    };
    // Deep nesting must not exhaust the stack.
    documents.push_back(std::string(200000, '['));
    for (const std::string& document : documents) {
        EXPECT_FALSE(Config::decodeIfReadable(document)) << document.substr(0, 100);
        EXPECT_EQ(Config::decode(document), Config::defaults()) << document;
    }
    EXPECT_EQ(Config::decode(std::nullopt), Config::defaults());
}

Config expected(std::unordered_map<Placement, Shortcut> shortcuts, std::int64_t gap,
                std::unordered_map<SpaceAction, Shortcut> spaces = Config::defaults().spaceShortcuts) {
    return Config{std::move(shortcuts), std::move(spaces), gap};
}

struct ReadRow {
    const char* what;
    std::string document;
    Config config;
};

TEST(StoredForm, ReaderRules) {
    const Shortcut a{1, 256, "a"};
    auto defaultsWith = [](Placement p, std::optional<Shortcut> s) {
        auto table = Config::defaults().shortcuts;
        if (s)
            table.insert_or_assign(p, *s);
        else
            table.erase(p);
        return table;
    };
    const std::vector<ReadRow> rows{
        {"negative gap", R"({"shortcuts":{},"gap":-5})", expected({}, 0)},
        {"gap above max", R"({"shortcuts":{},"gap":41})", expected({}, 40)},
        {"largest gap", R"({"shortcuts":{},"gap":9223372036854775807})", expected({}, 40)},
        {"integral float gap", R"({"shortcuts":{},"gap":12.0})", expected({}, 12)},
        {"no known list: all placements known", R"({"shortcuts":{)" + kLeft + R"(},"gap":3})",
         expected({{Placement::leftHalf, a}}, 3)},
        {"all known, leftHalf unbound",
         R"({"shortcuts":{"maximize":{"keyCode":1,"modifiers":256,"key":"a"}},)" + kAllKnown + R"(,"gap":0})",
         expected({{Placement::maximize, a}}, 0)},
        {"nextDisplay unknown to the writer",
         R"({"shortcuts":{"nextDisplay":{"keyCode":1,"modifiers":256,"key":"a"}},"gap":0,)"
         R"("known":["leftHalf","rightHalf","topHalf","bottomHalf","topLeft","topRight","bottomLeft",)"
         R"("bottomRight","maximize","previousDisplay","bogus"]})",
         expected({{Placement::nextDisplay, Config::defaults().shortcuts.at(Placement::nextDisplay)}}, 0)},
        {"empty known list: every placement at default", R"({"shortcuts":{},"gap":0,"known":[]})",
         expected(Config::defaults().shortcuts, 0)},
        {"space shortcuts without knownSpaces are replaced",
         R"({"shortcuts":{},"spaceShortcuts":{"send1":{"keyCode":1,"modifiers":256,"key":"a"}},"gap":0})",
         expected({}, 0)},
        {"known desktop actions keep what the document says",
         R"({"shortcuts":{},"spaceShortcuts":{"send1":{"keyCode":1,"modifiers":256,"key":"a"}},"gap":0,)"
         R"("knownSpaces":["send1","send2","send10"]})",
         [&] {
             auto spaces = Config::defaults().spaceShortcuts;
             spaces[SpaceAction::send1] = a;
             spaces.erase(SpaceAction::send2);
             return expected({}, 0, spaces);
         }()},
        {"extra members ignored",
         R"({"version":2,"shortcuts":{"leftHalf":{"keyCode":4294967295,"modifiers":256,"key":"a","x":[]}},)"
         R"("gap":1,"spaceShortcuts":null,"known":null})",
         expected({{Placement::leftHalf, {4294967295u, 256, "a"}}}, 1)},
        {"defaults with one change", R"({"shortcuts":{},"gap":0,"known":["leftHalf"]})",
         expected(defaultsWith(Placement::leftHalf, std::nullopt), 0)},
    };
    for (const ReadRow& row : rows) {
        const auto read = Config::decodeIfReadable(row.document);
        ASSERT_TRUE(read) << row.what;
        EXPECT_EQ(*read, row.config) << row.what;
    }
}

// A hand-made or hostile file of nested brackets is turned away before the
// parser builds a value per bracket; documents a later version might write,
// and brackets inside strings, still read.
TEST(StoredForm, NestingBeyondAFewLevelsIsUnreadable) {
    const auto nested = [](int levels) {
        return R"({"shortcuts":{},"gap":3,"x":)" + std::string(levels, '[') + std::string(levels, ']') + "}";
    };
    EXPECT_TRUE(Config::decodeIfReadable(nested(7))) << "eight levels in all";
    EXPECT_FALSE(Config::decodeIfReadable(nested(8)));
    EXPECT_FALSE(Config::decodeIfReadable(nested(200000)));
    EXPECT_FALSE(Config::decodeIfReadable(R"({"shortcuts":{},"gap":3,"x":)" + std::string(4'000'000, '{')));
    EXPECT_EQ(Config::decode(nested(200000)), Config::defaults());

    // Brackets in labels and in other members' strings are text, escaped quotes included.
    const std::string brackets(100, '[');
    const auto read =
        Config::decodeIfReadable(R"({"shortcuts":{"leftHalf":{"keyCode":1,"modifiers":256,"key":")" +
                                 brackets + R"(\"[{"}},"gap":2,"note":"]]]]]]]]]]{{{{{"})");
    ASSERT_TRUE(read);
    EXPECT_EQ(read->shortcuts.at(Placement::leftHalf).key, brackets + "\"[{");
    EXPECT_EQ(read->gap, 2);
}

TEST(StoredForm, RoundTripKeepsEveryConfigurationAndLabel) {
    const std::vector<std::string> labels{"←", "M",    "1",    "",     "\"",   "\\",
                                          "é", "日本", "🙂", "\n\t", "\x01", "a\"b\\c"};
    std::mt19937 rng(20240611);
    for (int i = 0; i < 2000; ++i) {
        Config c;
        c.gap = static_cast<std::int64_t>(rng() % 41);
        auto randomShortcut = [&] {
            return Shortcut{std::uint32_t(rng()), std::uint32_t(rng() % 2 ? rng() : rng() % 0x2000),
                            labels[rng() % labels.size()]};
        };
        for (const Placement p : Placement::allCases()) {
            if (rng() % 3) c.shortcuts.emplace(p, randomShortcut());
        }
        for (const SpaceAction s : SpaceAction::allCases()) {
            if (rng() % 3) c.spaceShortcuts.emplace(s, randomShortcut());
        }
        const Config back = Config::decode(c.encoded());
        ASSERT_EQ(back, c);
        // Equality ignores labels, so check them on their own.
        for (const auto& [p, s] : c.shortcuts) ASSERT_EQ(back.shortcuts.at(p).key, s.key);
        for (const auto& [a, s] : c.spaceShortcuts) ASSERT_EQ(back.spaceShortcuts.at(a).key, s.key);
    }
}

TEST(StoredForm, InvalidUtf8LabelDoesNotLoseTheConfiguration) {
    Config c = Config::defaults();
    c.gap = 12;
    c.shortcuts[Placement::leftHalf].key = "\xff\xfe";
    const std::string bytes = c.encoded();
    ASSERT_FALSE(bytes.empty());
    const Config back = Config::decode(bytes);
    EXPECT_EQ(back, c);
    EXPECT_EQ(back.shortcuts.at(Placement::leftHalf).key, "\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(ConfigEquality, IgnoresLabelsButNotBindings) {
    Config a = Config::defaults();
    Config b = a;
    b.shortcuts[Placement::maximize].key = "m";
    EXPECT_EQ(a, b);
    b.shortcuts.erase(Placement::maximize);
    EXPECT_NE(a, b);
    b = a;
    b.gap = 1;
    EXPECT_NE(a, b);
}

}  // namespace
}  // namespace corvane
