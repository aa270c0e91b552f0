#include "sim/RequestAssembler.h"

#include "tests/sim/WireFrames.h"

#include <gtest/gtest.h>

namespace {

const std::array<std::uint8_t, 5> kAddress{0xBE, 0x04, 0x5A, 0x00, 0x01};

TEST(RequestAssembler, JoinsAFrameSplitIntoSingleBytes) {
    RequestAssembler assembler;
    const auto request = WireFrames::LongRequest(kAddress, 34, {0x3F, 0x80, 0x00, 0x00});
    std::vector<RequestFrame> frames;
    for (const std::uint8_t byte : request) {
        auto result = assembler.Feed(std::span(&byte, 1));
        frames.insert(frames.end(), result.m_frames.begin(), result.m_frames.end());
    }
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_TRUE(frames[0].m_longAddress);
    EXPECT_EQ(frames[0].m_address, kAddress);
    EXPECT_EQ(frames[0].m_command, 34);
    EXPECT_EQ(frames[0].m_data, (std::vector<std::uint8_t>{0x3F, 0x80, 0x00, 0x00}));
}

TEST(RequestAssembler, SkipsGarbageAndStrayDelimitersBeforeAFrame) {
    RequestAssembler assembler;
    // 0x02 and 0x82 in the garbage look like delimiters; the 0x82 one claims
    // more data bytes than follow before the real frame.
    std::vector<std::uint8_t> bytes{0x13, 0x02, 0x55, 0x82, 0x01, 0x02,
                                    0x03, 0x04, 0x05, 0x01, 0x30};
    const auto request = WireFrames::ShortRequest(3);
    bytes.insert(bytes.end(), request.begin(), request.end());
    const auto result = assembler.Feed(bytes);
    ASSERT_EQ(result.m_frames.size(), 1u);
    EXPECT_FALSE(result.m_frames[0].m_longAddress);
    EXPECT_EQ(result.m_frames[0].m_address[0], 0x83);
    EXPECT_EQ(result.m_frames[0].m_command, 0);
}

TEST(RequestAssembler, DropsAFrameWithABadChecksumAndFindsTheNextOne) {
    RequestAssembler assembler;
    auto spoiled = WireFrames::LongRequest(kAddress, 1);
    spoiled[spoiled.size() - 3] ^= 0x01;
    auto result = assembler.Feed(spoiled);
    EXPECT_TRUE(result.m_frames.empty());
    EXPECT_EQ(result.m_badChecksums, 1u);

    const auto good = WireFrames::LongRequest(kAddress, 2);
    result = assembler.Feed(good);
    ASSERT_EQ(result.m_frames.size(), 1u);
    EXPECT_EQ(result.m_frames[0].m_command, 2);
}

TEST(RequestAssembler, CutsSeveralFramesFromOneChunkAndKeepsAPartialOne) {
    RequestAssembler assembler;
    auto bytes = WireFrames::ShortRequest(0);
    const auto second = WireFrames::LongRequest(kAddress, 13);
    bytes.insert(bytes.end(), second.begin(), second.end());
    const auto third = WireFrames::LongRequest(kAddress, 15);
    bytes.insert(bytes.end(), third.begin(), third.begin() + 9);

    auto result = assembler.Feed(bytes);
    ASSERT_EQ(result.m_frames.size(), 2u);
    EXPECT_EQ(result.m_frames[1].m_command, 13);
    EXPECT_GT(assembler.PendingBytes(), 0u);

    result = assembler.Feed(std::span(third).subspan(9));
    ASSERT_EQ(result.m_frames.size(), 1u);
    EXPECT_EQ(result.m_frames[0].m_command, 15);
}

TEST(RequestAssembler, AcceptsAFrameWithoutPreamblesAndKeepsMemoryBounded) {
    RequestAssembler assembler;
    // Long runs of bytes that never complete a frame must not pile up.
    const std::vector<std::uint8_t> noise(5000, 0x82);
    assembler.Feed(noise);
    EXPECT_LE(assembler.PendingBytes(), RequestAssembler::kMaxFrame);

    assembler.Reset();
    const std::vector<std::uint8_t> bare{0x02, 0x80, 0x00, 0x00, 0x82};
    const auto result = assembler.Feed(bare);
    ASSERT_EQ(result.m_frames.size(), 1u);
    EXPECT_EQ(result.m_frames[0].m_address[0], 0x80);
}

} // namespace
