#include "ports/gnome/extension_installer.hpp"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <fstream>

#include "tools/xharness/temp_dir.hpp"

namespace corvane::gnome {
namespace {

namespace fs = std::filesystem;

TEST(ExtensionInstaller, EnablingOursLeavesEveryOtherExtensionAsItWas) {
    EXPECT_EQ(enabledWith("@as []", "c@x"), "['c@x']");
    EXPECT_EQ(enabledWith("['a@x', 'b@y']\n", "c@x"), "['a@x', 'b@y', 'c@x']");
    EXPECT_EQ(enabledWith("['it\\'s@x']", "c@x"), "['it\\'s@x', 'c@x']");
    EXPECT_FALSE(enabledWith("['a@x', 'c@x']", "c@x")) << "already enabled: nothing to write";
    EXPECT_FALSE(enabledWith("not a list", "c@x")) << "never written over what cannot be read";
    EXPECT_FALSE(enabledWith("['unterminated", "c@x"));
    EXPECT_EQ(disabledWithout("['a@x', 'c@x']", "c@x"), "['a@x']");
    EXPECT_FALSE(disabledWithout("['a@x']", "c@x"));
}

TEST(ExtensionInstaller, InstallsOnceAndNotOverASystemCopy) {
    const xharness::TempDir dir("corvane-extension");
    const ExtensionFiles files{{"metadata.json", "{\"uuid\": \"c@x\"}"},
                               {"extension.js", "// ours\n"},
                               {"schemas/c.gschema.xml", "<schemalist/>"}};
    const fs::path user = dir.path() / "user";
    const fs::path system = dir.path() / "system";

    EXPECT_EQ(installExtension(files, user, {system}, "c@x").kind, InstallOutcome::Kind::installed);
    std::ifstream written(user / "c@x" / "extension.js");
    std::string line;
    std::getline(written, line);
    EXPECT_EQ(line, "// ours");
    EXPECT_EQ(installExtension(files, user, {system}, "c@x").kind, InstallOutcome::Kind::unchanged)
        << "the second start writes nothing and asks for no log-out";

    // A newer Corvane brings other files: written again.
    ExtensionFiles newer = files;
    newer["extension.js"] = "// newer\n";
    EXPECT_EQ(installExtension(newer, user, {system}, "c@x").kind, InstallOutcome::Kind::installed);

    // The package's copy in the system folder serves as it is.
    const fs::path other = dir.path() / "other";
    fs::create_directories(system / "c@x");
    // It keeps its schema in the system's schema folder.
    for (const auto& [name, content] : files)
        if (name.rfind("schemas/", 0) != 0) std::ofstream(system / "c@x" / name) << content;
    EXPECT_EQ(installExtension(files, other, {system}, "c@x").kind, InstallOutcome::Kind::unchanged);
    EXPECT_FALSE(fs::exists(other / "c@x"));

    EXPECT_EQ(installExtension({}, other, {}, "c@x").kind, InstallOutcome::Kind::failed);
}

TEST(ExtensionInstaller, EachShellGetsTheFormatItLoads) {
    EXPECT_EQ(formatFor(43), ExtensionFormat::legacy);
    EXPECT_EQ(formatFor(44), ExtensionFormat::legacy);
    EXPECT_EQ(formatFor(45), ExtensionFormat::module);
    EXPECT_EQ(formatFor(49), ExtensionFormat::module);
    EXPECT_EQ(parseShellVersion("GNOME Shell 43.9\n"), 43);
    EXPECT_EQ(parseShellVersion("GNOME Shell 48.alpha"), 48);
    EXPECT_FALSE(parseShellVersion("bash: gnome-shell: command not found"));
    // The program carries both, each complete.
    for (const auto format : {ExtensionFormat::legacy, ExtensionFormat::module}) {
        const auto files = extensionFiles(format);
        for (const char* name : {"metadata.json", "extension.js", "corvane.js",
                                 "schemas/org.gnome.shell.extensions.corvane.gschema.xml"})
            EXPECT_TRUE(files.count(name)) << name;
    }
    EXPECT_NE(extensionFiles(ExtensionFormat::module)["corvane.js"].find("export {createCorvane}"),
              std::string::npos);
    EXPECT_EQ(extensionFiles(ExtensionFormat::legacy)["corvane.js"].find("export {"), std::string::npos);
}

}  // namespace
}  // namespace corvane::gnome

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
