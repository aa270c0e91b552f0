#include "hart/CommandTable.h"
#include "hart/HartCodec.h"
#include "hart/HartProtocol.h"
#include "hart/UnitTables.h"

#include "tests/hart/AnswerFrames.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

class DecodeAnswer : public ::testing::Test {
protected:
    void TearDown() override { ChineseUnitsFlag = false; }

    bool Answer(std::uint8_t command, const Bytes& data, int byteCountOverride = -1) {
        m_Protocol.PrepareRequest(command);
        AnswerSpec spec;
        spec.command = command;
        spec.data = data;
        spec.byteCountOverride = byteCountOverride;
        return m_Protocol.ParseAnswer(MakeAnswer(spec));
    }

    bool ShortAnswer(std::uint8_t addressByte, const Bytes& data) {
        m_Protocol.PrepareRequest(0);
        AnswerSpec spec;
        spec.command = 0;
        spec.longAddress = false;
        spec.shortAddress = addressByte;
        spec.data = data;
        return m_Protocol.ParseAnswer(MakeAnswer(spec));
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

} // namespace

TEST_F(DecodeAnswer, EachDecoderAcceptsOnlyItsByteCountAndRejectsWithoutStoring) {
    for (int number = 1; number < 256; ++number) {
        const CommandInfo& info = CommandTable::Of(static_cast<std::uint8_t>(number));
        if (info.answerBytes < 2) {
            continue;
        }
        const auto command = info.number;
        const auto size = static_cast<std::size_t>(info.answerBytes - 2);
        // Wrong counts, one less and one more, leave the record as it was.
        for (std::size_t wrong : {size - 1, size + 1}) {
            if (wrong > 40) {
                continue;
            }
            const DeviceRecord before = m_Record;
            EXPECT_FALSE(Answer(command, Pattern(wrong, command))) << int(command) << "/" << wrong;
            EXPECT_TRUE(m_Record == before) << int(command) << " stored a rejected answer";
        }
        EXPECT_TRUE(Answer(command, Pattern(size, command))) << int(command);
    }
}

TEST_F(DecodeAnswer, CommandZeroChecksThePollingAddressAndBuildsTheLongAddress) {
    //                manuf type  prm  urev drev srev hrev flag id0   id1   id2
    const Bytes data{254, 0x26, 8, 5, 5, 1, 2, 3, 0, 0xAA, 0xBB, 0xCC};
    m_Record.pollingAddress = 4;
    EXPECT_FALSE(ShortAnswer(0x83, data));
    EXPECT_EQ(m_Record.longAddress, (std::array<std::uint8_t, 5>{}));

    m_Record.pollingAddress = 3;
    ASSERT_TRUE(ShortAnswer(0x83, data));
    EXPECT_EQ(m_Record.longAddress, (std::array<std::uint8_t, 5>{0xA6, 8, 0xAA, 0xBB, 0xCC}));
    EXPECT_EQ(m_Record.deviceTypeName, "HART 智能变送器");

    // Another device type keeps the name; type 3 has its own.
    Bytes other = data;
    other[2] = 77;
    ASSERT_TRUE(ShortAnswer(0x83, other));
    EXPECT_EQ(m_Record.deviceTypeName, "HART 智能变送器");
    other[2] = 3;
    ASSERT_TRUE(ShortAnswer(0x83, other));
    EXPECT_EQ(m_Record.deviceTypeName, "通用型HART 智能压力变送器");

    // The next long request goes to the address just learnt.
    ASSERT_TRUE(m_Protocol.PrepareRequest(1));
    EXPECT_EQ(m_Protocol.TxFrame()[11], 0xA6);
    EXPECT_EQ(m_Protocol.TxFrame()[15], 0xCC);
}

TEST_F(DecodeAnswer, ProcessValues) {
    ASSERT_TRUE(Answer(1, Join({{33}, Float(98.6f)})));
    EXPECT_EQ(m_Record.pvUnitText, "F");
    EXPECT_EQ(m_Record.pv, 98.6f);

    ASSERT_TRUE(Answer(2, Join({Float(12.0f), Float(50.0f)})));
    EXPECT_EQ(m_Record.loopCurrent, 12.0f);
    EXPECT_EQ(m_Record.percentOfRange, 50.0f);

    ASSERT_TRUE(
        Answer(3, Join({Float(12.0f), {32}, Float(1.0f), {32}, Float(2.0f), {32}, Float(3.0f)})));
    EXPECT_EQ(m_Record.pv3, 1.0f);
    EXPECT_EQ(m_Record.sv, 2.0f);
    EXPECT_EQ(m_Record.tv, 3.0f);

    ChineseUnitsFlag = true;
    ASSERT_TRUE(Answer(1, Join({{32}, Float(20.0f)})));
    EXPECT_EQ(m_Record.pvUnitText, "℃");
}

TEST_F(DecodeAnswer, SensorLimitsAndRange) {
    ASSERT_TRUE(Answer(14, Join({{0, 0, 1, 32}, Float(850.0f), Float(-200.0f), Float(10.0f)})));
    EXPECT_EQ(m_Record.sensorLimitUnitText, "°C");
    EXPECT_EQ(m_Record.upperSensorLimit, 850.0f);
    EXPECT_EQ(m_Record.lowerSensorLimit, -200.0f);

    ASSERT_TRUE(Answer(15, Join({{0, 0, 35}, Float(373.0f), Float(273.0f), Float(1.5f), {0, 0}})));
    EXPECT_EQ(m_Record.pvUnitText, "K");
    EXPECT_EQ(m_Record.upperRangeValue, 373.0f);
    EXPECT_EQ(m_Record.lowerRangeValue, 273.0f);
    EXPECT_EQ(m_Record.damping, 1.5f);
}

TEST_F(DecodeAnswer, RangeAnswerOfAnyLengthIsAcceptedAndReadsZerosBeyondIt) {
    ASSERT_TRUE(Answer(15, Join({{0, 0, 33}, Float(100.0f), Float(1.0f), Float(2.0f), {0, 0}})));
    // Seven data bytes: the frame's checksum is at index 17, d[7]; what lies
    // after it reads as zero, not as the longer answer before.
    ASSERT_TRUE(Answer(15, Join({{0, 0, 32}, Float(150.0f)})));
    EXPECT_EQ(m_Record.pvUnitText, "°C");
    EXPECT_EQ(m_Record.upperRangeValue, 150.0f);
    const std::uint8_t checksum = m_Protocol.AnswerFrame()[17];
    EXPECT_EQ(m_Record.lowerRangeValue,
              HartCodec::FloatFromBytes(std::array<std::uint8_t, 4>{checksum, 0, 0, 0}));
    EXPECT_EQ(m_Record.damping, 0.0f);
    EXPECT_TRUE(Answer(15, {}));
    EXPECT_EQ(m_Record.pvUnitText, "?");
}

TEST_F(DecodeAnswer, WriteCommandsSendWhatTheReadCommandsDecode) {
    // Each write command's request data is the answer layout of its read
    // command: what the tool writes, it reads back unchanged.
    DeviceRecord& r = m_Record;
    r.message = "CALIBRATED 2026";
    r.tag = "TT-01";
    r.descriptor = "BOILER FEED";
    r.dateDay = 5;
    r.dateMonth = 3;
    r.dateYear = 2155;
    r.finalAssemblyNumber = "0ABC01";
    r.floatPair140 = {1.5f, -2.5f};
    r.bytes141 = {1, 2, 3, 4, 5};
    r.value142 = 3.25f;
    r.byte143 = 9;
    r.bytes143a = {1, 2, 3, 4};
    r.bytes143b = {5, 6, 7, 8};
    r.number143a = 1.5;
    r.number143b = -768.0;
    r.value145 = 4.5f;
    r.sensor1Type = 3;
    r.sensor2Type = 255;
    r.sensorSetupA = 0x12;
    r.sensorSetupB = 0x13;
    r.sensorValueA = 0.25f;
    r.sensorValueB = -1.0f;
    r.displaySettings = {2, 1, 1};
    r.bytePair148 = {7, 8};
    r.value150 = 7.5f;
    r.byte150 = 2;
    for (std::size_t i = 0; i < r.block152.size(); ++i) {
        r.block152[i] = static_cast<std::uint8_t>(3 * i + 1);
    }
    const DeviceRecord written = r;

    const std::vector<std::pair<std::uint8_t, std::uint8_t>> writeThenRead{
        {17, 12},   {18, 13},   {19, 16},   {180, 140}, {181, 141}, {182, 142}, {183, 143},
        {185, 145}, {186, 146}, {187, 147}, {188, 148}, {190, 150}, {192, 152}};
    auto requestData = [this](std::uint8_t write) {
        EXPECT_TRUE(m_Protocol.PrepareRequest(write));
        const auto& tx = m_Protocol.TxFrame();
        return Bytes(tx.begin() + 18, tx.begin() + 18 + tx[17]);
    };
    for (const auto& [write, read] : writeThenRead) {
        m_Record = written;
        const Bytes sent = requestData(write);
        Bytes answer = sent;
        if (write == 192) {
            answer.pop_back(); // the byte after block 152 is not read back
        }
        // Read into a blank record, then write again from what was read: the
        // same bytes go out only if every field landed where it belongs.
        m_Record = DeviceRecord{};
        ASSERT_TRUE(Answer(read, answer)) << int(read);
        EXPECT_EQ(requestData(write), sent) << int(write) << " after reading " << int(read);
    }
    m_Record = DeviceRecord{};
    ASSERT_TRUE(Answer(13, Bytes(requestData(18).size(), 0)));
    EXPECT_EQ(m_Record.dateYear, 1900);
}

TEST_F(DecodeAnswer, WordsAndVersionText) {
    ASSERT_TRUE(Answer(161, {0x34, 0x12, 0xFF, 0x00}));
    EXPECT_EQ(m_Record.wordPair161, (std::array<std::uint16_t, 2>{0x1234, 0x00FF}));
    ASSERT_TRUE(Answer(162, {12, 255, 10, 0, 0, 0, 0}));
    EXPECT_EQ(m_Record.versionText, "V12.25510");
}
