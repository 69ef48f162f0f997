// Writes the seed corpus of the stored-form fuzzer into the directory given as
// the only argument: the default document plus a few hand-made variants that
// reach the reader's less common paths.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/config.hpp"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus-dir>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir);

    corvane::Config edited = corvane::Config::defaults();
    edited.gap = 12;
    edited.shortcuts.erase(corvane::Placement::maximize);
    edited.spaceShortcuts[corvane::SpaceAction::send1] = {123, 6400, "é\"\\"};

    const std::vector<std::string> seeds{
        corvane::Config::defaults().encoded(),
        edited.encoded(),
        R"({"shortcuts":{"leftHalf":{"keyCode":123,"modifiers":6400,"key":"←"}},"gap":-5})",
        R"({"shortcuts":{},"gap":41,"known":["leftHalf","nextDisplay","bogus"],"knownSpaces":["send1"]})",
        R"({"shortcuts":{"leftHalf":{"keyCode":1.0,"modifiers":4294967295,"key":"a","x":null}},"gap":1e1})",
        R"({"spaceShortcuts":null,"known":null,"shortcuts":{},"gap":9223372036854775807,"extra":[{}]})",
        "null",
        "[]",
    };
    for (std::size_t i = 0; i < seeds.size(); ++i) {
        std::ofstream out(dir / ("seed-" + std::to_string(i) + ".json"), std::ios::binary);
        out << seeds[i];
        if (!out) {
            std::fprintf(stderr, "cannot write seed %zu\n", i);
            return 1;
        }
    }
    return 0;
}
