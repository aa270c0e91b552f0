#include "cli/ReportFormat.h"

#include "platform/Formatting.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace {

std::string Line(const char* label, const std::string& value) {
    char head[32];
    std::snprintf(head, sizeof head, "%-16s", label);
    return head + value + "\n";
}

std::string Value(float value) {
    return FormatFixed(value, 3);
}

bool IsCalendarDate(unsigned day, unsigned month, unsigned year) {
    static constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1) {
        return false;
    }
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= kDays[month - 1] + (month == 2 && leap ? 1u : 0u);
}

} // namespace

std::string ReportFormat::JoinAddresses(const std::vector<int>& addresses) {
    std::string text;
    for (std::size_t i = 0; i < addresses.size(); ++i) {
        text += i == 0 ? " " : ", ";
        text += std::to_string(addresses[i]);
    }
    return text;
}

std::string ReportFormat::TrendCsvHeader() {
    return "time,pv,unit,current_mA,percent";
}

std::string ReportFormat::TrendFileCsvHeader() {
    return "time,value,unit,curve";
}

std::string ReportFormat::TrendFileCsvRow(std::int32_t time, double value, std::string_view unit,
                                          std::string_view curve) {
    return IsoLocalTime(time) + ',' + SampleValue(value) + ',' + CsvField(unit) + ',' +
           CsvField(curve);
}

std::string ReportFormat::SampleValue(double value) {
    if (std::isnan(value)) {
        return "nan";
    }
    char text[64];
    const auto single = static_cast<float>(value);
    const auto [end, ec] = static_cast<double>(single) == value
                               ? std::to_chars(text, text + sizeof text, single)
                               : std::to_chars(text, text + sizeof text, value);
    return ec == std::errc() ? std::string(text, end) : FormatFixed(value, 3);
}

std::string ReportFormat::IsoLocalTime(std::time_t time) {
    std::tm local{};
    if (localtime_r(&time, &local) == nullptr) {
        return std::to_string(static_cast<long long>(time));
    }
    const long offset = local.tm_gmtoff / 60; // minutes east of UTC
    char zone[8];
    std::snprintf(zone, sizeof zone, "%c%02d:%02d", offset < 0 ? '-' : '+',
                  static_cast<int>(std::labs(offset) / 60 % 100),
                  static_cast<int>(std::labs(offset) % 60));
    char text[64];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text + std::string(zone);
}

std::string ReportFormat::CsvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        return std::string(text);
    }
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"') {
            quoted += '"';
        }
        quoted += c;
    }
    return quoted + '"';
}

std::string ReportFormat::TrendCsvRow(std::time_t time, const DeviceRecord& record) {
    return LocalTime(time) + ',' + Value(record.pv) + ',' + CsvField(record.pvUnitText) + ',' +
           Value(record.loopCurrent) + ',' + Value(record.percentOfRange);
}

std::string ReportFormat::LocalTime(std::time_t time) {
    std::string text = FormatDateTime(time);
    if (text.empty()) {
        return std::to_string(static_cast<long long>(time));
    }
    if (const auto gap = text.find("  "); gap != std::string::npos) {
        text.erase(gap, 1);
    }
    return text;
}

std::string ReportFormat::IsoDate(unsigned day, unsigned month, unsigned year) {
    char text[48];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u%s", year, month, day,
                  IsCalendarDate(day, month, year) ? "" : " (not a valid date)");
    return text;
}

std::string ReportFormat::ProcessValues(const DeviceRecord& record) {
    return Line("PV", Value(record.pv) + " " + record.pvUnitText) +
           Line("Loop current", Value(record.loopCurrent) + " mA") +
           Line("Percent", Value(record.percentOfRange) + " %");
}

std::string ReportFormat::DeviceStatus(const std::string& words) {
    return words.empty() ? std::string() : Line("Device status", words);
}

std::string ReportFormat::DeviceInformation(const DeviceRecord& record,
                                            const std::map<std::uint8_t, std::string>& unread) {
    std::string address;
    for (const std::uint8_t byte : record.longAddress) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%s%02X", address.empty() ? "" : " ", byte);
        address += hex;
    }
    const std::string& unit = record.pvUnitText;
    struct Field {
        std::uint8_t command;
        const char* label;
        std::string value;
    };
    const Field fields[] = {
        {0, "Device type", record.deviceTypeName.empty() ? "(unknown)" : record.deviceTypeName},
        {0, "Long address", address},
        {13, "Tag", record.tag},
        {13, "Descriptor", record.descriptor},
        {12, "Message", record.message},
        {13, "Date", IsoDate(record.dateDay, record.dateMonth, record.dateYear)},
        {16, "Final assembly", record.finalAssemblyNumber},
        {15, "Range",
         Value(record.lowerRangeValue) + " .. " + Value(record.upperRangeValue) + " " + unit},
        {15, "Damping", Value(record.damping) + " s"},
        {14, "Sensor limits",
         Value(record.lowerSensorLimit) + " .. " + Value(record.upperSensorLimit) + " " +
             record.sensorLimitUnitText},
        {162, "Version", record.versionText},
    };
    std::string text;
    for (const Field& field : fields) {
        const auto missing = unread.find(field.command);
        text += Line(field.label,
                     missing == unread.end() ? field.value : "not read: " + missing->second);
    }
    return text;
}
