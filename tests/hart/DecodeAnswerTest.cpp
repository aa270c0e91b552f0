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

// Answer data sizes (byte count - 2) of every command whose count is tested.
const std::vector<std::pair<std::uint8_t, std::size_t>> kDataSizes{
    {1, 5},    {2, 8},   {3, 19},  {6, 1},    {12, 24},  {13, 21},  {14, 16},  {16, 3},   {17, 24},
    {18, 21},  {19, 3},  {34, 4},  {35, 9},   {36, 0},   {37, 0},   {40, 4},   {42, 0},   {45, 4},
    {46, 4},   {137, 4}, {138, 6}, {140, 8},  {141, 5},  {142, 4},  {143, 19}, {144, 12}, {145, 4},
    {146, 12}, {147, 3}, {148, 2}, {150, 5},  {152, 34}, {153, 34}, {160, 1},  {161, 4},  {162, 7},
    {163, 0},  {164, 0}, {180, 8}, {181, 5},  {182, 4},  {183, 19}, {184, 5},  {185, 4},  {186, 12},
    {187, 3},  {188, 2}, {190, 5}, {192, 35}, {194, 4},
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
    for (const auto& [command, size] : kDataSizes) {
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

TEST_F(DecodeAnswer, AnswersToAnotherCommandOrAnUnknownOneAreRejected) {
    m_Protocol.PrepareRequest(2);
    AnswerSpec spec;
    spec.command = 1;
    spec.data = Pattern(5, 0);
    const DeviceRecord before = m_Record;
    EXPECT_FALSE(m_Protocol.ParseAnswer(MakeAnswer(spec)));
    EXPECT_TRUE(m_Record == before);
    for (std::uint8_t command : {139, 149, 189}) {
        EXPECT_FALSE(Answer(command, {})) << int(command);
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

TEST_F(DecodeAnswer, TextsAndDate) {
    // "HELLO" packed, padded to 32 characters.
    Bytes message(24);
    ASSERT_TRUE(HartCodec::PackAscii("HELLO WORLD", 32, message));
    ASSERT_TRUE(Answer(12, message));
    EXPECT_EQ(m_Record.message, "HELLO WORLD");

    Bytes tag(6), descriptor(12);
    ASSERT_TRUE(HartCodec::PackAscii("TT-01", 8, tag));
    ASSERT_TRUE(HartCodec::PackAscii("BOILER", 16, descriptor));
    ASSERT_TRUE(Answer(13, Join({tag, descriptor, {5, 3, 255}})));
    EXPECT_EQ(m_Record.tag, "TT-01");
    EXPECT_EQ(m_Record.descriptor, "BOILER");
    EXPECT_EQ(m_Record.dateDay, 5);
    EXPECT_EQ(m_Record.dateMonth, 3);
    EXPECT_EQ(m_Record.dateYear, 2155);

    ASSERT_TRUE(Answer(16, {0x0A, 0xBC, 0x01}));
    EXPECT_EQ(m_Record.finalAssemblyNumber, "0ABC01");

    ASSERT_TRUE(Answer(162, {1, 0, 3, 0, 0, 0, 0}));
    EXPECT_EQ(m_Record.versionText, "V1.03");
    ASSERT_TRUE(Answer(162, {12, 255, 10, 0, 0, 0, 0}));
    EXPECT_EQ(m_Record.versionText, "V12.25510");
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

TEST_F(DecodeAnswer, SensorAndDisplayBlocks) {
    ASSERT_TRUE(Answer(146, Join({{3, 255, 0x12, 0x13}, Float(0.25f), Float(-1.0f)})));
    EXPECT_EQ(m_Record.sensor1Type, 3);
    EXPECT_EQ(m_Record.sensor2Type, 255);
    EXPECT_EQ(m_Record.sensorSetupA, 0x12);
    EXPECT_EQ(m_Record.sensorSetupB, 0x13);
    EXPECT_EQ(m_Record.sensorValueA, 0.25f);
    EXPECT_EQ(m_Record.sensorValueB, -1.0f);

    ASSERT_TRUE(Answer(147, {2, 1, 1}));
    EXPECT_EQ(m_Record.displaySettings, (std::array<std::uint8_t, 3>{2, 1, 1}));
}

TEST_F(DecodeAnswer, DeviceSpecificValues) {
    ASSERT_TRUE(Answer(150, Join({Float(7.5f), {7}})));
    EXPECT_EQ(m_Record.value150, 7.5f);
    EXPECT_EQ(m_Record.byte150, 2);
    m_Protocol.PrepareRequest(190);
    EXPECT_EQ(m_Protocol.TxFrame()[22], 6);

    ASSERT_TRUE(Answer(161, {0x34, 0x12, 0xFF, 0x00}));
    EXPECT_EQ(m_Record.wordPair161, (std::array<std::uint16_t, 2>{0x1234, 0x00FF}));

    ASSERT_TRUE(Answer(143, {9, 1, 2, 3, 4, 5, 6, 7, 8, 0, 0, 0x80, 1, 0, 0, 0, 0, 3, 0x81}));
    EXPECT_EQ(m_Record.byte143, 9);
    EXPECT_EQ(m_Record.bytes143a, (std::array<std::uint8_t, 4>{1, 2, 3, 4}));
    EXPECT_EQ(m_Record.bytes143b, (std::array<std::uint8_t, 4>{5, 6, 7, 8}));
    EXPECT_EQ(m_Record.number143a, 1.5);
    EXPECT_EQ(m_Record.number143b, -768.0);

    ASSERT_TRUE(Answer(140, Join({Float(1.0f), Float(2.0f)})));
    EXPECT_EQ(m_Record.floatPair140, (std::array<float, 2>{1.0f, 2.0f}));
    ASSERT_TRUE(Answer(144, Join({Float(1.0f), Float(2.0f), Float(3.0f)})));
    EXPECT_EQ(m_Record.floats144, (std::array<float, 3>{1.0f, 2.0f, 3.0f}));
    ASSERT_TRUE(Answer(141, {1, 2, 3, 4, 5}));
    EXPECT_EQ(m_Record.bytes141, (std::array<std::uint8_t, 5>{1, 2, 3, 4, 5}));
    ASSERT_TRUE(Answer(148, {7, 8}));
    EXPECT_EQ(m_Record.bytePair148, (std::array<std::uint8_t, 2>{7, 8}));
    const Bytes block = Pattern(34, 1);
    ASSERT_TRUE(Answer(153, block));
    EXPECT_EQ(Bytes(m_Record.block152.begin(), m_Record.block152.end()), block);
}
