#include "trend/TrendFile.h"

#include <gtest/gtest.h>

#include <bit>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// Trend-file bytes put together field by field, the way the Windows tool's
// archive writes them, independently of TrendFile's own writer.
class FileBytes {
public:
    FileBytes& Raw(std::string_view bytes) {
        m_Bytes += bytes;
        return *this;
    }
    FileBytes& Text(std::string_view gbk) { // short strings only
        m_Bytes += static_cast<char>(gbk.size());
        return Raw(gbk);
    }
    FileBytes& Int(std::uint32_t value) {
        for (int i = 0; i < 4; ++i) {
            m_Bytes += static_cast<char>(value >> (8 * i));
        }
        return *this;
    }
    FileBytes& Real(double value) {
        const auto bits = std::bit_cast<std::uint64_t>(value);
        for (int i = 0; i < 8; ++i) {
            m_Bytes += static_cast<char>(bits >> (8 * i));
        }
        return *this;
    }
    FileBytes& Sample(double value, std::int32_t time) {
        return Real(value).Int(static_cast<std::uint32_t>(time));
    }
    FileBytes& Head(double low, double high, std::string_view gbkUnit) {
        return Text("Curve").Int(1).Text("PV Curve").Real(low).Real(high).Text(gbkUnit);
    }
    const std::string& Bytes() const { return m_Bytes; }

private:
    std::string m_Bytes;
};

SampleList Samples(std::initializer_list<TrendSample> samples) {
    SampleList list;
    for (const TrendSample& sample : samples) {
        list.Append(sample);
    }
    return list;
}

TrendCurves Recording() {
    TrendCurves curves;
    curves.pvLow = -50.0;
    curves.pvHigh = 150.5;
    curves.pvUnit = "\u00B0C";
    curves.pv = Samples({{21.5, 1700000000}, {21.75, 1700000002}, {-3.125, 1700000004}});
    curves.current = Samples({{4.0, 1700000001}, {19.99, 1700000003}});
    curves.percent = Samples({{0.0, 1700000001}, {99.9375, 1700000003}, {50.0, 1700000005}});
    return curves;
}

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class TrendFileOnDisk : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "calora-trend-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_Directory = pattern;
        m_Path = (m_Directory / "Data1.tdd").string();
    }
    void TearDown() override { std::filesystem::remove_all(m_Directory); }

    std::size_t FilesInDirectory() const {
        return static_cast<std::size_t>(
            std::distance(std::filesystem::directory_iterator(m_Directory),
                          std::filesystem::directory_iterator()));
    }

    std::filesystem::path m_Directory;
    std::string m_Path;
};

} // namespace

TEST(TrendFile, EmptyCurvesAreTheHeadAndThreeZeroCountsAndLoadBackEmpty) {
    TrendCurves empty;
    empty.pvUnit = "\u2103";
    const std::string expected = FileBytes()
                                     .Head(-200.0, 1800.0, "\xA1\xE6")
                                     .Int(0)
                                     .Text("Current Curve")
                                     .Int(0)
                                     .Text("Percent Curve")
                                     .Int(0)
                                     .Bytes();
    EXPECT_EQ(TrendFile::Serialize(empty), expected);

    TrendCurves loaded = Recording();
    ASSERT_EQ(TrendFile::Parse(expected, loaded), TrendFile::Status::Ok);
    EXPECT_EQ(loaded, empty);
}

TEST(TrendFile, StoresNewestFirstAndLoadsOldestFirst) {
    const TrendCurves curves = Recording();
    const std::string bytes = TrendFile::Serialize(curves);
    // The PV curve's first stored sample is its newest.
    const std::string pvStart = FileBytes()
                                    .Head(-50.0, 150.5,
                                          "\xA1\xE3"
                                          "C")
                                    .Int(3)
                                    .Bytes();
    ASSERT_EQ(bytes.substr(0, pvStart.size()), pvStart);
    EXPECT_EQ(bytes.substr(pvStart.size(), 12), FileBytes().Sample(-3.125, 1700000004).Bytes());

    TrendCurves loaded;
    ASSERT_EQ(TrendFile::Parse(bytes, loaded), TrendFile::Status::Ok);
    EXPECT_EQ(loaded, curves);
}

TEST(TrendFile, LoadsAFileFromAnotherWriterWithGbkTexts) {
    const std::string bytes = FileBytes()
                                  .Head(0.0, 100.0,
                                        "\xA1\xE3"
                                        "C")
                                  .Int(2)
                                  .Sample(25.5, 1400000010)
                                  .Sample(25.0, 1400000000)
                                  .Text("Current Curve")
                                  .Int(1)
                                  .Sample(12.0, 1400000000)
                                  .Text("Percent Curve")
                                  .Int(0)
                                  .Bytes();
    TrendCurves loaded;
    ASSERT_EQ(TrendFile::Parse(bytes, loaded), TrendFile::Status::Ok);
    EXPECT_EQ(loaded.pvUnit, "\u00B0C");
    EXPECT_EQ(loaded.pv, Samples({{25.0, 1400000000}, {25.5, 1400000010}}));
    EXPECT_EQ(loaded.current, Samples({{12.0, 1400000000}}));
    EXPECT_TRUE(loaded.percent.Empty());
}

TEST(TrendFile, LongTextsTakeTheWiderLengthPrefixes) {
    struct Case {
        std::size_t length;
        std::string prefix;
    };
    for (const Case& c : {Case{254, "\xFE"}, Case{255, std::string("\xFF\xFF\x00", 3)},
                          Case{0xFFFD, "\xFF\xFD\xFF"},
                          Case{0xFFFE, std::string("\xFF\xFF\xFF\xFE\xFF\x00\x00", 7)}}) {
        TrendCurves curves;
        curves.pvUnit.assign(c.length, 'u');
        const std::string bytes = TrendFile::Serialize(curves);
        const std::size_t at = FileBytes().Head(-200.0, 1800.0, "").Bytes().size() - 1;
        EXPECT_EQ(bytes.substr(at, c.prefix.size()), c.prefix) << c.length;
        TrendCurves loaded;
        ASSERT_EQ(TrendFile::Parse(bytes, loaded), TrendFile::Status::Ok) << c.length;
        EXPECT_EQ(loaded.pvUnit, curves.pvUnit);
    }
}

TEST(TrendFile, DamagedFilesFailAndKeepTheSamplesReadBeforeTheFault) {
    const std::string good = TrendFile::Serialize(Recording());
    const std::size_t currentAt = good.find("Current Curve") - 1;
    const std::size_t firstCurrentSample = currentAt + 14 + 4;
    struct Case {
        const char* what;
        std::string bytes;
        std::size_t pv, current, percent;
    };
    const Case cases[] = {
        {"wrong first tag",
         "\x05"
         "Curvf" +
             good.substr(6),
         0, 0, 0},
        {"no bytes", "", 0, 0, 0},
        {"ends inside the second current sample", good.substr(0, firstCurrentSample + 12 + 5), 3, 1,
         0},
        {"ends after the current tag", good.substr(0, currentAt + 14), 3, 0, 0},
        {"wrong percent tag",
         good.substr(0, good.find("Percent")) + "Percemt" + good.substr(good.find("Percent") + 7),
         3, 2, 0},
        {"huge count with two samples",
         FileBytes().Head(0, 1, "%").Int(0x7FFFFFFF).Sample(1.0, 2).Sample(0.5, 1).Bytes(), 2, 0,
         0},
        {"unit longer than the file",
         FileBytes().Head(0, 1, "").Bytes().substr(0, 35) +
             std::string("\xFF\xFF\xFF\xF0\xFF\xFF\xFF", 7) + "abc",
         0, 0, 0},
    };
    for (const Case& c : cases) {
        TrendCurves loaded = Recording(); // loading empties what was there
        EXPECT_EQ(TrendFile::Parse(c.bytes, loaded), TrendFile::Status::FormatError) << c.what;
        EXPECT_EQ(loaded.pv.Count(), c.pv) << c.what;
        EXPECT_EQ(loaded.current.Count(), c.current) << c.what;
        EXPECT_EQ(loaded.percent.Count(), c.percent) << c.what;
    }
    // What was read stays in order: the newest PV sample of the huge count.
    TrendCurves loaded;
    TrendFile::Parse(cases[5].bytes, loaded);
    EXPECT_EQ(loaded.pv, Samples({{0.5, 1}, {1.0, 2}}));
}

TEST(TrendFile, NegativeCountsReadNoSamples) {
    const std::string bytes = FileBytes()
                                  .Head(0, 1, "%")
                                  .Int(static_cast<std::uint32_t>(-5))
                                  .Text("Current Curve")
                                  .Int(0)
                                  .Text("Percent Curve")
                                  .Int(1)
                                  .Sample(7.0, 9)
                                  .Bytes();
    TrendCurves loaded;
    ASSERT_EQ(TrendFile::Parse(bytes, loaded), TrendFile::Status::Ok);
    EXPECT_TRUE(loaded.pv.Empty());
    EXPECT_EQ(loaded.percent, Samples({{7.0, 9}}));
}

TEST_F(TrendFileOnDisk, SaveThenLoadRestoresEveryCurve) {
    const TrendCurves curves = Recording();
    ASSERT_TRUE(TrendFile::Save(m_Path, curves).Ok());
    EXPECT_EQ(ReadAll(m_Path), TrendFile::Serialize(curves));
    TrendCurves loaded;
    ASSERT_TRUE(TrendFile::Load(m_Path, loaded).Ok());
    EXPECT_EQ(loaded, curves);
    EXPECT_EQ(FilesInDirectory(), 1u) << "no temporary file stays behind";
}

TEST_F(TrendFileOnDisk, LoadOpensTheFileForReadingOnly) {
    ASSERT_TRUE(TrendFile::Save(m_Path, Recording()).Ok());
    // Watching the file shows how it was opened, whatever rights the test has.
    const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(inotify_add_watch(watch, m_Path.c_str(), IN_CLOSE_WRITE | IN_CLOSE_NOWRITE), 0);
    TrendCurves loaded;
    EXPECT_TRUE(TrendFile::Load(m_Path, loaded).Ok());
    alignas(inotify_event) char events[4096];
    const ssize_t got = read(watch, events, sizeof events);
    close(watch);
    ASSERT_GE(got, static_cast<ssize_t>(sizeof(inotify_event)));
    EXPECT_EQ(reinterpret_cast<const inotify_event*>(events)->mask,
              std::uint32_t{IN_CLOSE_NOWRITE});
}

TEST_F(TrendFileOnDisk, AFailedWriteLeavesTheOldFileAsItWas) {
    ASSERT_TRUE(TrendFile::Save(m_Path, Recording()).Ok());
    const std::string before = ReadAll(m_Path);
    TrendCurves large = Recording();
    for (int i = 0; i < 2000; ++i) {
        large.pv.Append({static_cast<double>(i), i});
    }
    // The disk takes no more than 4 KiB per file, as a nearly full one would.
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit small{4096, limit.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const TrendFile::Outcome outcome = TrendFile::Save(m_Path, large);
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, previous);

    EXPECT_EQ(outcome.status, TrendFile::Status::WriteError);
    EXPECT_EQ(outcome.osError, EFBIG);
    EXPECT_EQ(ReadAll(m_Path), before);
    EXPECT_EQ(FilesInDirectory(), 1u) << "the temporary file is removed";
}

TEST_F(TrendFileOnDisk, SavingThroughALinkReplacesTheFileItPointsTo) {
    const std::filesystem::path real = m_Directory / "real.tdd";
    ASSERT_TRUE(TrendFile::Save(real.string(), TrendCurves()).Ok());
    std::filesystem::create_symlink(real, m_Path);
    ASSERT_TRUE(TrendFile::Save(m_Path, Recording()).Ok());
    EXPECT_TRUE(std::filesystem::is_symlink(m_Path));
    EXPECT_EQ(ReadAll(real), TrendFile::Serialize(Recording()));
}

TEST_F(TrendFileOnDisk, FailuresNameTheFileOrTheLanguageTextAndTheReason) {
    TrendCurves loaded;
    const TrendFile::Outcome missing = TrendFile::Load(m_Path, loaded);
    EXPECT_EQ(missing.status, TrendFile::Status::CannotOpen);
    const TrendFile::Outcome folder = TrendFile::Load(m_Directory.string(), loaded);
    EXPECT_EQ(folder.status, TrendFile::Status::CannotOpen);
    const std::string nowhere = (m_Directory / "no" / "x.tdd").string();
    const TrendFile::Outcome create = TrendFile::Save(nowhere, Recording());
    EXPECT_EQ(create.status, TrendFile::Status::CannotCreate);

    std::ofstream(m_Path, std::ios::binary) << "Curve";
    const TrendFile::Outcome damaged = TrendFile::Load(m_Path, loaded);
    EXPECT_EQ(damaged.status, TrendFile::Status::FormatError);

    const auto lookup = [](std::string_view key) { return "text of " + std::string(key); };
    EXPECT_EQ(TrendFile::FailureMessage(missing, m_Path, lookup),
              m_Path + " can't Open!\n" + std::strerror(ENOENT));
    EXPECT_EQ(TrendFile::FailureMessage(create, nowhere, lookup),
              nowhere + " can't create!\n" + std::strerror(ENOENT));
    EXPECT_EQ(TrendFile::FailureMessage(damaged, m_Path, lookup), "text of strFileError");
    EXPECT_EQ(TrendFile::FailureMessage({}, m_Path, lookup), "");
}
