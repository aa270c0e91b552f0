#include "hart/HartProtocol.h"

#include "tests/hart/AnswerFrames.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// A command 1 answer: unit code 32, pv 25.5.
Bytes PvAnswer(std::size_t preambles = 5) {
    AnswerSpec spec;
    spec.command = 1;
    spec.data = Join({{32}, Float(25.5f)});
    spec.preambles = preambles;
    return MakeAnswer(spec);
}

class ParseAnswer : public ::testing::Test {
protected:
    void SetUp() override { m_Protocol.PrepareRequest(1); }

    bool Parse(const Bytes& bytes) { return m_Protocol.ParseAnswer(bytes); }

    HartProtocol m_Protocol;
};

} // namespace

TEST_F(ParseAnswer, AcceptsAnswersWithAnyNumberOfPreambles) {
    for (std::size_t preambles : {5u, 20u}) {
        m_Protocol.Device().pv = 0;
        ASSERT_TRUE(Parse(PvAnswer(preambles))) << preambles;
        EXPECT_EQ(m_Protocol.Device().pv, 25.5f);
        EXPECT_EQ(m_Protocol.AnswerFrame()[0], 0x86);
        EXPECT_EQ(m_Protocol.AnswerCommand(), 1);
        EXPECT_EQ(m_Protocol.AnswerByteCount(), 7);
    }
}

TEST_F(ParseAnswer, WithoutPreamblesTheDelimiterMustBeAtIndexTenOrLater) {
    // No 0xFF in the first ten bytes: the search starts at index 10.
    Bytes atZero = PvAnswer(0);
    atZero.resize(atZero.size() + 4, 0x00);
    EXPECT_FALSE(Parse(atZero));

    Bytes afterNoise(10, 0x11);
    const Bytes answer = PvAnswer(0);
    afterNoise.insert(afterNoise.end(), answer.begin(), answer.end());
    EXPECT_TRUE(Parse(afterNoise));
}

TEST_F(ParseAnswer, DelimiterAtIndexFortyOrLaterIsNeverFound) {
    // 39 preambles put the delimiter at index 39 (found), 40 at index 40 (not).
    AnswerSpec spec;
    spec.command = 36;
    spec.preambles = 39;
    const Bytes at39 = MakeAnswer(spec);
    ASSERT_EQ(at39.size(), 39u + 11u);
    m_Protocol.PrepareRequest(36);
    EXPECT_TRUE(Parse(at39));
    spec.preambles = 40;
    EXPECT_FALSE(Parse(MakeAnswer(spec)));
}

TEST_F(ParseAnswer, StrayDelimiterBeforeTheRealOneFailsTheWholeAttempt) {
    Bytes bytes{0xFF, 0xFF, 0x86, 0xFF, 0xFF};
    const Bytes answer = PvAnswer(2);
    bytes.insert(bytes.end(), answer.begin(), answer.end());
    EXPECT_FALSE(Parse(bytes));
    EXPECT_EQ(m_Protocol.Device().pv, 0.0f);
    EXPECT_TRUE(Parse(PvAnswer()));
}

TEST_F(ParseAnswer, NonZeroResponseCodeIsNotAccepted) {
    AnswerSpec spec;
    spec.command = 1;
    spec.data = Join({{32}, Float(25.5f)});
    for (std::uint8_t code : {0x40, 0x01, 0x80}) {
        spec.responseCode = code;
        EXPECT_FALSE(Parse(MakeAnswer(spec))) << int(code);
    }
    EXPECT_EQ(m_Protocol.Device().pv, 0.0f);
}

TEST_F(ParseAnswer, BadChecksumIsNotAccepted) {
    Bytes answer = PvAnswer();
    answer.back() ^= 0x01;
    EXPECT_FALSE(Parse(answer));
    answer.back() ^= 0x01;
    answer[12] ^= 0x40; // a data bit
    EXPECT_FALSE(Parse(answer));
}

TEST_F(ParseAnswer, SplitAnswerIsAcceptedOnceItsLastByteHasArrived) {
    const Bytes answer = PvAnswer();
    for (std::size_t cut = 1; cut < answer.size(); ++cut) {
        EXPECT_FALSE(
            Parse(Bytes(answer.begin(), answer.begin() + static_cast<std::ptrdiff_t>(cut))))
            << cut;
    }
    EXPECT_TRUE(Parse(answer));
}

TEST_F(ParseAnswer, AFrameEndingPastTheSixtiethByteIsNeverComplete) {
    AnswerSpec big;
    big.command = 152;
    big.data = Bytes(34, 0x5A);
    big.preambles = 20;
    Bytes tooLong = MakeAnswer(big);
    ASSERT_GT(tooLong.size(), 60u);
    m_Protocol.PrepareRequest(152);
    EXPECT_FALSE(Parse(tooLong));
    big.preambles = 5;
    EXPECT_TRUE(Parse(MakeAnswer(big)));
}

TEST_F(ParseAnswer, ShortFramesClearTheAnswerBufferUpToIndexThirtyNine) {
    AnswerSpec big;
    big.command = 152;
    big.data = Bytes(34, 0x5A);
    m_Protocol.PrepareRequest(152);
    ASSERT_TRUE(Parse(MakeAnswer(big)));

    m_Protocol.PrepareRequest(36);
    AnswerSpec small;
    small.command = 36;
    ASSERT_TRUE(Parse(MakeAnswer(small)));
    const auto& frame = m_Protocol.AnswerFrame();
    ASSERT_EQ(m_Protocol.AnswerByteCount(), 2); // checksum at index 10
    for (std::size_t i = 11; i < 40; ++i) {
        EXPECT_EQ(frame[i], 0) << i;
    }
    EXPECT_EQ(frame[40], 0x5A); // beyond index 39 the earlier frame stays
}

TEST_F(ParseAnswer, AnswerToAnotherCommandIsRefusedAfterFraming) {
    AnswerSpec other;
    other.command = 2;
    other.data = Join({Float(12.0f), Float(50.0f)});
    EXPECT_FALSE(Parse(MakeAnswer(other)));
    EXPECT_EQ(m_Protocol.AnswerCommand(), 2);
    EXPECT_EQ(m_Protocol.AnswerByteCount(), 10);
    EXPECT_EQ(m_Protocol.Device().loopCurrent, 0.0f);
}

TEST_F(ParseAnswer, FewerThanSixteenBytesAreNeverComplete) {
    AnswerSpec spec;
    spec.command = 36;
    spec.preambles = 4;
    const Bytes answer = MakeAnswer(spec);
    ASSERT_EQ(answer.size(), 15u);
    m_Protocol.PrepareRequest(36);
    EXPECT_FALSE(Parse(answer));
    Bytes padded = answer;
    padded.push_back(0xFF);
    EXPECT_TRUE(Parse(padded));
}
