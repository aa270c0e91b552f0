#include "hart/CommandTable.h"
#include "hart/HartCodec.h"
#include "hart/HartProtocol.h"
#include "hart/UnitTables.h"

#include "tests/hart/AnswerFrames.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
using Kind = TransactionResult::Kind;

class DecodeAnswer : public ::testing::Test {
protected:
    void TearDown() override { ChineseUnitsFlag = false; }

    bool Parse(std::uint8_t command, const Bytes& bytes) {
        m_Protocol.PrepareRequest(command);
        return m_Protocol.ParseAnswer(bytes);
    }
    bool Answer(std::uint8_t command, const Bytes& data) {
        return Parse(command, MakeAnswer({.command = command, .data = data}));
    }

    Bytes Sent() const {
        const auto& tx = m_Protocol.TxFrame();
        return Bytes(tx.begin(), tx.begin() + m_Protocol.FrameLength());
    }

    // The data bytes of the long request just built, after checking the frame around them.
    Bytes DataOf(std::uint8_t command) {
        m_Record.longAddress = {0x91, 0x04, 0x01, 0x02, 0x03};
        EXPECT_TRUE(m_Protocol.PrepareRequest(command)) << int(command);
        const auto& tx = m_Protocol.TxFrame();
        const std::uint8_t n = tx[17];
        const Bytes data(tx.begin() + 18, tx.begin() + 18 + std::min<int>(n, 39));
        const Bytes head = Join({{0x82, 0x91, 0x04, 0x01, 0x02, 0x03, command, n}, data});
        std::uint8_t checksum = 0;
        for (std::uint8_t byte : head) {
            checksum ^= byte;
        }
        EXPECT_EQ(Sent(), Join({Bytes(10, 0xFF), head, {checksum, 0xFF, 0xFF}})) << int(command);
        return data;
    }

    HartProtocol m_Protocol;
    DeviceRecord& m_Record = m_Protocol.Device();
};

Bytes Pattern(std::size_t size, std::uint8_t seed) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::uint8_t>((seed + 37 * i + 1) & 0x3F); // never a NaN float
    }
    return bytes;
}

Bytes Frame(std::uint8_t command, std::size_t preambles = 5, std::uint8_t code = 0) {
    const Bytes data = command == 1     ? Join({{32}, Float(25.5f)})
                       : command == 2   ? Join({Float(12.0f), Float(50.0f)})
                       : command == 152 ? Bytes(34, 0x5A)
                                        : Bytes{};
    return MakeAnswer(
        {.command = command, .data = data, .preambles = preambles, .responseCode = code});
}

Bytes Flipped(Bytes bytes, std::size_t at) {
    bytes[at] ^= 0x40;
    return bytes;
}

} // namespace

using RequestFrame = DecodeAnswer;

TEST_F(DecodeAnswer, EachCommandFramesItsRequestAndTakesOnlyAnswersOfItsByteCount) {
    for (int number = 1; number < 256; ++number) {
        const CommandInfo& info = CommandTable::Of(static_cast<std::uint8_t>(number));
        const auto command = info.number;
        // A long request carries the command's data length; others build nothing.
        if (info.sendable) {
            EXPECT_EQ(DataOf(command).size(), static_cast<std::size_t>(info.requestBytes))
                << number;
        } else {
            EXPECT_FALSE(m_Protocol.PrepareRequest(command)) << number;
            EXPECT_EQ(m_Protocol.FrameLength(), 0u) << number;
        }
        if (info.answerBytes < 2) {
            continue;
        }
        const auto size = static_cast<std::size_t>(info.answerBytes - 2);
        // Wrong counts, one less and one more, leave the record as it was.
        for (std::size_t wrong : {size - 1, size + 1}) {
            if (wrong > 40) {
                continue;
            }
            const DeviceRecord before = m_Record;
            EXPECT_FALSE(Answer(command, Pattern(wrong, command))) << number << "/" << wrong;
            EXPECT_TRUE(m_Record == before) << number << " stored a rejected answer";
        }
        EXPECT_TRUE(Answer(command, Pattern(size, command))) << number;
    }
}

TEST_F(DecodeAnswer, CommandZeroChecksThePollingAddressAndBuildsTheLongAddress) {
    // An identity answer from polling address 3 with the given expanded device type.
    auto answer = [this](std::uint8_t type) {
        //               manuf type  prm   urev drev srev hrev flag id0   id1   id2
        const Bytes data{254, 0x26, type, 5, 5, 1, 2, 3, 0, 0xAA, 0xBB, 0xCC};
        return Parse(
            0,
            MakeAnswer({.command = 0, .data = data, .longAddress = false, .shortAddress = 0x83}));
    };
    m_Record.pollingAddress = 4;
    EXPECT_FALSE(answer(8));
    EXPECT_EQ(m_Record.longAddress, (std::array<std::uint8_t, 5>{}));

    m_Record.pollingAddress = 3;
    ASSERT_TRUE(answer(8));
    EXPECT_EQ(m_Record.longAddress, (std::array<std::uint8_t, 5>{0xA6, 8, 0xAA, 0xBB, 0xCC}));
    EXPECT_EQ(m_Record.deviceTypeName, "HART 智能变送器");
    // Another device type keeps the name; type 3 has its own.
    ASSERT_TRUE(answer(77));
    EXPECT_EQ(m_Record.deviceTypeName, "HART 智能变送器");
    ASSERT_TRUE(answer(3));
    EXPECT_EQ(m_Record.deviceTypeName, "通用型HART 智能压力变送器");

    // The next long request goes to the address just learnt.
    ASSERT_TRUE(m_Protocol.PrepareRequest(1));
    EXPECT_EQ(Bytes(&m_Protocol.TxFrame()[11], &m_Protocol.TxFrame()[16]),
              (Bytes{0xA6, 3, 0xAA, 0xBB, 0xCC}));
}

TEST_F(DecodeAnswer, ReadCommandsFillTheRecord) {
    const DeviceRecord& r = m_Record;
    ASSERT_TRUE(Answer(1, Join({{33}, Float(98.6f)})));
    EXPECT_EQ(std::tie(r.pvUnitText, r.pv), std::tuple("F", 98.6f));
    ASSERT_TRUE(Answer(2, Join({Float(12.0f), Float(50.0f)})));
    EXPECT_EQ(std::tie(r.loopCurrent, r.percentOfRange), std::tuple(12.0f, 50.0f));
    ASSERT_TRUE(
        Answer(3, Join({Float(12.0f), {32}, Float(1.0f), {32}, Float(2.0f), {32}, Float(3.0f)})));
    EXPECT_EQ(std::tie(r.pv3, r.sv, r.tv), std::tuple(1.0f, 2.0f, 3.0f));
    ASSERT_TRUE(Answer(14, Join({{0, 0, 1, 32}, Float(850.0f), Float(-200.0f), Float(10.0f)})));
    EXPECT_EQ(std::tie(r.sensorLimitUnitText, r.upperSensorLimit, r.lowerSensorLimit),
              std::tuple("°C", 850.0f, -200.0f));
    ASSERT_TRUE(Answer(15, Join({{0, 0, 35}, Float(373.0f), Float(273.0f), Float(1.5f), {0, 0}})));
    EXPECT_EQ(std::tie(r.pvUnitText, r.upperRangeValue, r.lowerRangeValue, r.damping),
              std::tuple("K", 373.0f, 273.0f, 1.5f));
    ASSERT_TRUE(Answer(161, {0x34, 0x12, 0xFF, 0x00}));
    EXPECT_EQ(m_Record.wordPair161, (std::array<std::uint16_t, 2>{0x1234, 0x00FF}));
    ASSERT_TRUE(Answer(162, {12, 255, 10, 0, 0, 0, 0}));
    EXPECT_EQ(m_Record.versionText, "V12.25510");
    ChineseUnitsFlag = true;
    ASSERT_TRUE(Answer(1, Join({{32}, Float(20.0f)})));
    EXPECT_EQ(m_Record.pvUnitText, "℃");
}

TEST_F(DecodeAnswer, RangeAnswerOfAnyLengthIsAcceptedAndReadsZerosBeyondIt) {
    ASSERT_TRUE(Answer(15, Join({{0, 0, 33}, Float(100.0f), Float(1.0f), Float(2.0f), {0, 0}})));
    // Seven data bytes: the frame's checksum is at index 17, d[7]; what lies
    // after it reads as zero, not as the longer answer before.
    ASSERT_TRUE(Answer(15, Join({{0, 0, 32}, Float(150.0f)})));
    EXPECT_EQ(std::tie(m_Record.pvUnitText, m_Record.upperRangeValue), std::tuple("°C", 150.0f));
    const std::uint8_t checksum = m_Protocol.AnswerFrame()[17];
    EXPECT_EQ(m_Record.lowerRangeValue,
              HartCodec::FloatFromBytes(std::array<std::uint8_t, 4>{checksum, 0, 0, 0}));
    EXPECT_EQ(m_Record.damping, 0.0f);
    EXPECT_TRUE(Answer(15, {}));
    EXPECT_EQ(m_Record.pvUnitText, "?");
}

TEST_F(DecodeAnswer, WriteCommandsSendWhatTheReadCommandsDecode) {
    // Each write command's request data is the answer layout of its read
    // command: read into a blank record, the write sends the same bytes back
    // only if every field landed where it belongs.
    const std::vector<std::pair<std::uint8_t, std::uint8_t>> writeThenRead{
        {17, 12},   {18, 13},   {19, 16},   {180, 140}, {181, 141}, {182, 142}, {183, 143},
        {185, 145}, {186, 146}, {187, 147}, {188, 148}, {190, 150}, {192, 152}};
    for (const auto& [write, read] : writeThenRead) {
        m_Record = DeviceRecord{};
        Bytes data = Pattern(CommandTable::Of(write).requestBytes, write);
        if (write == 190) {
            data.back() = 3 * 5; // stored as a third of itself
        }
        m_Record.byte192 = data.back(); // the byte after block 152 is not read back
        ASSERT_TRUE(Answer(read, Bytes(data.begin(), data.end() - (write == 192)))) << int(read);
        EXPECT_EQ(DataOf(write), data) << int(write) << " after reading " << int(read);
    }
    // The date's year byte counts from 1900.
    for (const auto& [byte, year] : {std::pair<std::uint8_t, int>{0, 1900}, {255, 2155}}) {
        ASSERT_TRUE(Answer(13, Join({Bytes(20, 0), {byte}})));
        EXPECT_EQ(m_Record.dateYear, year);
        EXPECT_EQ(DataOf(18).back(), byte);
    }
}

TEST(ParseAnswer, FindsChecksAndJudgesTheFrameByTheWireRules) {
    const Bytes pv = Frame(1);
    struct Case {
        const char* what;
        std::uint8_t command;
        Bytes bytes;
        Kind kind; // NoAnswer: no complete frame was found
        Rejection rejection = Rejection::None;
    };
    const Case cases[] = {
        {"five preambles", 1, pv, Kind::Success},
        {"twenty preambles", 1, Frame(1, 20), Kind::Success},
        // No 0xFF among the first ten bytes: the search starts at index 10.
        {"delimiter at 0", 1, Join({Frame(1, 0), Bytes(4, 0)}), Kind::NoAnswer},
        {"delimiter at 10 after noise", 1, Join({Bytes(10, 0x11), Frame(1, 0)}), Kind::Success},
        {"delimiter at 39", 36, Frame(36, 39), Kind::Success},
        {"delimiter at 40", 36, Frame(36, 40), Kind::NoAnswer},
        // Only the first delimiter is tried.
        {"stray delimiter first", 1, Join({{0xFF, 0xFF, 0x86, 0xFF, 0xFF}, Frame(1, 2)}),
         Kind::Rejected, Rejection::Checksum},
        {"response code 0x40", 1, Frame(1, 5, 0x40), Kind::Refused},
        {"response code 0x01", 1, Frame(1, 5, 0x01), Kind::Refused},
        {"communication error 0x80", 1, Frame(1, 5, 0x80), Kind::Refused},
        // A refusal may be no more than its two status bytes, short of sixteen.
        {"short refusal", 1, MakeAnswer({.longAddress = false, .preambles = 2, .responseCode = 64}),
         Kind::Refused},
        {"bad checksum", 1, Flipped(pv, pv.size() - 1), Kind::Rejected, Rejection::Checksum},
        {"a byte count bit flipped: waits for more", 1, Flipped(pv, 12), Kind::NoAnswer},
        {"byte count", 1, MakeAnswer({.data = Bytes(6)}), Kind::Rejected, Rejection::ByteCount},
        {"answer to another command", 1, Frame(2), Kind::Rejected, Rejection::OtherCommand},
        // A late refusal of the command before is no refusal of this one.
        {"refusal of another command", 1, MakeAnswer({.command = 16, .responseCode = 32}),
         Kind::Rejected, Rejection::OtherCommand},
        // At most sixty bytes are looked at.
        {"frame ending past byte 60", 152, Frame(152, 20), Kind::NoAnswer},
        {"frame ending within 60", 152, Frame(152), Kind::Success},
        // Fewer than sixteen bytes are never complete.
        {"fifteen bytes", 36, Frame(36, 4), Kind::NoAnswer},
        {"sixteen bytes", 36, Join({Frame(36, 4), {0xFF}}), Kind::Success},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HartProtocol protocol;
        protocol.PrepareRequest(c.command);
        EXPECT_EQ(protocol.ParseAnswer(c.bytes), c.kind == Kind::Success);
        EXPECT_EQ(protocol.AttemptVerdict().kind, c.kind);
        EXPECT_EQ(protocol.AttemptVerdict().rejection, c.rejection);
        EXPECT_EQ(protocol.Device().pv, c.command == 1 && c.kind == Kind::Success ? 25.5f : 0.0f);
    }
}

TEST_F(DecodeAnswer, SplitAnswerIsAcceptedOnceItsLastByteHasArrived) {
    const Bytes answer = Frame(1);
    for (std::size_t cut = 1; cut < answer.size(); ++cut) {
        EXPECT_FALSE(Parse(1, Bytes(answer.begin(), answer.begin() + static_cast<long>(cut))))
            << cut;
    }
    EXPECT_TRUE(Parse(1, answer));
}

TEST_F(DecodeAnswer, ShortFramesClearTheAnswerBufferUpToIndexThirtyNine) {
    ASSERT_TRUE(Parse(152, Frame(152)));
    ASSERT_TRUE(Parse(36, Frame(36)));
    const auto& frame = m_Protocol.AnswerFrame();
    ASSERT_EQ(m_Protocol.AnswerByteCount(), 2); // checksum at index 10
    EXPECT_EQ(Bytes(frame.begin() + 11, frame.begin() + 40), Bytes(29, 0));
    EXPECT_EQ(frame[40], 0x5A); // beyond index 39 the earlier frame stays
    Parse(1, Frame(2));
    EXPECT_EQ(std::tuple(m_Protocol.AnswerCommand(), m_Protocol.AnswerByteCount()),
              std::tuple(2, 10));
}

TEST_F(RequestFrame, CommandZeroIsTheShortFrameToThePollingAddress) {
    for (const auto& [polling, address, checksum] : {std::array<std::uint8_t, 3>{0, 0x80, 0x82},
                                                     std::array<std::uint8_t, 3>{15, 0x8F, 0x8D}}) {
        m_Record.pollingAddress = polling;
        ASSERT_TRUE(m_Protocol.PrepareRequest(0));
        EXPECT_EQ(Sent(), Join({Bytes(10, 0xFF), {0x02, address, 0, 0, checksum, 0xFF, 0xFF}}));
    }
    m_Record.pollingAddress = 16; // beyond what a short frame carries
    EXPECT_FALSE(m_Protocol.PrepareRequest(0));
}

TEST_F(RequestFrame, RequestDataComesFromTheRecord) {
    // (Writes whose data a read command returns are checked by reading back.)
    m_Record.newPollingAddress = 7;
    m_Record.damping = 2.0f;
    m_Record.pvUnitText = "\u2103";
    m_Record.upperRangeValue = 100.0f;
    m_Record.lowerRangeValue = -50.0f;
    m_Record.fixedCurrent = 12.0f;
    m_Record.trimZeroCurrent = 4.01f;
    m_Record.trimGainCurrent = 19.98f;
    m_Record.value137 = 1.0f;
    m_Record.byte138a = 0xA1;
    m_Record.byte138b = 0xB2;
    m_Record.bytes141 = {1, 2, 3, 4, 5};
    m_Record.selector152 = {0x11, 0x22};
    m_Record.floats144 = {10.0f, 20.0f, 30.0f};
    m_Record.selector184 = 1;
    m_Record.message = "hello";
    m_Record.tag = "tt-01";
    m_Record.descriptor = "boiler feed";
    const std::pair<std::uint8_t, Bytes> cases[] = {
        {6, {7}},
        {34, Float(2.0f)},
        {35, Join({{32}, Float(100.0f), Float(-50.0f)})},
        {40, Float(12.0f)},
        {45, Float(4.01f)},
        {46, Float(19.98f)},
        {137, Float(1.0f)},
        {194, Float(1.0f)},
        {138, {0xA1, 1, 2, 3, 4, 0xB2}},
        {153, {0x11, 0x22, 0x20}},
    };
    for (const auto& [command, data] : cases) {
        EXPECT_EQ(DataOf(command), data) << int(command);
    }
    // The final assembly number is read as hexadecimal, up to its last six digits.
    const std::pair<const char*, Bytes> numbers[] = {{"ab12", {0x00, 0xAB, 0x12}},
                                                     {"12345678", {0x34, 0x56, 0x78}},
                                                     {"12zz", {0x00, 0x00, 0x12}},
                                                     {"none", {0x00, 0x00, 0x00}}};
    for (const auto& [text, data] : numbers) {
        m_Record.finalAssemblyNumber = text;
        EXPECT_EQ(DataOf(19), data) << text;
    }
    m_Record.flag160 = 5;
    EXPECT_EQ(DataOf(160), Bytes{1});
    m_Record.flag160 = 0;
    EXPECT_EQ(DataOf(160), Bytes{2});
    EXPECT_EQ(DataOf(184), Join({Float(20.0f), {1}}));
    m_Record.selector184 = 7; // any other selector sends the third
    EXPECT_EQ(DataOf(184), Join({Float(30.0f), {7}}));
    // Packed texts are upper-cased in the record as they are sent.
    DataOf(17);
    DataOf(18);
    EXPECT_EQ(std::tie(m_Record.message, m_Record.tag, m_Record.descriptor),
              std::tuple("HELLO", "TT-01", "BOILER FEED"));
}
