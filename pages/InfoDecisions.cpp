#include "pages/InfoDecisions.h"

#include "hart/DeviceRecord.h"
#include "pages/ItemText.h"

namespace {

constexpr int kAddressCount = 16;

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

} // namespace

bool IsTransmitterDate(const CalendarDate& date) {
    return date.year >= FirstTransmitterYear && date.year <= LastTransmitterYear &&
           date.month >= 1 && date.month <= 12 && date.day >= 1 &&
           date.day <= DaysInMonth(date.year, date.month);
}

std::optional<CalendarDate> TransmitterDate(const DeviceRecord& device) {
    const CalendarDate date{device.dateYear, device.dateMonth, device.dateDay};
    if (!IsTransmitterDate(date)) {
        return std::nullopt;
    }
    return date;
}

PagePlan PlanInfoRead() {
    return PagePlan::Run({0, 12, 13});
}

PagePlan PlanInfoUpdate(const InfoTexts& texts, DeviceRecord& device) {
    device.dateYear = static_cast<std::uint16_t>(texts.date.year);
    device.dateMonth = static_cast<std::uint8_t>(texts.date.month);
    device.dateDay = static_cast<std::uint8_t>(texts.date.day);
    device.tag = texts.tag;
    device.descriptor = texts.descriptor;
    device.message = texts.message;
    return PagePlan::Run({0, 17, 18});
}

std::uint8_t PollingAddressOfText(std::string_view text) {
    return static_cast<std::uint8_t>(ReadItemInteger(text));
}

PagePlan PlanAddressChange(std::string_view newAddress, DeviceRecord& device) {
    const std::int32_t address = ReadItemInteger(newAddress);
    if (address < 0 || address >= kAddressCount) {
        return PagePlan::Refuse("strNOErr", PromptService::Icon::Warning, PageField::NewAddress);
    }
    device.newPollingAddress = static_cast<std::uint8_t>(address);
    return PagePlan::Run({0, 6});
}

PagePlan PlanFinalAssemblyRead() {
    return PagePlan::Run({0, 16});
}

PagePlan PlanFinalAssemblyWrite(std::string_view text, DeviceRecord& device) {
    device.finalAssemblyNumber = std::string(text);
    return PagePlan::Run({0, 19});
}
