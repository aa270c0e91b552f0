#include "sim/RequestAssembler.h"

#include "tests/sim/SimTestSupport.h"

constexpr LongAddress kAddress = SimulatorHarness::kFirstAddress;

TEST(RequestAssembler, JoinsSingleBytesAcceptsNoPreamblesAndKeepsMemoryBounded) {
    RequestAssembler assembler;
    // Long runs of bytes that never complete a frame must not pile up.
    assembler.Feed(Bytes(5000, 0x82));
    EXPECT_LE(assembler.PendingBytes(), RequestAssembler::kMaxFrame);
    assembler.Reset();
    const auto bare = assembler.Feed(Bytes{0x02, 0x80, 0x00, 0x00, 0x82});
    ASSERT_EQ(bare.m_frames.size(), 1u);
    EXPECT_EQ(bare.m_frames[0].m_address[0], 0x80);
    const Bytes data{0x3F, 0x80, 0x00, 0x00};
    std::vector<RequestFrame> frames;
    for (const std::uint8_t byte : WireFrames::LongRequest(kAddress, 34, data)) {
        const auto result = assembler.Feed(std::span(&byte, 1));
        frames.insert(frames.end(), result.m_frames.begin(), result.m_frames.end());
    }
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(std::tie(frames[0].m_longAddress, frames[0].m_address, frames[0].m_command,
                       frames[0].m_data),
              std::tuple(true, kAddress, 34, data));
}

TEST(RequestAssembler, SkipsGarbageAndBadChecksumsCutsSeveralFramesAndKeepsAPartialOne) {
    RequestAssembler assembler;
    Bytes spoiled = WireFrames::LongRequest(kAddress, 1);
    spoiled[spoiled.size() - 3] ^= 0x01; // the checksum
    // 0x02 and 0x82 in the garbage look like delimiters; the 0x82 one claims
    // more data bytes than follow before the next frame.
    const Bytes garbage{0x13, 0x02, 0x55, 0x82, 0x01, 0x02, 0x03, 0x04, 0x05, 0x01, 0x30};
    const Bytes last = WireFrames::LongRequest(kAddress, 15);
    Bytes bytes;
    for (const Bytes& part : {spoiled, WireFrames::LongRequest(kAddress, 13), garbage,
                              WireFrames::ShortRequest(3), Bytes(last.begin(), last.begin() + 9)}) {
        bytes.insert(bytes.end(), part.begin(), part.end());
    }
    auto result = assembler.Feed(bytes);
    EXPECT_EQ(result.m_badChecksums, 2u); // the spoiled frame and the 0x02 in the garbage
    ASSERT_EQ(result.m_frames.size(), 2u);
    EXPECT_EQ(std::tuple(result.m_frames[0].m_command, result.m_frames[1].m_longAddress,
                         result.m_frames[1].m_address[0]),
              std::tuple(13, false, 0x83));
    result = assembler.Feed(std::span(last).subspan(9));
    ASSERT_EQ(result.m_frames.size(), 1u);
    EXPECT_EQ(result.m_frames[0].m_command, 15);
}
