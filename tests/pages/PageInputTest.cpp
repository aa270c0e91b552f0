// Every text a user can type on the configuration pages, fed what users do
// type by mistake: nothing, words, numbers too large for any field, negative
// numbers and text in other scripts. Each page either refuses with its
// message (and sends nothing) or sends values the transmitter can take.
#include "hart/DeviceRecord.h"
#include "hart/HartCodec.h"
#include "hart/HartProtocol.h"
#include "pages/InfoDecisions.h"
#include "pages/ItemText.h"
#include "pages/OutputDecisions.h"
#include "pages/SensorSetup.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

const std::vector<std::string> kBadTexts = {
    "",
    " \t ",
    "abc",
    "12abc",
    "19.5 mA",
    "1,5",
    "0x1F",
    "nan",
    "-nan",
    "inf",
    "-inf",
    "1e400",
    "-1e400",
    "3.5e38",
    "-3.5e38",
    "1e-400",
    "-5",
    "-0",
    "99999999999999999999",
    "-99999999999999999999",
    std::string(300, '9'),
    std::string(1000, 'A'),
    "\xE4\xB8\xAD\xE6\x96\x87",             // Chinese characters
    "\xEF\xBC\x94\xEF\xBC\x8E\xEF\xBC\x90", // full-width "4.0"
    "\xC2\xB0"
    "C",            // a degree sign
    "\xFF\xFE\x80", // bytes that are no UTF-8 at all
};

// The unit texts of the sensor page's unit list.
const std::string kCelsius = "\xC2\xB0"
                             "C";
const std::string kKelvin = "K";
const std::string kFahrenheit = "F";

bool Finite(float value) {
    return std::isfinite(value);
}

// What a plan may come to: refused with this message key and focus, and
// nothing to run.
void ExpectRefused(const PagePlan& plan, const char* key, PageField focus) {
    ASSERT_TRUE(plan.Refused());
    EXPECT_EQ(plan.refusal->messageKey, key);
    EXPECT_EQ(plan.refusal->focus, focus);
    EXPECT_TRUE(plan.commands.empty());
}

TEST(PageInput, OutputPageSendsOnlyCurrentsInTheirBands) {
    for (const std::string& text : kBadTexts) {
        SCOPED_TRACE("typed: " + text);
        const double number = ReadItemNumber(text);
        // "Send" with the typed current selected: only a number in the band
        // is sent; otherwise the transmitter's fixed current stays as it was.
        DeviceRecord device;
        device.fixedCurrent = 12.0f;
        const PagePlan send = PlanSendCurrent(TypedCurrent(text), device);
        if (number >= 3.8 && number <= 20.5) {
            EXPECT_EQ(send.commands, (std::vector<std::uint8_t>{0, 40}));
            EXPECT_EQ(device.fixedCurrent, static_cast<float>(number));
        } else {
            ExpectRefused(send, "strCurrentErr", PageField::FixedCurrent);
            EXPECT_EQ(device.fixedCurrent, 12.0f);
        }

        // The trim, with the text as either reading and a good other one.
        DeviceRecord trimmed;
        const PagePlan first = PlanTrim(text, "20.0", trimmed);
        if (number >= 3.0 && number <= 6.0) {
            EXPECT_FALSE(first.Refused());
        } else {
            ExpectRefused(first, "strCurrentErr", PageField::FirstReading);
        }
        const PagePlan second = PlanTrim("4.0", text, trimmed);
        if (number >= 18.0 && number <= 22.0) {
            EXPECT_FALSE(second.Refused());
        } else {
            ExpectRefused(second, "strCurrentErr", PageField::SecondReading);
        }
    }
}

TEST(PageInput, SensorPageSendsOnlyFiniteNumbersOrRefusesTheRange) {
    enum class Field { Zero, Span, Damping, Offset1, Offset2 };
    for (const Field field :
         {Field::Zero, Field::Span, Field::Damping, Field::Offset1, Field::Offset2}) {
        for (const std::string& unit : {kCelsius, kFahrenheit}) {
            for (const std::string& text : kBadTexts) {
                SCOPED_TRACE("field " + std::to_string(static_cast<int>(field)) + ", unit " + unit +
                             ", typed: " + text);
                SensorSetup setup;
                SensorSettings& s = setup.Settings();
                s.unitText = unit;
                s.zeroText = "0";
                s.spanText = "100";
                s.dampingText = "1";
                std::string* target = field == Field::Zero      ? &s.zeroText
                                      : field == Field::Span    ? &s.spanText
                                      : field == Field::Damping ? &s.dampingText
                                      : field == Field::Offset1 ? &s.offset1Text
                                                                : &s.offset2Text;
                *target = text;

                DeviceRecord device;
                const PagePlan plan = setup.PlanUpdate(device);
                if (plan.Refused()) {
                    // Only the range can be refused here, with the span's message.
                    ExpectRefused(plan, "SpanErr", PageField::Span);
                    EXPECT_TRUE(field == Field::Zero || field == Field::Span);
                    continue;
                }
                EXPECT_EQ(plan.commands, (std::vector<std::uint8_t>{0, 35, 186, 187, 34, 42}));
                EXPECT_TRUE(Finite(device.lowerRangeValue) && Finite(device.upperRangeValue));
                EXPECT_GE(std::fabs(device.upperRangeValue - device.lowerRangeValue), 10.0f);
                EXPECT_TRUE(Finite(device.damping));
                EXPECT_GE(device.damping, 0.0f);
                EXPECT_TRUE(Finite(device.sensorValueA) && Finite(device.sensorValueB));
            }
        }
    }
}

TEST(PageInput, SensorPageUnitChangeKeepsBadTextsHarmless) {
    for (const std::string& text : kBadTexts) {
        SCOPED_TRACE("typed: " + text);
        SensorSetup setup;
        SensorSettings& s = setup.Settings();
        s.unitText = kCelsius;
        s.zeroText = text;
        s.spanText = text;
        s.offset1Text = text;
        s.offset2Text = text;
        // Each conversion rewrites the texts; what they become must still
        // give a sound update.
        for (const std::string& unit : {kKelvin, kFahrenheit, kCelsius}) {
            setup.ChooseUnit(unit);
            DeviceRecord device;
            const PagePlan plan = setup.PlanUpdate(device);
            if (plan.Refused()) {
                ExpectRefused(plan, "SpanErr", PageField::Span);
            } else {
                EXPECT_TRUE(Finite(device.lowerRangeValue) && Finite(device.upperRangeValue));
                EXPECT_TRUE(Finite(device.sensorValueA) && Finite(device.sensorValueB));
            }
        }
    }
}

TEST(PageInput, InformationPageSendsFieldsOfTheirLengthAndOnlyAddressesItCanReach) {
    HartProtocol protocol;
    DeviceRecord& device = protocol.Device();
    for (const std::string& text : kBadTexts) {
        SCOPED_TRACE("typed: " + text);
        // Texts: whatever was typed, commands 17 and 18 carry exactly their
        // packed fields (24 and 21 data bytes), never more.
        const PagePlan update = PlanInfoUpdate({{2024, 2, 29}, text, text, text}, device);
        EXPECT_EQ(update.commands, (std::vector<std::uint8_t>{0, 17, 18}));
        for (const auto& [command, length] : {std::pair{17, 24}, std::pair{18, 21}}) {
            ASSERT_TRUE(protocol.PrepareRequest(static_cast<std::uint8_t>(command)));
            EXPECT_EQ(protocol.TxFrame()[17], length);
            EXPECT_EQ(protocol.FrameLength(), 18u + length + 3u);
        }
        // The tag (the first 8 packed characters of command 18) is at most
        // the 8 characters typed, in the packed alphabet.
        const std::string tag = HartCodec::UnpackAsciiText(
            std::span<const std::uint8_t>(protocol.TxFrame().data() + 18, 6));
        EXPECT_LE(tag.size(), 8u);
        for (const char c : tag) {
            EXPECT_TRUE(c >= 0x20 && c <= 0x5F) << static_cast<int>(c);
        }

        // The new polling address: a number 0..15 is sent, anything else
        // refused with its message; no text that reads as a number outside
        // the range gets through.
        const std::int32_t number = ReadItemInteger(text);
        device.newPollingAddress = 7;
        const PagePlan change = PlanAddressChange(text, device);
        if (number >= 0 && number <= 15) {
            EXPECT_EQ(change.commands, (std::vector<std::uint8_t>{0, 6}));
            EXPECT_EQ(device.newPollingAddress, number);
        } else {
            ExpectRefused(change, "strNOErr", PageField::NewAddress);
            EXPECT_EQ(device.newPollingAddress, 7);
        }

        // The address in use, typed into the address list: a short frame
        // carries 0..15 only, so any other number sends nothing at all rather
        // than a frame for another address.
        device.pollingAddress = PollingAddressOfText(text);
        const bool sendable = protocol.PrepareRequest(0);
        EXPECT_EQ(sendable, number >= 0 && number <= 15);
        if (sendable) {
            EXPECT_EQ(protocol.TxFrame()[11], 0x80 + number);
        }

        // The final assembly number: always its three bytes.
        EXPECT_EQ(PlanFinalAssemblyWrite(text, device).commands,
                  (std::vector<std::uint8_t>{0, 19}));
        ASSERT_TRUE(protocol.PrepareRequest(19));
        EXPECT_EQ(protocol.TxFrame()[17], 3);
    }
}

} // namespace
