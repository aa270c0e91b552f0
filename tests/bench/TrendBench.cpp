// Prints how long the trend recording's heavy operations take on this
// machine, against the goals: a trend file of a million samples per curve
// saved and loaded, the memory one sample takes, one chart repaint with a
// million samples, and a sample list filled with a hundred thousand rows.
// Not a test: it measures and reports, it does not judge.
#include "platform/Formatting.h"
#include "tests/bench/Measure.h"
#include "trend/ChartCtrl.h"
#include "trend/DataListCtrl.h"
#include "trend/TrendFile.h"

#include <QApplication>
#include <QImage>

#include <filesystem>
#include <malloc.h>

namespace {

using namespace Measure;

SampleList Curve(std::size_t count, double base) {
    SampleList samples;
    for (std::size_t i = 0; i < count; ++i) {
        samples.Append({base + static_cast<double>(i % 1000) * 0.01,
                        1700000000 + static_cast<std::int32_t>(i)});
    }
    return samples;
}

void BenchFile(std::size_t count) {
    TrendCurves curves;
    curves.pvUnit = "\u00B0C";
    curves.pv = curves.current = curves.percent = Curve(count, 20.0);
    const std::string path = std::filesystem::temp_directory_path() / "calora-bench.tdd";
    auto start = Clock::now();
    const TrendFile::Outcome saved = TrendFile::Save(path, curves);
    Report("save 3 curves x 1 000 000 samples, flushed", SecondsSince(start), "s", "<= 0.3 s");
    start = Clock::now();
    TrendCurves loaded;
    const TrendFile::Outcome read = TrendFile::Load(path, loaded);
    Report("load 3 curves x 1 000 000 samples", SecondsSince(start), "s", "<= 0.5 s");
    std::filesystem::remove(path);
    if (!saved.Ok() || !read.Ok() || !(loaded == curves)) {
        std::printf("  the file did not load back as saved\n");
    }
}

// The memory the samples of a curve take, then the chart's repaints with them.
void BenchSamples(std::size_t count) {
    const auto before = static_cast<double>(mallinfo2().uordblks);
    const SampleList samples = Curve(count, 20.0);
    Report("memory per sample", (mallinfo2().uordblks - before) / count, "B", "<= 24 B");
    ChartCtrl chart;
    chart.resize(640, 360);
    chart.SetRange(0.0, 40.0, "PV", std::string("\u00B0C"), std::string("PV"));
    chart.show();
    QImage image(chart.Client()->size(), QImage::Format_ARGB32_Premultiplied);
    const auto msPerRepaint = [&chart, &image](int repaints) {
        const auto start = Clock::now();
        for (int i = 0; i < repaints; ++i) {
            chart.Client()->render(&image, QPoint(), QRegion(), QWidget::DrawWindowBackground);
        }
        return SecondsSince(start) * 1000 / repaints;
    };
    chart.SetData(&samples, true);
    msPerRepaint(1); // builds the cached background and labels
    Report("chart repaint, 1 000 000 samples, newest 50 shown", msPerRepaint(200), "ms", "<= 5 ms");
    chart.m_bFollow = false;
    chart.m_nFirst = 0;
    chart.m_nLast = static_cast<int>(count) - 1;
    Report("chart repaint, 1 000 000 samples, all shown", msPerRepaint(20), "ms", "<= 5 ms");
}

void BenchList(int rows) {
    DataListCtrl list;
    list.resize(160, 600);
    list.SetColumns("Time,60;Data,60;Unit,50");
    list.show();
    QApplication::processEvents();
    // The page pauses 100 ms every 102 rows and the window repaints within
    // the pause; the fill is the time outside the pauses.
    double pauses = 0.0;
    auto start = Clock::now();
    for (int i = 0; i < rows; ++i) {
        list.AddRow(
            {FormatTimeOfDay(1700000000 + i), FormatFixed(20.0 + (i % 100) * 0.125, 3), "mA"});
        if (i % 102 == 101 || i == rows - 1) {
            const auto pause = Clock::now();
            QApplication::processEvents();
            pauses += SecondsSince(pause);
        }
    }
    Report("list fill, 100 000 rows (outside the pauses)", SecondsSince(start) - pauses, "s",
           "<= 1 s");
    Report("  window updates within the 980 pauses, in all", pauses, "s", "-");
    start = Clock::now();
    list.SortByColumn(0, false);
    QApplication::processEvents();
    Report("list sort by time text, 100 000 rows", SecondsSince(start), "s", "-");
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    constexpr std::size_t kMillion = 1000000;
    BenchFile(kMillion);
    BenchSamples(kMillion);
    BenchList(100000);
}
