#include "hart/CommandTable.h"
#include "hart/HartCodec.h"
#include "hart/HartProtocol.h"

#include "tests/hart/AnswerFrames.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

const std::array<std::uint8_t, 5> kAddress{0x91, 0x04, 0x01, 0x02, 0x03};

class RequestFrame : public ::testing::Test {
protected:
    void SetUp() override { m_Protocol.Device().longAddress = kAddress; }

    Bytes Frame() const {
        const auto& tx = m_Protocol.TxFrame();
        return Bytes(tx.begin(),
                     tx.begin() + static_cast<std::ptrdiff_t>(m_Protocol.FrameLength()));
    }

    // The data bytes of the long request just built, after checking the frame around them.
    Bytes DataOf(std::uint8_t command) {
        EXPECT_TRUE(m_Protocol.PrepareRequest(command)) << int(command);
        const Bytes frame = Frame();
        EXPECT_GE(frame.size(), 21u);
        if (frame.size() < 21) {
            return {};
        }
        EXPECT_EQ(Bytes(frame.begin(), frame.begin() + 10), Bytes(10, 0xFF));
        EXPECT_EQ(frame[10], 0x82);
        EXPECT_EQ(Bytes(frame.begin() + 11, frame.begin() + 16),
                  Bytes(kAddress.begin(), kAddress.end()));
        EXPECT_EQ(frame[16], command);
        const std::size_t n = frame[17];
        EXPECT_EQ(frame.size(), 21 + n);
        std::uint8_t checksum = 0;
        for (std::size_t i = 10; i < 18 + n; ++i) {
            checksum ^= frame[i];
        }
        EXPECT_EQ(frame[18 + n], checksum);
        EXPECT_EQ(frame[19 + n], 0xFF);
        EXPECT_EQ(frame[20 + n], 0xFF);
        return Bytes(frame.begin() + 18, frame.begin() + 18 + static_cast<std::ptrdiff_t>(n));
    }

    HartProtocol m_Protocol;
    DeviceRecord& m_Record = m_Protocol.Device();
};

} // namespace

TEST_F(RequestFrame, CommandZeroIsTheShortFrameToThePollingAddress) {
    m_Record.pollingAddress = 0;
    ASSERT_TRUE(m_Protocol.PrepareRequest(0));
    const Bytes expected{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                         0xFF, 0x02, 0x80, 0x00, 0x00, 0x82, 0xFF, 0xFF};
    EXPECT_EQ(Frame(), expected);

    m_Record.pollingAddress = 15;
    ASSERT_TRUE(m_Protocol.PrepareRequest(0));
    EXPECT_EQ(Frame()[11], 0x8F);
    EXPECT_EQ(Frame()[14], 0x02 ^ 0x8F);
}

TEST_F(RequestFrame, EveryLongRequestIsFramedWithItsDataLength) {
    for (int number = 1; number < 256; ++number) {
        const CommandInfo& info = CommandTable::Of(static_cast<std::uint8_t>(number));
        if (!info.sendable) {
            EXPECT_FALSE(m_Protocol.PrepareRequest(info.number)) << number;
            continue;
        }
        EXPECT_EQ(DataOf(info.number).size(), static_cast<std::size_t>(info.requestBytes))
            << number;
    }
}

TEST_F(RequestFrame, UniversalCommandData) {
    m_Record.newPollingAddress = 7;
    EXPECT_EQ(DataOf(6), Bytes{7});

    m_Record.damping = 2.0f;
    EXPECT_EQ(DataOf(34), Float(2.0f));

    m_Record.pvUnitText = "\u2103";
    m_Record.upperRangeValue = 100.0f;
    m_Record.lowerRangeValue = -50.0f;
    EXPECT_EQ(DataOf(35), Join({{32}, Float(100.0f), Float(-50.0f)}));

    m_Record.fixedCurrent = 12.0f;
    m_Record.trimZeroCurrent = 4.01f;
    m_Record.trimGainCurrent = 19.98f;
    EXPECT_EQ(DataOf(40), Float(12.0f));
    EXPECT_EQ(DataOf(45), Float(4.01f));
    EXPECT_EQ(DataOf(46), Float(19.98f));
}

TEST_F(RequestFrame, PackedTextsAreUpperCasedInTheRecord) {
    m_Record.message = "hello";
    const Bytes data = DataOf(17);
    EXPECT_EQ(data.size(), 24u);
    EXPECT_EQ(m_Protocol.FrameLength(), 45u);
    EXPECT_EQ(m_Record.message, "HELLO");

    m_Record.tag = "tt-01";
    m_Record.descriptor = "boiler feed";
    m_Record.dateDay = 5;
    m_Record.dateMonth = 3;
    m_Record.dateYear = 2014;
    const Bytes data18 = DataOf(18);
    ASSERT_EQ(data18.size(), 21u);
    EXPECT_EQ(m_Record.tag, "TT-01");
    EXPECT_EQ(m_Record.descriptor, "BOILER FEED");
    EXPECT_EQ(HartCodec::UnpackAsciiText(std::span(data18).first(6)), "TT-01");
    EXPECT_EQ(HartCodec::UnpackAsciiText(std::span(data18).subspan(6, 12)), "BOILER FEED");
    EXPECT_EQ(Bytes(data18.begin() + 18, data18.end()), (Bytes{5, 3, 114}));
}

TEST_F(RequestFrame, FinalAssemblyNumberIsReadAsHexadecimal) {
    m_Record.finalAssemblyNumber = "ab12";
    EXPECT_EQ(DataOf(19), (Bytes{0x00, 0xAB, 0x12}));
    m_Record.finalAssemblyNumber = "12345678";
    EXPECT_EQ(DataOf(19), (Bytes{0x34, 0x56, 0x78}));
    m_Record.finalAssemblyNumber = "12zz";
    EXPECT_EQ(DataOf(19), (Bytes{0x00, 0x00, 0x12}));
    m_Record.finalAssemblyNumber = "none";
    EXPECT_EQ(DataOf(19), (Bytes{0x00, 0x00, 0x00}));
}

TEST_F(RequestFrame, DeviceSpecificCommandData) {
    // (Writes whose data a read command returns are checked by reading back.)
    m_Record.value137 = 1.0f;
    EXPECT_EQ(DataOf(137), Float(1.0f));
    EXPECT_EQ(DataOf(194), Float(1.0f));
    m_Record.byte138a = 0xA1;
    m_Record.byte138b = 0xB2;
    m_Record.bytes141 = {1, 2, 3, 4, 5};
    EXPECT_EQ(DataOf(138), (Bytes{0xA1, 1, 2, 3, 4, 0xB2}));
    m_Record.selector152 = {0x11, 0x22};
    EXPECT_EQ(DataOf(153), (Bytes{0x11, 0x22, 0x20}));
    m_Record.flag160 = 5;
    EXPECT_EQ(DataOf(160), Bytes{1});
    m_Record.flag160 = 0;
    EXPECT_EQ(DataOf(160), Bytes{2});
    m_Record.floats144 = {10.0f, 20.0f, 30.0f};
    m_Record.selector184 = 1;
    EXPECT_EQ(DataOf(184), Join({Float(20.0f), {1}}));
    m_Record.selector184 = 7; // any other selector sends the third
    EXPECT_EQ(DataOf(184), Join({Float(30.0f), {7}}));
}

TEST_F(RequestFrame, UnknownCommandBuildsNothing) {
    ASSERT_TRUE(m_Protocol.PrepareRequest(1));
    EXPECT_FALSE(m_Protocol.PrepareRequest(99));
    EXPECT_EQ(m_Protocol.FrameLength(), 0u);
}
