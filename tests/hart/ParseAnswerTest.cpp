#include "hart/HartProtocol.h"

#include "tests/hart/AnswerFrames.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

AnswerSpec Spec(std::uint8_t command, std::size_t preambles = 5, std::uint8_t code = 0) {
    AnswerSpec spec;
    spec.command = command;
    spec.preambles = preambles;
    spec.responseCode = code;
    if (command == 1) {
        spec.data = Join({{32}, Float(25.5f)});
    } else if (command == 2) {
        spec.data = Join({Float(12.0f), Float(50.0f)});
    } else if (command == 152) {
        spec.data = Bytes(34, 0x5A);
    }
    return spec;
}

Bytes Answer(std::uint8_t command, std::size_t preambles = 5, std::uint8_t code = 0) {
    return MakeAnswer(Spec(command, preambles, code));
}

Bytes Joined(Bytes first, const Bytes& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

Bytes Flipped(Bytes bytes, std::size_t at) {
    bytes[at] ^= 0x40;
    return bytes;
}

class ParseAnswer : public ::testing::Test {
protected:
    bool Parse(std::uint8_t command, const Bytes& bytes) {
        m_Protocol.PrepareRequest(command);
        return m_Protocol.ParseAnswer(bytes);
    }
    HartProtocol m_Protocol;
};

} // namespace

TEST_F(ParseAnswer, FindsAndChecksTheFrameByTheWireRules) {
    const Bytes pv = Answer(1);
    struct Case {
        const char* what;
        std::uint8_t command;
        Bytes bytes;
        bool accepted;
    };
    const Case cases[] = {
        {"five preambles", 1, pv, true},
        {"twenty preambles", 1, Answer(1, 20), true},
        // No 0xFF among the first ten bytes: the search starts at index 10.
        {"delimiter at 0", 1, Joined(Answer(1, 0), Bytes(4, 0)), false},
        {"delimiter at 10 after noise", 1, Joined(Bytes(10, 0x11), Answer(1, 0)), true},
        {"delimiter at 39", 36, Answer(36, 39), true},
        {"delimiter at 40", 36, Answer(36, 40), false},
        // Only the first delimiter is tried.
        {"stray delimiter first", 1, Joined({0xFF, 0xFF, 0x86, 0xFF, 0xFF}, Answer(1, 2)), false},
        {"response code 0x40", 1, Answer(1, 5, 0x40), false},
        {"response code 0x01", 1, Answer(1, 5, 0x01), false},
        {"communication error 0x80", 1, Answer(1, 5, 0x80), false},
        {"bad checksum", 1, Flipped(pv, pv.size() - 1), false},
        {"a data bit flipped", 1, Flipped(pv, 12), false},
        {"answer to another command", 1, Answer(2), false},
        // At most sixty bytes are looked at.
        {"frame ending past byte 60", 152, Answer(152, 20), false},
        {"frame ending within 60", 152, Answer(152), true},
        // Fewer than sixteen bytes are never complete.
        {"fifteen bytes", 36, Answer(36, 4), false},
        {"sixteen bytes", 36, Joined(Answer(36, 4), {0xFF}), true},
    };
    for (const Case& c : cases) {
        m_Protocol.Device() = DeviceRecord{};
        EXPECT_EQ(Parse(c.command, c.bytes), c.accepted) << c.what;
        if (c.command == 1) {
            EXPECT_EQ(m_Protocol.Device().pv, c.accepted ? 25.5f : 0.0f) << c.what;
        }
    }
    Parse(1, Answer(2));
    EXPECT_EQ(m_Protocol.AnswerCommand(), 2);
    EXPECT_EQ(m_Protocol.AnswerByteCount(), 10);
}

TEST_F(ParseAnswer, SplitAnswerIsAcceptedOnceItsLastByteHasArrived) {
    const Bytes answer = Answer(1);
    for (std::size_t cut = 1; cut < answer.size(); ++cut) {
        EXPECT_FALSE(Parse(1, Bytes(answer.begin(), answer.begin() + static_cast<long>(cut))))
            << cut;
    }
    EXPECT_TRUE(Parse(1, answer));
}

TEST_F(ParseAnswer, ShortFramesClearTheAnswerBufferUpToIndexThirtyNine) {
    ASSERT_TRUE(Parse(152, Answer(152)));
    ASSERT_TRUE(Parse(36, Answer(36)));
    const auto& frame = m_Protocol.AnswerFrame();
    ASSERT_EQ(m_Protocol.AnswerByteCount(), 2); // checksum at index 10
    for (std::size_t i = 11; i < 40; ++i) {
        EXPECT_EQ(frame[i], 0) << i;
    }
    EXPECT_EQ(frame[40], 0x5A); // beyond index 39 the earlier frame stays
}
