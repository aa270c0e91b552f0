#include "cli/ReportFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <tuple>

TEST(ReportFormat, FoundAddressesJoinAsTheSearchShowsThemAndDatesShowAsIso) {
    EXPECT_EQ(ReportFormat::JoinAddresses({}), "");
    EXPECT_EQ(ReportFormat::JoinAddresses({7}), " 7");
    EXPECT_EQ(ReportFormat::JoinAddresses({0, 3, 15}), " 0, 3, 15");

    // Dates show as ISO dates, and invalid ones say so.
    EXPECT_EQ(ReportFormat::IsoDate(5, 3, 2014), "2014-03-05");
    EXPECT_EQ(ReportFormat::IsoDate(29, 2, 2024), "2024-02-29");
    EXPECT_EQ(ReportFormat::IsoDate(29, 2, 1900), "1900-02-29 (not a valid date)");
    EXPECT_EQ(ReportFormat::IsoDate(29, 2, 2000), "2000-02-29");
    EXPECT_EQ(ReportFormat::IsoDate(31, 4, 2020), "2020-04-31 (not a valid date)");
    EXPECT_EQ(ReportFormat::IsoDate(255, 255, 2155), "2155-255-255 (not a valid date)");
}

TEST(ReportFormat, TrendRowsHaveTheLocalTimeAndTheValuesAsRecorded) {
    DeviceRecord record;
    record.pv = 21.4567f;
    record.pvUnitText = "\u00b0C";
    record.loopCurrent = 4.0f;
    record.percentOfRange = -0.0004f;
    const char* zone = std::getenv("TZ");
    const std::string saved = zone != nullptr ? zone : "";
    // The offset makes the file's local time exact: at UTC the time reads as UTC.
    for (const auto& [tz, iso, local] :
         {std::tuple{"UTC", "2023-11-14T22:13:20+00:00", "2023-11-14 22:13:20"},
          {"IST-5:30", "2023-11-15T03:43:20+05:30", "2023-11-15 03:43:20"},
          {"NST3:30", "2023-11-14T18:43:20-03:30", "2023-11-14 18:43:20"}}) {
        setenv("TZ", tz, 1);
        tzset();
        EXPECT_EQ(ReportFormat::TrendCsvRow(1700000000, record),
                  std::string(local) + ",21.457,\u00b0C,4.000,-0.000");
        EXPECT_EQ(ReportFormat::TrendFileCsvRow(1700000000, 15.9f, "\u00b0C", "PV"),
                  std::string(iso) + ",15.9,\u00b0C,PV");
    }
    record.pv = std::nanf("");
    record.pvUnitText = "a,\"b\"";
    EXPECT_EQ(ReportFormat::TrendCsvRow(1700000000, record),
              "2023-11-14 18:43:20,nan,\"a,\"\"b\"\"\",4.000,-0.000");
    zone != nullptr ? setenv("TZ", saved.c_str(), 1) : unsetenv("TZ");
    tzset();

    // A float-exact value in its shortest float text is shown by the file row above.
    for (const auto& [value, text] : {std::pair{0.1, "0.1"},
                                      {-200.0, "-200"},
                                      {1.0 / 3.0, "0.3333333333333333"},
                                      {std::nan(""), "nan"}}) {
        EXPECT_EQ(ReportFormat::SampleValue(value), text);
    }
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
    for (const char* line : {"Device type     (unknown)\n", "Long address    A6 26 00 0B FF\n",
                             "Tag             TT101\n", "Date            1999-12-01\n",
                             "Range           -50.000 .. 150.500 K\n",
                             "Sensor limits   0.000 .. 0.000 mV\n", "Version         V1.02\n"}) {
        EXPECT_NE(text.find(line), std::string::npos) << line << text;
    }
}
