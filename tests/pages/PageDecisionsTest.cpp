#include "hart/DeviceRecord.h"
#include "pages/InfoDecisions.h"
#include "pages/ItemText.h"
#include "pages/OutputDecisions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using Commands = std::vector<std::uint8_t>;

TEST(ItemText, OnlyTheFirst255CharactersCount) {
    EXPECT_EQ(ReadItemNumber(std::string(254, ' ') + "5"), 5.0);
    EXPECT_EQ(ReadItemNumber(std::string(255, ' ') + "5"), 0.0);
    EXPECT_EQ(ReadItemInteger(std::string(254, ' ') + "7"), 7);
    EXPECT_EQ(ReadItemInteger(std::string(255, ' ') + "7"), 0);
}

TEST(OutputDecisions, TrimChecksEachReadingInItsOrderAndStoresItFirst) {
    const struct {
        const char* first;
        const char* second;
        PageField refused; // None: accepted
    } cases[] = {
        {"3.0", "18.0", PageField::None},
        {"6.0", "22.0", PageField::None},
        // The upper bound is judged on the stored 32-bit value ...
        {"6.00000001", "22.0000001", PageField::None},
        // ... the lower one on the number as read.
        {"2.99999999", "18", PageField::FirstReading},
        {"2.999", "18", PageField::FirstReading},
        {"6.001", "18", PageField::FirstReading},
        {"", "18", PageField::FirstReading},
        {"abc", "18", PageField::FirstReading},
        {"nan", "18", PageField::FirstReading},
        {"4", "17.999", PageField::SecondReading},
        {"4", "22.001", PageField::SecondReading},
        {"4", "", PageField::SecondReading},
        {"7", "30", PageField::FirstReading},
    };
    for (const auto& c : cases) {
        DeviceRecord device;
        device.fixedCurrent = 12.0f;
        const PagePlan plan = PlanTrim(c.first, c.second, device);
        SCOPED_TRACE(std::string(c.first) + " / " + c.second);
        const float first = static_cast<float>(ReadItemNumber(c.first));
        EXPECT_TRUE(device.trimZeroCurrent == first ||
                    (std::isnan(first) && std::isnan(device.trimZeroCurrent)));
        if (c.refused == PageField::None) {
            EXPECT_FALSE(plan.Refused());
            EXPECT_EQ(plan.commands, (Commands{0, 45, 46, 40}));
            EXPECT_EQ(device.trimGainCurrent, static_cast<float>(ReadItemNumber(c.second)));
            EXPECT_EQ(device.fixedCurrent, 0.0f);
        } else {
            ASSERT_TRUE(plan.Refused());
            EXPECT_EQ(*plan.refusal,
                      (PageRefusal{"strCurrentErr", PromptService::Icon::Information, c.refused}));
            EXPECT_TRUE(plan.commands.empty());
            EXPECT_EQ(device.fixedCurrent, 12.0f);
        }
    }
}

TEST(OutputDecisions, SendAcceptsTheBandOnTheStoredCurrent) {
    for (float preset : PresetCurrents) {
        DeviceRecord device;
        const PagePlan plan = PlanSendCurrent(preset, device);
        EXPECT_EQ(plan.commands, (Commands{0, 40})) << preset;
        EXPECT_EQ(device.fixedCurrent, preset);
    }
    DeviceRecord edge;
    EXPECT_FALSE(PlanSendCurrent(TypedCurrent("3.7999"), edge).Refused());
    EXPECT_FALSE(PlanSendCurrent(TypedCurrent("20.5001"), edge).Refused());
    for (const char* typed : {"", "3.7998", "20.5002", "nan", "-inf", "1e39"}) {
        DeviceRecord device;
        const PagePlan plan = PlanSendCurrent(TypedCurrent(typed), device);
        ASSERT_TRUE(plan.Refused()) << typed;
        EXPECT_EQ(plan.refusal->messageKey, "strCurrentErr");
        EXPECT_EQ(plan.refusal->focus, PageField::FixedCurrent);
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
        device.dateYear = static_cast<std::uint16_t>(c.year);
        device.dateMonth = static_cast<std::uint8_t>(c.month);
        device.dateDay = static_cast<std::uint8_t>(c.day);
        EXPECT_EQ(TransmitterDate(device).has_value(), c.valid)
            << c.year << "-" << c.month << "-" << c.day;
    }
}

TEST(InfoDecisions, NewAddressMustLieInZeroToFifteen) {
    const struct {
        const char* text;
        int address; // -1: refused
    } cases[] = {{"15", 15}, {"0", 0},   {"", 0},     {" 3abc", 3},
                 {"16", -1}, {"-1", -1}, {"255", -1}, {"99999999999", -1}};
    for (const auto& c : cases) {
        DeviceRecord device;
        device.newPollingAddress = 9;
        const PagePlan plan = PlanAddressChange(c.text, device);
        if (c.address < 0) {
            ASSERT_TRUE(plan.Refused()) << c.text;
            EXPECT_EQ(*plan.refusal, (PageRefusal{"strNOErr", PromptService::Icon::Warning,
                                                  PageField::NewAddress}));
            EXPECT_EQ(device.newPollingAddress, 9);
        } else {
            EXPECT_EQ(plan.commands, (Commands{0, 6})) << c.text;
            EXPECT_EQ(device.newPollingAddress, c.address);
        }
    }
    EXPECT_EQ(PollingAddressOfText("7"), 7);
    EXPECT_EQ(PollingAddressOfText(" 12 "), 12);
    EXPECT_EQ(PollingAddressOfText("x"), 0);
}

TEST(InfoDecisions, UpdateWritesTheTextsAndDateAsTyped) {
    DeviceRecord device;
    const PagePlan plan =
        PlanInfoUpdate({{2014, 3, 5}, "tag1", "a descriptor", "hello there"}, device);
    EXPECT_EQ(plan.commands, (Commands{0, 17, 18}));
    EXPECT_EQ(device.tag, "tag1");
    EXPECT_EQ(device.descriptor, "a descriptor");
    EXPECT_EQ(device.message, "hello there");
    EXPECT_EQ(device.dateYear, 2014);
    EXPECT_EQ(device.dateMonth, 3);
    EXPECT_EQ(device.dateDay, 5);
    EXPECT_EQ(TransmitterDate(device), (CalendarDate{2014, 3, 5}));
}

} // namespace
