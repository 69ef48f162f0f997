#include "ports/xdg/atomic_file.hpp"

#include <cerrno>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/ports/scratch_directory.hpp"

namespace corvane::xdg {
namespace {

using testing::contentsOf;
using testing::modeOf;
using testing::namesIn;
using testing::ScratchDirectory;
using testing::writeRaw;

TEST(AtomicFile, ReplaceHonoursTheModeWhateverTheUmask) {
    ScratchDirectory scratch;
    const mode_t previous = ::umask(0277);
    const auto error = replaceFile(scratch.path(), "entry", "one", 0600);
    ::umask(previous);
    ASSERT_FALSE(error) << error->message;
    EXPECT_EQ(contentsOf(scratch.path() / "entry"), "one");
    EXPECT_EQ(modeOf(scratch.path() / "entry"), 0600u);
}

TEST(AtomicFile, CreateNeverReplacesAnExistingFile) {
    ScratchDirectory scratch;
    writeRaw(scratch.path() / "taken", "keep me");

    const auto error = createFile(scratch.path(), "taken", "intruder");
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code, EEXIST);
    EXPECT_EQ(contentsOf(scratch.path() / "taken"), "keep me");
    EXPECT_EQ(namesIn(scratch.path()), std::set<std::string>{"taken"});  // no temporary file left

    ASSERT_FALSE(createFile(scratch.path(), "free", "new"));
    EXPECT_EQ(contentsOf(scratch.path() / "free"), "new");
}

TEST(AtomicFile, WriteIntoMissingDirectoryNamesTheTarget) {
    ScratchDirectory scratch;
    const auto error = replaceFile(scratch.path() / "absent", "entry", "x");
    ASSERT_TRUE(error);
    EXPECT_EQ(error->message,
              "could not write " + (scratch.path() / "absent" / "entry").string() + ": " + errorText(ENOENT));
}

TEST(AtomicFile, ReadTellsMissingFromUnreadable) {
    ScratchDirectory scratch;
    const auto missing = readFile(scratch.path() / "none", 100);
    EXPECT_FALSE(missing.bytes);
    EXPECT_FALSE(missing.error);

    // A FIFO must neither block nor be read as a value.
    ASSERT_EQ(::mkfifo((scratch.path() / "fifo").c_str(), 0600), 0);
    const auto fifo = readFile(scratch.path() / "fifo", 100);
    EXPECT_FALSE(fifo.bytes);
    EXPECT_TRUE(fifo.error);

    writeRaw(scratch.path() / "big", std::string(101, 'x'));
    EXPECT_TRUE(readFile(scratch.path() / "big", 100).error);
    EXPECT_EQ(readFile(scratch.path() / "big", 101).bytes, std::string(101, 'x'));
}

TEST(AtomicFile, TemporaryNamesCarryTheirOwner) {
    EXPECT_EQ(temporaryFileOwner(".config.tmp-4242-0"), 4242);
    EXPECT_EQ(temporaryFileOwner(".corvane.desktop.tmp-17-3"), 17);
    EXPECT_FALSE(temporaryFileOwner("config.tmp-4242-0"));
    EXPECT_FALSE(temporaryFileOwner(".config.tmp-4242"));
    EXPECT_FALSE(temporaryFileOwner(".config.tmp--1-0"));
    EXPECT_FALSE(temporaryFileOwner(".config.tmp-0-0"));
    EXPECT_FALSE(temporaryFileOwner(".config.tmp-99999999999999999999-0"));
    EXPECT_FALSE(temporaryFileOwner(".tmp-5-0"));
}

}  // namespace
}  // namespace corvane::xdg
