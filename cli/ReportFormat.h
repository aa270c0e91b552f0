#pragma once

#include "hart/DeviceRecord.h"

#include <cstdint>
#include <ctime>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// The texts the tool writes to standard output.
class ReportFormat {
public:
    // Found addresses as the search report lists them: " 0, 3"; "" for none.
    static std::string JoinAddresses(const std::vector<int>& addresses);

    static std::string TrendCsvHeader();
    // "2024-05-01 12:00:00,22.500,°C,12.000,50.000"
    static std::string TrendCsvRow(std::time_t time, const DeviceRecord& record);
    // The curves of a trend file, one sample per row, each curve oldest
    // first: "2024-05-01T12:00:00+02:00,22.5,°C,PV".
    static std::string TrendFileCsvHeader();
    static std::string TrendFileCsvRow(std::int32_t time, double value, std::string_view unit,
                                       std::string_view curve);
    // A sample value in the fewest digits that read back as the same number;
    // a value that came from the transmitter's single precision is written
    // as that single-precision number ("15.9", not "15.899999618530273").
    static std::string SampleValue(double value);
    // Local time in ISO 8601 with its offset from UTC: "2024-05-01T12:00:00+02:00";
    // the seconds since 1970 when the time cannot be broken down.
    static std::string IsoLocalTime(std::time_t time);

    // A CSV field, quoted when it holds a comma, a quote or a line break.
    static std::string CsvField(std::string_view text);

    // Local time "2024-05-01 12:00:00"; the seconds since 1970 when the time
    // cannot be broken down.
    static std::string LocalTime(std::time_t time);
    // "2014-03-05"; a date that is no calendar date keeps its numbers and
    // says so: "2014-02-30 (not a valid date)".
    static std::string IsoDate(unsigned day, unsigned month, unsigned year);

    // PV, loop current and percent of range, one per line.
    static std::string ProcessValues(const DeviceRecord& record);
    // Identity, texts, range, sensor limits and version, one per line. The
    // lines of a command in unread say why they could not be read instead.
    static std::string DeviceInformation(const DeviceRecord& record,
                                         const std::map<std::uint8_t, std::string>& unread = {});
    // "Device status   loop current fixed, ..."; "" when words is empty.
    static std::string DeviceStatus(const std::string& words);
};
