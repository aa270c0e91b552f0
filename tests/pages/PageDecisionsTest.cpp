#include "hart/DeviceRecord.h"
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

using Commands = std::vector<std::uint8_t>;
using Icon = PromptService::Icon;

TEST(ItemText, OnlyTheFirst255CharactersCount) {
    EXPECT_EQ(ReadItemNumber(std::string(254, ' ') + "5"), 5.0);
    EXPECT_EQ(ReadItemNumber(std::string(255, ' ') + "5"), 0.0);
    EXPECT_EQ(ReadItemInteger(std::string(254, ' ') + "7"), 7);
    EXPECT_EQ(ReadItemInteger(std::string(255, ' ') + "7"), 0);
}

TEST(OutputDecisions, TrimChecksEachReadingInItsOrderAndStoresItFirst) {
    // The upper bound is judged on the stored 32-bit value, the lower one on
    // the number as read.
    const struct {
        const char* first;
        const char* second;
        PageField refused; // None: accepted
    } cases[] = {
        {"3.0", "18.0", PageField::None},
        {"6.0", "22.0", PageField::None},
        {"6.00000001", "22.0000001", PageField::None},
        {"2.99999999", "18", PageField::FirstReading},
        {"6.001", "18", PageField::FirstReading},
        {"nan", "18", PageField::FirstReading},
        {"1e400", "18", PageField::FirstReading},
        {"4", "17.999", PageField::SecondReading},
        {"4", "22.001", PageField::SecondReading},
        {"7", "30", PageField::FirstReading},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.first) + " / " + c.second);
        DeviceRecord device;
        device.fixedCurrent = 12.0f;
        const PagePlan plan = PlanTrim(c.first, c.second, device);
        const float first = static_cast<float>(ReadItemNumber(c.first));
        EXPECT_TRUE(device.trimZeroCurrent == first || std::isnan(first));
        if (c.refused == PageField::None) {
            EXPECT_EQ(plan.commands, (Commands{0, 45, 46, 40}));
            EXPECT_EQ(device.trimGainCurrent, static_cast<float>(ReadItemNumber(c.second)));
            EXPECT_EQ(device.fixedCurrent, 0.0f);
        } else {
            EXPECT_EQ(plan.refusal, (PageRefusal{"strCurrentErr", Icon::Information, c.refused}));
            EXPECT_EQ(device.fixedCurrent, 12.0f);
        }
    }
}

TEST(OutputDecisions, SendFixesOnlyCurrentsInTheBandAsStored) {
    for (const char* typed : {"3.8", "20.5", "3.7999", "20.5001"}) {
        DeviceRecord device;
        EXPECT_EQ(PlanSendCurrent(TypedCurrent(typed), device).commands, (Commands{0, 40}));
        EXPECT_EQ(device.fixedCurrent, TypedCurrent(typed)) << typed;
    }
    for (const char* typed : {"", "3.7998", "20.5002", "nan", "-inf", "1e39"}) {
        DeviceRecord device;
        EXPECT_EQ(PlanSendCurrent(TypedCurrent(typed), device).refusal,
                  (PageRefusal{"strCurrentErr", Icon::Information, PageField::FixedCurrent}))
            << typed;
        EXPECT_EQ(device.fixedCurrent, 0.0f);
    }
}

TEST(InfoDecisions, TransmitterDatesAreCalendarDatesInTheYearsOfTheByte) {
    const struct {
        int year, month, day;
        bool valid;
    } cases[] = {
        {2014, 3, 5, true},   {2000, 2, 29, true},   {2024, 2, 29, true},  {1900, 1, 1, true},
        {2154, 12, 31, true}, {1900, 2, 29, false},  {2023, 2, 29, false}, {2024, 2, 30, false},
        {2024, 4, 31, false}, {2024, 1, 0, false},   {2024, 13, 1, false}, {2024, 0, 1, false},
        {2155, 1, 1, false},  {1899, 12, 31, false},
    };
    for (const auto& c : cases) {
        DeviceRecord device;
        std::tie(device.dateYear, device.dateMonth, device.dateDay) =
            std::tuple(c.year, c.month, c.day);
        EXPECT_EQ(TransmitterDate(device).has_value(), c.valid)
            << c.year << "-" << c.month << "-" << c.day;
    }
}

// Both the address written into the transmitter and the one the tool polls:
// a short frame carries 0..15 only, so any other number is refused or sends
// nothing at all rather than a frame for another address.
TEST(InfoDecisions, AddressesOutsideZeroToFifteenAreRefusedAndNeverPolled) {
    HartProtocol protocol;
    DeviceRecord& device = protocol.Device();
    const std::pair<const char*, int> cases[] = {
        {"15", 15}, {"0", 0},   {"", 0},     {" 3abc", 3},        {" 12 ", 12},
        {"16", -1}, {"-1", -1}, {"256", -1}, {"99999999999", -1}, {"-99999999999", -1},
    };
    for (const auto& [text, address] : cases) {
        SCOPED_TRACE(text);
        device.newPollingAddress = 9;
        const PagePlan change = PlanAddressChange(text, device);
        device.pollingAddress = PollingAddressOfText(text);
        ASSERT_EQ(protocol.PrepareRequest(0), address >= 0);
        if (address >= 0) {
            EXPECT_EQ(change.commands, (Commands{0, 6}));
            EXPECT_EQ(device.newPollingAddress, address);
            EXPECT_EQ(protocol.TxFrame()[11], 0x80 + address);
        } else {
            EXPECT_EQ(change.refusal,
                      (PageRefusal{"strNOErr", Icon::Warning, PageField::NewAddress}));
            EXPECT_EQ(device.newPollingAddress, 9);
        }
    }
}

// Every text a user can type on the configuration pages, fed what users do
// type by mistake: nothing, words, numbers too large for any field, negative
// numbers and text in other scripts. Each page either refuses with its
// message or sends values the transmitter can take.
// Texts that read as no number, or as one no field can take.
const char* const kBadTexts[] = {"",       " \t ",    "abc",    "12abc", "1,5",   "0x1F",
                                 "nan",    "-nan",    "inf",    "-inf",  "1e400", "-1e400",
                                 "3.5e38", "-3.5e38", "1e-400", "-5"};

std::vector<std::string> BadTexts() {
    std::vector<std::string> texts(std::begin(kBadTexts), std::end(kBadTexts));
    // Chinese characters, a full-width "4.0", bytes that are no UTF-8 at all,
    // and texts longer than the 255 characters a dialog item gives.
    texts.insert(texts.end(), {"-99999999999999999999", "\xE4\xB8\xAD\xE6\x96\x87",
                               "\xEF\xBC\x94\xEF\xBC\x8E\xEF\xBC\x90", "\xFF\xFE\x80",
                               std::string(300, '9'), std::string(1000, 'A')});
    return texts;
}

TEST(PageInput, SensorPageSendsOnlyFiniteNumbersOrRefusesTheRange) {
    for (int field = 0; field < 5; ++field) {
        for (const std::string& text : BadTexts()) {
            SCOPED_TRACE("field " + std::to_string(field) + ", typed: " + text);
            SensorSetup setup;
            SensorSettings& s = setup.Settings();
            s.unitText = "F"; // with the range of the type the page starts with
            std::string* fields[] = {&s.zeroText, &s.spanText, &s.dampingText, &s.offset1Text,
                                     &s.offset2Text};
            *fields[field] = text;
            // Each conversion rewrites the texts; what they become must still
            // give a sound update.
            for (const char* unit : {"F", "K", "\u00B0C"}) {
                setup.ChooseUnit(unit);
                DeviceRecord device;
                const PagePlan plan = setup.PlanUpdate(device);
                if (plan.Refused()) {
                    // Only the range can be refused here, with the span's message.
                    EXPECT_EQ(plan.refusal, (PageRefusal{"SpanErr", Icon::Error, PageField::Span}));
                    EXPECT_LT(field, 2);
                    continue;
                }
                EXPECT_TRUE(std::isfinite(device.lowerRangeValue) &&
                            std::isfinite(device.upperRangeValue));
                EXPECT_GE(std::fabs(device.upperRangeValue - device.lowerRangeValue), 10.0f);
                EXPECT_TRUE(std::isfinite(device.damping) && device.damping >= 0.0f);
                EXPECT_TRUE(std::isfinite(device.sensorValueA) &&
                            std::isfinite(device.sensorValueB));
            }
        }
    }
}

TEST(PageInput, InformationPageSendsFieldsOfTheirLength) {
    HartProtocol protocol;
    DeviceRecord& device = protocol.Device();
    for (const std::string& text : BadTexts()) {
        SCOPED_TRACE("typed: " + text);
        // Whatever was typed, commands 17 and 18 carry exactly their packed
        // fields (24 and 21 data bytes), never more.
        EXPECT_EQ(PlanInfoUpdate({{2024, 2, 29}, text, text, text}, device).commands,
                  (Commands{0, 17, 18}));
        for (const auto& [command, length] : {std::pair{17, 24}, {18, 21}}) {
            ASSERT_TRUE(protocol.PrepareRequest(static_cast<std::uint8_t>(command)));
            EXPECT_EQ(protocol.TxFrame()[17], length);
            EXPECT_EQ(protocol.FrameLength(), 18u + length + 3u);
        }
    }
}

} // namespace
