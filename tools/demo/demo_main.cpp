// corvane-demo --corvane PATH --out DIR
//
// Shows Corvane at work on a machine without a desktop: everything runs in
// a private X server, whatever $DISPLAY says.

#include <exception>
#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>

#include "tools/demo/demo_script.hpp"

namespace {

int usage(const char* why) {
    std::cerr << "corvane-demo: " << why << "\n"
              << "usage: corvane-demo [--corvane PATH] [--out DIR]\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::filesystem::path app;
#ifdef CORVANE_DEMO_APP
    app = CORVANE_DEMO_APP;
#endif
    std::filesystem::path out = "out/demo";
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << "usage: corvane-demo [--corvane PATH] [--out DIR]\n";
            return 0;
        }
        if (i + 1 >= argc) return usage("missing value after an option");
        if (arg == "--corvane") {
            app = argv[++i];
        } else if (arg == "--out") {
            out = argv[++i];
        } else {
            return usage("unknown option");
        }
    }
    if (app.empty() || !std::filesystem::exists(app)) return usage("no corvane binary (give --corvane PATH)");

    try {
        std::filesystem::create_directories(out);
        corvane::demo::DemoResult result = corvane::demo::runDemo(app, out, std::cout);
        if (result.failures > 0) {
            std::cout << "\n"
                      << result.failures << " of " << result.steps << " steps did not do what they should.\n";
            return 1;
        }
        std::cout << "\nAll " << result.steps << " steps did what they should. Screenshots: " << out.string()
                  << "\n";
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "corvane-demo: " << e.what() << "\n";
        return 1;
    }
}
