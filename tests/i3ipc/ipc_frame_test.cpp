#include "ports/i3ipc/ipc_frame.hpp"

#include <gtest/gtest.h>

namespace corvane::i3ipc {
namespace {

std::string header(std::uint32_t length, std::uint32_t type) {
    std::string out = "i3-ipc";
    for (std::uint32_t v : {length, type})
        for (int s = 0; s < 32; s += 8) out.push_back(static_cast<char>((v >> s) & 0xff));
    return out;
}

TEST(IpcFrame, EncodesMagicLittleEndianLengthAndTypeThenPayload) {
    EXPECT_EQ(encodeFrame(MessageType::runCommand, "nop"), header(3, 0) + "nop");
    // Bytes above 0x7f must not sign-extend into the neighbouring fields.
    const std::string big = encodeFrame(0x80000005u, std::string(0x1ff, 'x'));
    EXPECT_EQ(big.substr(0, 14), header(0x1ff, 0x80000005u));
}

TEST(IpcFrame, ReadsFramesSplitAnywhereAndBackToBack) {
    const std::string stream =
        encodeFrame(4, R"({"a":1})") + encodeFrame(0x80000005u, "{}") + encodeFrame(1, "");
    // Feeding one byte at a time exercises every split point of the header.
    FrameReader reader;
    std::vector<Frame> frames;
    for (char c : stream) {
        reader.feed(std::string_view(&c, 1));
        while (auto f = reader.next()) frames.push_back(*f);
    }
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0].type, 4u);
    EXPECT_EQ(frames[0].payload, R"({"a":1})");
    EXPECT_TRUE(frames[1].isEvent());
    EXPECT_EQ(frames[1].eventType(), EventType::binding);
    EXPECT_EQ(frames[2].payload, "");
    EXPECT_EQ(reader.pending(), 0u);
    EXPECT_FALSE(reader.failed());
}

TEST(IpcFrame, TruncatedFrameWaitsAndBrokenStreamsFailForGood) {
    FrameReader truncated;
    truncated.feed(header(10, 0) + "short");
    EXPECT_FALSE(truncated.next());
    EXPECT_FALSE(truncated.failed());

    // Wrong magic fails as soon as the first wrong byte is in.
    FrameReader garbage;
    garbage.feed("HTTP/1.1 400");
    EXPECT_FALSE(garbage.next());
    EXPECT_TRUE(garbage.failed());
    garbage.feed(encodeFrame(0, "[]"));
    EXPECT_FALSE(garbage.next()) << "a broken stream never resynchronises";

    // A length no window manager sends must not make us buffer gigabytes.
    FrameReader huge;
    huge.feed(header(0xffffffffu, 4));
    EXPECT_FALSE(huge.next());
    EXPECT_TRUE(huge.failed());
}

}  // namespace
}  // namespace corvane::i3ipc
