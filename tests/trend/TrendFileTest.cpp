#include "trend/TrendFile.h"

#include <gtest/gtest.h>

#include <bit>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <tuple>
#include <unistd.h>

namespace {

class TrendFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "calora-trend-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_Directory = pattern;
        m_Path = (m_Directory / "Data1.tdd").string();
    }
    void TearDown() override { std::filesystem::remove_all(m_Directory); }

    // File fields put together by hand, the way the Windows tool's archive
    // writes them, independently of TrendFile's own writer.
    static std::string Bytes(std::uint64_t value, int size) {
        std::string bytes;
        for (int i = 0; i < size; ++i) {
            bytes += static_cast<char>(value >> (8 * i));
        }
        return bytes;
    }
    static std::string Int(std::int64_t v) { return Bytes(static_cast<std::uint64_t>(v), 4); }
    static std::string Real(double value) { return Bytes(std::bit_cast<std::uint64_t>(value), 8); }
    static std::string Sample(double value, std::int32_t time) { return Real(value) + Int(time); }
    static std::string Text(std::string_view gbk) { return char(gbk.size()) + std::string(gbk); }
    static std::string Head(double low, double high, std::string_view gbkUnit) {
        return Text("Curve") + Int(1) + Text("PV Curve") + Real(low) + Real(high) + Text(gbkUnit);
    }

    static SampleList Samples(std::initializer_list<TrendSample> samples) {
        SampleList list;
        for (const TrendSample& sample : samples) {
            list.Append(sample);
        }
        return list;
    }
    static TrendCurves Recording() {
        return {.pvLow = -50.0,
                .pvHigh = 150.5,
                .pvUnit = "\u00B0C",
                .pv = Samples({{21.5, 1700000000}, {21.75, 1700000002}, {-3.125, 1700000004}}),
                .current = Samples({{4.0, 1700000001}, {19.99, 1700000003}}),
                .percent = Samples({{0.0, 1700000001}, {99.9375, 1700000003}, {50.0, 1700000005}})};
    }

    static std::string ReadAll(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    auto Files() const {
        return std::ranges::distance(std::filesystem::directory_iterator(m_Directory));
    }

    std::filesystem::path m_Directory;
    std::string m_Path;
};

} // namespace

TEST_F(TrendFileTest, CurvesAreStoredNewestFirstWithGbkTextsOfAnyLength) {
    const std::string bytes = Head(0.0, 100.0, "\xA1\xE3\x43") + Int(2) + Sample(25.5, 1400000010) +
                              Sample(25.0, 1400000000) + Text("Current Curve") + Int(1) +
                              Sample(12.0, 1400000000) + Text("Percent Curve") + Int(0);
    TrendCurves loaded = Recording(); // loading empties what was there
    ASSERT_EQ(TrendFile::Parse(bytes, loaded), TrendFile::Status::Ok);
    EXPECT_EQ(loaded.pvUnit, "\u00B0C");
    EXPECT_EQ(loaded.pv, Samples({{25.0, 1400000000}, {25.5, 1400000010}}));
    EXPECT_EQ(loaded.current, Samples({{12.0, 1400000000}}));
    EXPECT_TRUE(loaded.percent.Empty());
    EXPECT_EQ(TrendFile::Serialize(loaded), bytes);

    // A negative count reads as no samples.
    const std::string negative = Head(0, 1, "%") + Int(-5) + Text("Current Curve") + Int(0) +
                                 Text("Percent Curve") + Int(1) + Sample(7.0, 9);
    ASSERT_EQ(TrendFile::Parse(negative, loaded), TrendFile::Status::Ok);
    EXPECT_EQ(std::pair(loaded.pv, loaded.percent), std::pair(SampleList(), Samples({{7.0, 9}})));

    // Long texts take the wider length prefixes: the text's length and its prefix.
    for (const auto& [length, prefix] :
         {std::pair<std::size_t, std::string>{254, "\xFE"},
          {255, std::string("\xFF\xFF\x00", 3)},
          {0xFFFD, "\xFF\xFD\xFF"},
          {0xFFFE, std::string("\xFF\xFF\xFF\xFE\xFF\x00\x00", 7)}}) {
        TrendCurves curves;
        curves.pvUnit.assign(length, 'u');
        const std::string bytes = TrendFile::Serialize(curves);
        EXPECT_EQ(bytes.substr(Head(0, 0, "").size() - 1, prefix.size()), prefix) << length;
        ASSERT_EQ(TrendFile::Parse(bytes, loaded), TrendFile::Status::Ok) << length;
        EXPECT_EQ(loaded.pvUnit, curves.pvUnit);
    }
}

TEST_F(TrendFileTest, DamagedFilesFailAndKeepTheSamplesReadBeforeTheFault) {
    const std::string good = TrendFile::Serialize(Recording());
    const std::size_t currentAt = good.find("Current Curve") - 1;
    const std::size_t percentAt = good.find("Percent");
    // What is wrong, the bytes, and the samples of each curve read before the fault.
    using Case = std::tuple<const char*, std::string, std::size_t, std::size_t, std::size_t>;
    const Case cases[] = {
        {"wrong first tag", Text("Curvf") + good.substr(6), 0, 0, 0},
        {"no bytes", "", 0, 0, 0},
        {"ends inside the second current sample", good.substr(0, currentAt + 35), 3, 1, 0},
        {"ends after the current tag", good.substr(0, currentAt + 14), 3, 0, 0},
        {"wrong percent tag", good.substr(0, percentAt) + "Percemt" + good.substr(percentAt + 7), 3,
         2, 0},
        {"huge count with two samples",
         Head(0, 1, "%") + Int(0x7FFFFFFF) + Sample(1.0, 2) + Sample(0.5, 1), 2, 0, 0},
        {"unit longer than the file",
         Head(0, 1, "").substr(0, 35) + std::string("\xFF\xFF\xFF\xF0\xFF\xFF\xFF", 7) + "abc", 0,
         0, 0}};
    for (const auto& [what, bytes, pv, current, percent] : cases) {
        TrendCurves loaded = Recording();
        EXPECT_EQ(TrendFile::Parse(bytes, loaded), TrendFile::Status::FormatError) << what;
        EXPECT_EQ(std::tuple(loaded.pv.Count(), loaded.current.Count(), loaded.percent.Count()),
                  std::tuple(pv, current, percent))
            << what;
    }
}

TEST_F(TrendFileTest, SaveThroughALinkThenLoadReadOnlyRestoresEveryCurve) {
    // Saving through a link replaces the file it points to.
    const std::filesystem::path real = m_Directory / "real.tdd";
    ASSERT_TRUE(TrendFile::Save(real.string(), TrendCurves()).Ok());
    std::filesystem::create_symlink(real, m_Path);
    const TrendCurves curves = Recording();
    ASSERT_TRUE(TrendFile::Save(m_Path, curves).Ok());
    EXPECT_TRUE(std::filesystem::is_symlink(m_Path));
    EXPECT_EQ(ReadAll(real), TrendFile::Serialize(curves));
    EXPECT_EQ(Files(), 2) << "no temporary file stays behind";
    // Watching the file shows how it was opened, whatever rights the test has.
    const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(inotify_add_watch(watch, m_Path.c_str(), IN_CLOSE_WRITE | IN_CLOSE_NOWRITE), 0);
    TrendCurves loaded;
    ASSERT_TRUE(TrendFile::Load(m_Path, loaded).Ok());
    EXPECT_EQ(loaded, curves);
    alignas(inotify_event) char events[4096];
    const ssize_t got = read(watch, events, sizeof events);
    close(watch);
    ASSERT_GE(got, static_cast<ssize_t>(sizeof(inotify_event)));
    EXPECT_EQ(reinterpret_cast<const inotify_event*>(events)->mask,
              std::uint32_t{IN_CLOSE_NOWRITE});
}

TEST_F(TrendFileTest, FailuresNameTheFileOrTheLanguageTextAndTheReasonAndKeepTheOldFile) {
    TrendCurves loaded;
    const TrendFile::Outcome missing = TrendFile::Load(m_Path, loaded);
    const TrendFile::Outcome folder = TrendFile::Load(m_Directory.string(), loaded);
    const std::string nowhere = (m_Directory / "no" / "x.tdd").string();
    const TrendFile::Outcome create = TrendFile::Save(nowhere, Recording());
    std::ofstream(m_Path, std::ios::binary) << "Curve";
    const TrendFile::Outcome damaged = TrendFile::Load(m_Path, loaded);
    using enum TrendFile::Status;
    EXPECT_EQ(std::tuple(missing.status, folder.status, create.status, damaged.status),
              std::tuple(CannotOpen, CannotOpen, CannotCreate, FormatError));

    const auto lookup = [](std::string_view key) { return "text of " + std::string(key); };
    EXPECT_EQ(TrendFile::FailureMessage(missing, m_Path, lookup),
              m_Path + " can't Open!\n" + std::strerror(ENOENT));
    EXPECT_EQ(TrendFile::FailureMessage(create, nowhere, lookup),
              nowhere + " can't create!\n" + std::strerror(ENOENT));
    EXPECT_EQ(TrendFile::FailureMessage(damaged, m_Path, lookup), "text of strFileError");

    // A failed write leaves the old file as it was.
    ASSERT_TRUE(TrendFile::Save(m_Path, Recording()).Ok());
    const std::string before = ReadAll(m_Path);
    TrendCurves large = Recording();
    large.pvUnit.assign(8000, 'u');
    // The disk takes no more than 4 KiB per file, as a nearly full one would.
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit small{4096, limit.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const TrendFile::Outcome outcome = TrendFile::Save(m_Path, large);
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, previous);

    EXPECT_EQ(std::pair(outcome.status, outcome.osError),
              std::pair(TrendFile::Status::WriteError, EFBIG));
    EXPECT_EQ(ReadAll(m_Path), before);
    EXPECT_EQ(Files(), 1) << "the temporary file is removed";
}
