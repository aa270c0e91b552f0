#pragma once

#include "pages/PagePlan.h"

#include <optional>
#include <string>
#include <string_view>

struct DeviceRecord;

// What the information page decides: identity texts and date, the polling
// address the tool uses and the one written into the transmitter, and the
// final assembly number.

struct CalendarDate {
    int year = 1900;
    int month = 1; // 1..12
    int day = 1;   // 1..31

    bool operator==(const CalendarDate&) const = default;
};

// Years the date field can carry: one byte counted from 1900, whose last
// value 255 is what an erased memory holds, not a year.
inline constexpr int FirstTransmitterYear = 1900;
inline constexpr int LastTransmitterYear = 2154;

// True for a calendar date (leap years counted) within the transmitter's years.
bool IsTransmitterDate(const CalendarDate& date);

// The date the transmitter reported, when it is a calendar date.
std::optional<CalendarDate> TransmitterDate(const DeviceRecord& device);

// Reading the identity texts and the date.
PagePlan PlanInfoRead();

struct InfoTexts {
    CalendarDate date;
    std::string tag;
    std::string descriptor;
    std::string message;
};

// Writing the message (command 17) and the tag, descriptor and date (18).
// Upper-casing and cutting to the field lengths happen when the commands are
// built.
PagePlan PlanInfoUpdate(const InfoTexts& texts, DeviceRecord& device);

// The polling address the tool uses, from the text of the address combo:
// the whole number it starts with, kept to a byte.
std::uint8_t PollingAddressOfText(std::string_view text);

// Programs the address typed as newAddress into the transmitter (command 6).
// Addresses outside 0..15 are refused with "strNOErr"; text without a
// number means 0.
PagePlan PlanAddressChange(std::string_view newAddress, DeviceRecord& device);

// Reading and writing the final assembly number (the page's "Long Address").
PagePlan PlanFinalAssemblyRead();
PagePlan PlanFinalAssemblyWrite(std::string_view text, DeviceRecord& device);
