// The manual page is written by hand, once; these checks keep it telling the
// truth about the binary it ships with. They compare what drifts when someone
// adds an option, an action, an exit status or changes a default shortcut —
// not the wording, which the page is free to explain at greater length.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "core/config.hpp"
#include "core/window_action.hpp"

namespace corvane {
namespace {

std::string manSource() {
    std::ifstream in(CORVANE_MAN_SOURCE);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// What the binary itself prints, standard output only.
std::string corvaneOutput(const std::string& argument) {
    const std::string command = std::string("'") + CORVANE_BINARY + "' " + argument;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    if (!pipe) return {};
    std::string output;
    char buffer[4096];
    while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe.get())) output.append(buffer, n);
    return output;
}

// One top-level section of the page source ("# OPTIONS" up to the next "# ").
std::string section(const std::string& page, const std::string& heading) {
    const std::string marker = "\n# " + heading + "\n";
    const std::size_t start = page.find(marker);
    if (start == std::string::npos) {
        ADD_FAILURE() << "the manual page has no section " << heading;
        return {};
    }
    const std::size_t begin = start + marker.size();
    const std::size_t end = page.find("\n# ", begin);
    return page.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
}

std::set<std::string> allMatches(const std::string& text, const std::regex& pattern) {
    std::set<std::string> found;
    for (std::sregex_iterator it(text.begin(), text.end(), pattern), end; it != end; ++it)
        found.insert((*it)[1]);
    return found;
}

// "--action", "-h": an option starts a word (or follows the page's bold mark).
std::set<std::string> optionsIn(const std::string& text) {
    static const std::regex option(R"((?:^|[\s*,|\[])(--?[A-Za-z][A-Za-z-]*))");
    return allMatches(text, option);
}

std::set<std::string> boldWordsIn(const std::string& text) {
    static const std::regex bold(R"(\*([A-Za-z0-9]+)\*)");
    return allMatches(text, bold);
}

std::set<std::string> allActionNames() {
    std::set<std::string> names;
    for (const Placement placement : Placement::allCases()) names.emplace(placement.rawValue());
    for (const SpaceAction action : SpaceAction::allCases()) names.emplace(action.rawValue());
    return names;
}

TEST(ManualPage, DocumentsExactlyTheOptionsOfHelp) {
    const std::string help = corvaneOutput("--help");
    ASSERT_NE(help.find("--help"), std::string::npos) << "corvane --help printed: " << help;
    const std::string page = manSource();

    EXPECT_EQ(optionsIn(help), optionsIn(section(page, "OPTIONS")));
    for (const std::string& option : optionsIn(section(page, "SYNOPSIS"))) {
        EXPECT_TRUE(optionsIn(help).contains(option)) << option << " is in the synopsis but not in --help";
    }
}

TEST(ManualPage, NamesEveryActionAndNoOther) {
    const std::set<std::string> actions = allActionNames();
    EXPECT_EQ(actions, boldWordsIn(section(manSource(), "ACTIONS")));

    // Whatever --help offers as an example must be a name the page explains.
    static const std::regex word(R"(([A-Za-z]+[0-9]?))");
    std::set<std::string> helpExamples;
    for (const std::string& candidate : allMatches(corvaneOutput("--help"), word)) {
        if (Placement::fromRawValue(candidate) || SpaceAction::fromRawValue(candidate)) {
            helpExamples.insert(candidate);
        }
    }
    EXPECT_FALSE(helpExamples.empty()) << "--help no longer names any action";
    for (const std::string& example : helpExamples) EXPECT_TRUE(actions.contains(example)) << example;
}

TEST(ManualPage, ListsTheExitStatusesOfHelp) {
    const std::string help = corvaneOutput("--help");
    const std::size_t start = help.find("Exit status");
    ASSERT_NE(start, std::string::npos) << "corvane --help printed: " << help;
    // The paragraph runs to the next blank line or the end of the text.
    const std::string paragraph = help.substr(start, help.find("\n\n", start) - start);
    static const std::regex status(R"(\b([0-9]+)\b)");

    EXPECT_EQ(allMatches(paragraph, status), boldWordsIn(section(manSource(), "EXIT STATUS")));
}

// A chord as Linux desktops write it, modifiers in one canonical order so
// that "Ctrl+Shift+Alt+X" and "Ctrl+Alt+Shift+X" compare equal.
std::string canonicalChord(std::set<std::string> modifiers, const std::string& key) {
    std::string chord;
    for (const char* name : {"Ctrl", "Alt", "Shift", "Super"}) {
        if (modifiers.erase(name)) chord += std::string(name) + "+";
    }
    for (const std::string& unknown : modifiers) chord += "?" + unknown + "+";
    return chord + key;
}

std::string chordOf(const Shortcut& shortcut) {
    static const std::map<std::string, std::string> arrows{
        {"←", "Left"}, {"→", "Right"}, {"↑", "Up"}, {"↓", "Down"}};
    std::set<std::string> modifiers;
    if (shortcut.modifiers & Shortcut::control) modifiers.insert("Ctrl");
    if (shortcut.modifiers & Shortcut::option) modifiers.insert("Alt");
    if (shortcut.modifiers & Shortcut::shift) modifiers.insert("Shift");
    if (shortcut.modifiers & Shortcut::command) modifiers.insert("Super");
    const auto arrow = arrows.find(shortcut.key);
    return canonicalChord(modifiers, arrow == arrows.end() ? shortcut.key : arrow->second);
}

// One shortcut cell of the table: "Ctrl+Alt+Super+Left, Right, Up, Down"
// shares the modifiers of its first chord; "Ctrl+Alt+1 ... 9" is a range.
std::vector<std::string> expandCell(const std::string& cell) {
    static const std::regex range(R"(^(.*\+)([0-9]) \.\.\. ([0-9])$)");
    std::smatch match;
    std::vector<std::string> keys;
    std::string prefix;
    if (std::regex_match(cell, match, range)) {
        prefix = match[1];
        for (char digit = match.str(2)[0]; digit <= match.str(3)[0]; ++digit) keys.emplace_back(1, digit);
    } else {
        std::stringstream items(cell);
        std::string item;
        while (std::getline(items, item, ',')) {
            item.erase(0, item.find_first_not_of(' '));
            if (keys.empty()) {
                prefix = item.substr(0, item.rfind('+') + 1);
                item.erase(0, prefix.size());
            }
            keys.push_back(item);
        }
    }
    std::set<std::string> modifiers;
    std::stringstream names(prefix);
    std::string name;
    while (std::getline(names, name, '+')) modifiers.insert(name);
    std::vector<std::string> chords;
    for (const std::string& key : keys) chords.push_back(canonicalChord(modifiers, key));
    return chords;
}

TEST(ManualPage, DefaultShortcutsAreTheDefaults) {
    // In the order of the actions: halves, quarters, full screen, displays,
    // then sending and following, desktop 1 to 9.
    std::vector<std::string> expected;
    const Config& defaults = Config::defaults();
    for (const Placement placement : Placement::allCases())
        expected.push_back(chordOf(defaults.shortcuts.at(placement)));
    for (const SpaceAction action : SpaceAction::allCases()) {
        expected.push_back(chordOf(defaults.spaceShortcuts.at(action)));
    }

    std::vector<std::string> documented;
    std::stringstream table(section(manSource(), "DEFAULT SHORTCUTS"));
    std::string line;
    while (std::getline(table, line)) {
        // Rows are "|  Action" then ":  Shortcut"; the heading row is bold.
        if (line.rfind(":  ", 0) != 0) continue;
        for (const std::string& chord : expandCell(line.substr(3))) documented.push_back(chord);
    }
    EXPECT_EQ(expected, documented);
}

}  // namespace
}  // namespace corvane
