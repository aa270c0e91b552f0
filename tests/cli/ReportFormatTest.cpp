#include "cli/ReportFormat.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <ctime>

namespace {

// "dddd-dd-dd dd:dd:dd"
bool LooksLikeLocalTime(const std::string& text) {
    const std::string shape = "dddd-dd-dd dd:dd:dd";
    if (text.size() != shape.size()) {
        return false;
    }
    for (std::size_t i = 0; i < shape.size(); ++i) {
        const bool digit = std::isdigit(static_cast<unsigned char>(text[i])) != 0;
        if (shape[i] == 'd' ? !digit : text[i] != shape[i]) {
            return false;
        }
    }
    return true;
}

} // namespace

TEST(ReportFormat, FoundAddressesJoinAsTheSearchReportShowsThem) {
    EXPECT_EQ(ReportFormat::JoinAddresses({}), "");
    EXPECT_EQ(ReportFormat::JoinAddresses({7}), " 7");
    EXPECT_EQ(ReportFormat::JoinAddresses({0, 3, 15}), " 0, 3, 15");
}

TEST(ReportFormat, TrendRowHasLocalTimeAndThreeDecimals) {
    DeviceRecord record;
    record.pv = 21.4567f;
    record.pvUnitText = "\u00b0C";
    record.loopCurrent = 4.0f;
    record.percentOfRange = -0.0004f;
    const std::string row = ReportFormat::TrendCsvRow(1700000000, record);
    EXPECT_TRUE(LooksLikeLocalTime(row.substr(0, 19))) << row;
    EXPECT_EQ(row.substr(19), ",21.457,\u00b0C,4.000,-0.000");
    EXPECT_EQ(ReportFormat::LocalTime(1700000000), row.substr(0, 19));
    EXPECT_EQ(ReportFormat::TrendCsvHeader(), "time,pv,unit,current_mA,percent");

    record.pv = std::nanf("");
    record.pvUnitText = "a,\"b\"";
    const std::string broken = ReportFormat::TrendCsvRow(1700000000, record);
    EXPECT_NE(broken.find(",nan,\"a,\"\"b\"\"\",4.000,"), std::string::npos) << broken;
}

TEST(ReportFormat, TrendFileRowsHaveIsoLocalTimeAndTheValueAsRecorded) {
    const std::string row = ReportFormat::TrendFileCsvRow(1700000000, 15.9f, "\u00b0C", "PV");
    EXPECT_EQ(row.substr(0, 20), ReportFormat::IsoLocalTime(1700000000).substr(0, 20));
    EXPECT_EQ(row.substr(25), ",15.9,\u00b0C,PV") << row;
    EXPECT_EQ(ReportFormat::TrendFileCsvHeader(), "time,value,unit,curve");
    // The offset makes the local time exact: at UTC the time reads as UTC.
    const char* zone = std::getenv("TZ");
    const std::string saved = zone != nullptr ? zone : "";
    setenv("TZ", "UTC", 1);
    tzset();
    EXPECT_EQ(ReportFormat::IsoLocalTime(1700000000), "2023-11-14T22:13:20+00:00");
    setenv("TZ", "IST-5:30", 1);
    tzset();
    EXPECT_EQ(ReportFormat::IsoLocalTime(1700000000), "2023-11-15T03:43:20+05:30");
    setenv("TZ", "NST3:30", 1);
    tzset();
    EXPECT_EQ(ReportFormat::IsoLocalTime(1700000000), "2023-11-14T18:43:20-03:30");
    if (zone != nullptr) {
        setenv("TZ", saved.c_str(), 1);
    } else {
        unsetenv("TZ");
    }
    tzset();

    struct Case {
        double value;
        const char* text;
    };
    for (const Case& c : {Case{15.9f, "15.9"}, Case{0.1, "0.1"}, Case{-200.0, "-200"},
                          Case{1.0 / 3.0, "0.3333333333333333"}, Case{std::nan(""), "nan"}}) {
        EXPECT_EQ(ReportFormat::SampleValue(c.value), c.text);
    }
}

TEST(ReportFormat, DatesShowAsIsoAndInvalidOnesSaySo) {
    EXPECT_EQ(ReportFormat::IsoDate(5, 3, 2014), "2014-03-05");
    EXPECT_EQ(ReportFormat::IsoDate(29, 2, 2024), "2024-02-29");
    EXPECT_EQ(ReportFormat::IsoDate(29, 2, 1900), "1900-02-29 (not a valid date)");
    EXPECT_EQ(ReportFormat::IsoDate(29, 2, 2000), "2000-02-29");
    EXPECT_EQ(ReportFormat::IsoDate(0, 0, 1900), "1900-00-00 (not a valid date)");
    EXPECT_EQ(ReportFormat::IsoDate(31, 4, 2020), "2020-04-31 (not a valid date)");
    EXPECT_EQ(ReportFormat::IsoDate(255, 255, 2155), "2155-255-255 (not a valid date)");
}

TEST(ReportFormat, InformationListsEveryFieldWithUnits) {
    DeviceRecord record;
    record.longAddress = {0xA6, 0x26, 0x00, 0x0B, 0xFF};
    record.tag = "TT101";
    record.dateDay = 1;
    record.dateMonth = 12;
    record.dateYear = 1999;
    record.pvUnitText = "K";
    record.lowerRangeValue = -50;
    record.upperRangeValue = 150.5f;
    record.sensorLimitUnitText = "mV";
    record.versionText = "V1.02";
    const std::string text = ReportFormat::DeviceInformation(record);
    EXPECT_NE(text.find("Device type     (unknown)\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Long address    A6 26 00 0B FF\n"), std::string::npos);
    EXPECT_NE(text.find("Tag             TT101\n"), std::string::npos);
    EXPECT_NE(text.find("Date            1999-12-01\n"), std::string::npos);
    EXPECT_NE(text.find("Range           -50.000 .. 150.500 K\n"), std::string::npos);
    EXPECT_NE(text.find("Sensor limits   0.000 .. 0.000 mV\n"), std::string::npos);
    EXPECT_NE(text.find("Version         V1.02\n"), std::string::npos);
}
