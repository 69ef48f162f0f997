#include "ports/xdg/file_defaults.hpp"

#include <cerrno>
#include <cstdlib>
#include <stdexcept>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/ports/recording_feedback.hpp"
#include "tests/ports/scratch_directory.hpp"

namespace corvane::xdg {
namespace {

using testing::contentsOf;
using testing::modeOf;
using testing::namesIn;
using testing::RecordingFeedback;
using testing::ScratchDirectory;
using testing::writeRaw;

struct SimulatedCrash : std::runtime_error {
    SimulatedCrash() : std::runtime_error("crash") {}
};

class FileDefaultsTest : public ::testing::Test {
protected:
    std::filesystem::path settings() const { return scratch.path() / "corvane"; }
    std::filesystem::path file(const char* key) const { return settings() / key; }

    ScratchDirectory scratch;
    RecordingFeedback feedback;
};

TEST_F(FileDefaultsTest, ValuesSurviveARestartInTheDocumentedLayout) {
    const std::string config("{\"gap\":4}\n\0\xff", 13);
    {
        FileDefaults defaults(settings(), feedback);
        EXPECT_TRUE(defaults.setBool("enabled", false));
        EXPECT_TRUE(defaults.setBool("tourCompleted", true));
        EXPECT_TRUE(defaults.setBytes("config", config));
    }
    EXPECT_EQ(contentsOf(file("enabled")), "false\n");
    EXPECT_EQ(contentsOf(file("tourCompleted")), "true\n");
    EXPECT_EQ(contentsOf(file("config")), config);

    FileDefaults restarted(settings(), feedback);
    EXPECT_EQ(restarted.boolValue("enabled"), false);
    EXPECT_EQ(restarted.boolValue("tourCompleted"), true);
    EXPECT_EQ(restarted.bytesValue("config"), config);
    EXPECT_TRUE(feedback.lines.empty());
}

TEST_F(FileDefaultsTest, MissingValuesAreAbsentAndReadingCreatesNothing) {
    FileDefaults defaults(settings(), feedback);
    EXPECT_EQ(defaults.boolValue("enabled"), std::nullopt);
    EXPECT_EQ(defaults.bytesValue("config"), std::nullopt);
    EXPECT_EQ(defaults.keepAside("config"), std::nullopt);
    EXPECT_FALSE(std::filesystem::exists(settings()));
    EXPECT_TRUE(feedback.lines.empty());
}

TEST_F(FileDefaultsTest, OnlyTrueOrFalseReadAsBooleans) {
    FileDefaults defaults(settings(), feedback);
    ASSERT_TRUE(defaults.setBytes("enabled", ""));
    const std::pair<std::string, std::optional<bool>> cases[] = {
        {"true", true},
        {"false", false},
        {"true\n", true},
        {"false\n", false},
        {"", std::nullopt},
        {"TRUE", std::nullopt},
        {"1", std::nullopt},
        {" true", std::nullopt},
        {"true\n\n", std::nullopt},
        {"true\r\n", std::nullopt},
        {"falsey", std::nullopt},
        {std::string("true\0", 5), std::nullopt},
    };
    for (const auto& [text, expected] : cases) {
        writeRaw(file("enabled"), text);
        EXPECT_EQ(defaults.boolValue("enabled"), expected) << '"' << text << '"';
    }
    EXPECT_TRUE(feedback.lines.empty());
}

TEST_F(FileDefaultsTest, DirectoryIsPrivateAndFilesOwnerOnly) {
    const std::filesystem::path nested = scratch.path() / "home" / "config" / "corvane";
    const mode_t previous = ::umask(0);
    FileDefaults defaults(nested, feedback);
    const bool written = defaults.setBool("enabled", true) && defaults.setBytes("config", "{}");
    ::umask(previous);
    ASSERT_TRUE(written);
    EXPECT_EQ(modeOf(scratch.path() / "home"), 0700u);
    EXPECT_EQ(modeOf(nested), 0700u);
    EXPECT_EQ(modeOf(nested / "enabled"), 0600u);
    EXPECT_EQ(modeOf(nested / "config"), 0600u);

    // An existing directory of ours that is too open is tightened at start.
    ASSERT_EQ(::chmod(nested.c_str(), 0755), 0);
    FileDefaults again(nested, feedback);
    EXPECT_EQ(modeOf(nested), 0700u);
}

TEST_F(FileDefaultsTest, CrashBeforeRenameLeavesTheOldValue) {
    {
        FileDefaults defaults(settings(), feedback);
        ASSERT_TRUE(defaults.setBytes("config", "old"));
    }
    FileDefaults::Options crashing;
    crashing.hooks.before = [](WriteStep step) -> int {
        if (step == WriteStep::commit) throw SimulatedCrash();
        return 0;
    };
    FileDefaults defaults(settings(), feedback, crashing);
    EXPECT_THROW(defaults.setBytes("config", "new"), SimulatedCrash);

    // The crash left its fully written temporary file behind; nobody reads it.
    EXPECT_EQ(namesIn(settings()).size(), 2u);
    EXPECT_EQ(defaults.bytesValue("config"), "old");
    FileDefaults restarted(settings(), feedback);
    EXPECT_EQ(restarted.bytesValue("config"), "old");
    EXPECT_TRUE(restarted.setBytes("config", "newer"));
    EXPECT_EQ(restarted.bytesValue("config"), "newer");
    EXPECT_TRUE(feedback.lines.empty());
}

TEST_F(FileDefaultsTest, FailedWriteLogsOneLineAndKeepsTheOldValue) {
    for (const WriteStep failing : {WriteStep::write, WriteStep::sync, WriteStep::commit}) {
        SCOPED_TRACE(static_cast<int>(failing));
        {
            FileDefaults defaults(settings(), feedback);
            ASSERT_TRUE(defaults.setBytes("config", "old"));
        }
        FileDefaults::Options options;
        options.hooks.before = [failing](WriteStep step) { return step == failing ? ENOSPC : 0; };
        FileDefaults defaults(settings(), feedback, options);
        feedback.lines.clear();

        EXPECT_FALSE(defaults.setBytes("config", "new"));
        ASSERT_EQ(feedback.lines.size(), 1u);
        EXPECT_EQ(feedback.lines[0], "could not write " + file("config").string() + ": " + errorText(ENOSPC));
        EXPECT_EQ(defaults.bytesValue("config"), "old");
        EXPECT_EQ(namesIn(settings()), std::set<std::string>{"config"});
    }
}

TEST_F(FileDefaultsTest, WriteOverADirectoryFailsWithoutTouchingIt) {
    std::filesystem::create_directories(file("enabled") / "inside");
    FileDefaults defaults(settings(), feedback);

    EXPECT_FALSE(defaults.setBool("enabled", true));
    ASSERT_EQ(feedback.lines.size(), 1u);
    EXPECT_EQ(feedback.lines[0], "could not write " + file("enabled").string() + ": " + errorText(EISDIR));
    EXPECT_TRUE(std::filesystem::exists(file("enabled") / "inside"));
    EXPECT_EQ(namesIn(settings()), std::set<std::string>{"enabled"});

    // Reading it is "absent", with a line because something is there.
    feedback.lines.clear();
    EXPECT_EQ(defaults.boolValue("enabled"), std::nullopt);
    ASSERT_EQ(feedback.lines.size(), 1u);
    EXPECT_NE(feedback.lines[0].find(file("enabled").string()), std::string::npos);
}

TEST_F(FileDefaultsTest, UnsyncedDirectoryStillCountsAsWritten) {
    FileDefaults::Options options;
    options.hooks.before = [](WriteStep step) { return step == WriteStep::syncDirectory ? EIO : 0; };
    FileDefaults defaults(settings(), feedback, options);

    EXPECT_TRUE(defaults.setBool("enabled", false));
    EXPECT_EQ(defaults.boolValue("enabled"), false);
    ASSERT_EQ(feedback.lines.size(), 1u);
    EXPECT_NE(feedback.lines[0].find(errorText(EIO)), std::string::npos);
}

TEST_F(FileDefaultsTest, KeysThatCouldLeaveTheDirectoryAreRefused) {
    std::filesystem::create_directories(settings());
    FileDefaults defaults(settings(), feedback);
    const std::string hostile[] = {"",
                                   ".",
                                   "..",
                                   "../escape",
                                   "a/b",
                                   "/etc/passwd",
                                   "a.b",
                                   ".enabled",
                                   "a\nb",
                                   std::string("a\0b", 3),
                                   "enabled.unreadable-20240101T000000Z",
                                   std::string(129, 'k')};
    for (const std::string& key : hostile) {
        feedback.lines.clear();
        EXPECT_FALSE(defaults.setBytes(key, "x")) << key;
        EXPECT_FALSE(defaults.setBool(key, true)) << key;
        EXPECT_EQ(defaults.bytesValue(key), std::nullopt) << key;
        EXPECT_EQ(defaults.keepAside(key), std::nullopt) << key;
        EXPECT_EQ(feedback.lines.size(), 4u) << key;
        for (const auto& line : feedback.lines) EXPECT_EQ(line.find('\n'), std::string::npos);
    }
    EXPECT_TRUE(namesIn(settings()).empty());
    EXPECT_EQ(namesIn(scratch.path()), std::set<std::string>{"corvane"});
    EXPECT_TRUE(defaults.setBool(std::string(128, 'k'), true));
}

TEST_F(FileDefaultsTest, KeepAsideNamesCopiesByTimeAndNeverOverwrites) {
    FileDefaults::Options options;
    // 2024-03-05 06:07:08 UTC
    options.now = [] { return std::chrono::system_clock::from_time_t(1709618828); };
    FileDefaults defaults(settings(), feedback, options);
    ASSERT_TRUE(defaults.setBytes("config", "version 1"));

    const std::string first = (settings() / "config.unreadable-20240305T060708Z").string();
    EXPECT_EQ(defaults.keepAside("config"), first);
    ASSERT_TRUE(defaults.setBytes("config", "version 2"));
    EXPECT_EQ(defaults.keepAside("config"), first + "-2");

    writeRaw(first + "-3", "someone else's");
    ASSERT_TRUE(defaults.setBytes("config", "version 3"));
    EXPECT_EQ(defaults.keepAside("config"), first + "-4");

    EXPECT_EQ(contentsOf(first), "version 1");
    EXPECT_EQ(contentsOf(first + "-2"), "version 2");
    EXPECT_EQ(contentsOf(first + "-3"), "someone else's");
    EXPECT_EQ(contentsOf(first + "-4"), "version 3");
    EXPECT_EQ(modeOf(first), 0600u);
    EXPECT_EQ(defaults.bytesValue("config"), "version 3");
    EXPECT_TRUE(feedback.lines.empty());
}

// Without a copy kept aside, the file may be the user's only record of their
// settings: it must outlive the session untouched.
TEST_F(FileDefaultsTest, FailedKeepAsideLeavesTheFileAloneForTheSession) {
    for (const WriteStep failing : {WriteStep::write, WriteStep::sync, WriteStep::commit}) {
        SCOPED_TRACE(static_cast<int>(failing));
        feedback.lines.clear();
        ASSERT_TRUE(FileDefaults(settings(), feedback).setBytes("config", "from a newer version"));
        bool failCopies = true;
        FileDefaults::Options options;
        options.hooks.before = [&](WriteStep step) { return failCopies && step == failing ? EDQUOT : 0; };
        FileDefaults defaults(settings(), feedback, options);

        EXPECT_EQ(defaults.keepAside("config"), std::nullopt);
        ASSERT_EQ(feedback.lines.size(), 1u);
        EXPECT_NE(feedback.lines[0].find("config.unreadable-"), std::string::npos);
        EXPECT_NE(feedback.lines[0].find(file("config").string() + " as it is"), std::string::npos);
        EXPECT_TRUE(defaults.isHeld("config"));

        // Even once writing works again, nothing replaces it, and nothing more is said.
        failCopies = false;
        EXPECT_FALSE(defaults.setBytes("config", "defaults"));
        EXPECT_FALSE(defaults.setBytes("config", "defaults, changed"));
        EXPECT_EQ(defaults.keepAside("config"), std::nullopt);
        EXPECT_EQ(feedback.lines.size(), 1u);
        EXPECT_EQ(contentsOf(file("config")), "from a newer version");
        EXPECT_EQ(namesIn(settings()), std::set<std::string>{"config"});

        // Other keys are saved as usual; the next start tries again.
        EXPECT_TRUE(defaults.setBool("enabled", false));
        std::filesystem::remove(file("enabled"));
        EXPECT_EQ(FileDefaults(settings(), feedback).bytesValue("config"), "from a newer version");
    }
}

// A file that exists but cannot be read (permissions, a failing disk, a size
// no settings file has) is never written over: this session runs on the
// defaults for that key.
TEST_F(FileDefaultsTest, UnreadableFileIsHeldForTheSession) {
    for (const int code : {EACCES, EIO}) {
        SCOPED_TRACE(code);
        feedback.lines.clear();
        ASSERT_TRUE(FileDefaults(settings(), feedback).setBytes("config", "precious"));
        FileDefaults::Options options;
        options.beforeRead = [&](const std::filesystem::path& path) {
            return path == file("config") ? code : 0;
        };
        FileDefaults defaults(settings(), feedback, options);

        EXPECT_EQ(defaults.bytesValue("config"), std::nullopt);
        ASSERT_EQ(feedback.lines.size(), 1u);
        EXPECT_EQ(feedback.lines[0], "could not read " + file("config").string() + ": " + errorText(code) +
                                         "; leaving " + file("config").string() +
                                         " as it is and using the default until Corvane restarts");
        EXPECT_FALSE(defaults.setBytes("config", "defaults"));
        EXPECT_EQ(defaults.keepAside("config"), std::nullopt);
        EXPECT_EQ(defaults.bytesValue("config"), std::nullopt);
        EXPECT_EQ(feedback.lines.size(), 1u);
        EXPECT_EQ(contentsOf(file("config")), "precious");

        EXPECT_TRUE(defaults.setBool("enabled", true));
        EXPECT_EQ(defaults.boolValue("enabled"), true);
        std::filesystem::remove(file("enabled"));
    }

    feedback.lines.clear();
    const std::string huge(2 * 1024 * 1024, '[');
    writeRaw(file("config"), huge);
    FileDefaults defaults(settings(), feedback);
    EXPECT_EQ(defaults.bytesValue("config"), std::nullopt);
    EXPECT_EQ(feedback.lines.size(), 1u);
    EXPECT_FALSE(defaults.setBytes("config", "defaults"));
    EXPECT_EQ(contentsOf(file("config")), huge);
}

TEST_F(FileDefaultsTest, StartUpClearsTemporaryFilesOfDeadWritersOnly) {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ASSERT_GT(child, 0);
    ASSERT_EQ(::waitpid(child, nullptr, 0), child);

    std::filesystem::create_directories(settings());
    const std::string dead = ".config.tmp-" + std::to_string(child) + "-0";
    const std::string live = ".config.tmp-" + std::to_string(::getppid()) + "-0";
    writeRaw(settings() / dead, "half");
    writeRaw(settings() / live, "in flight");
    writeRaw(settings() / "config", "value");

    FileDefaults defaults(settings(), feedback);
    EXPECT_EQ(namesIn(settings()), (std::set<std::string>{"config", live}));
    EXPECT_EQ(defaults.bytesValue("config"), "value");
}

class DefaultDirectoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"XDG_CONFIG_HOME", "HOME"}) {
            const char* value = std::getenv(name);
            saved.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
        }
    }
    void TearDown() override {
        for (const auto& [name, value] : saved) {
            if (value) {
                ::setenv(name, value->c_str(), 1);
            } else {
                ::unsetenv(name);
            }
        }
    }
    std::vector<std::pair<const char*, std::optional<std::string>>> saved;
};

TEST_F(DefaultDirectoryTest, FollowsXdgConfigHomeThenHome) {
    ::setenv("HOME", "/home/someone", 1);
    ::setenv("XDG_CONFIG_HOME", "/elsewhere/config", 1);
    EXPECT_EQ(FileDefaults::defaultDirectory(), "/elsewhere/config/corvane");

    ::setenv("XDG_CONFIG_HOME", "relative/config", 1);  // not absolute: ignored
    EXPECT_EQ(FileDefaults::defaultDirectory(), "/home/someone/.config/corvane");

    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(FileDefaults::defaultDirectory(), "/home/someone/.config/corvane");
}

}  // namespace
}  // namespace corvane::xdg
