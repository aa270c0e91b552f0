// Benchmark: the window's start-up (process start to the shown window), its
// memory after start, and the share of a core it takes with the port open on
// the simulated transmitter: idle, and recording the trend at period 1 s.
// Runs offscreen.
#include "hart/HartProtocol.h"
#include "shell/MainDialog.h"
#include "shell/QtPromptService.h"
#include "shell/QtTimerService.h"
#include "shell/TrendPage.h"
#include "tests/bench/Measure.h"
#include "tests/e2e/SimulatorProcess.h"

#include <QApplication>
#include <QTabBar>
#include <QTimer>
#include <QWindow>

#include <ctime>
#include <fstream>

namespace {

using namespace Measure;
const auto g_MainEntered = Clock::now();

// Seconds since this process was started by the kernel (10 ms steps).
double SecondsSinceProcessStart() {
    std::ifstream stat("/proc/self/stat");
    std::string field;
    std::getline(stat, field, ')');                  // the process id and the program's name
    for (int i = 3; i <= 22 && stat >> field; ++i) { // field 22: the start, in clock ticks
    }
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9 -
           std::strtod(field.c_str(), nullptr) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// The main window at the trend period of 1 s, below the combo's shortest
// (2 s), the busier case. It ends the event loop after the first sample,
// whose cycle also reads identity and range, and after kSamples more.
struct RecordingWindow : MainDialog {
    static constexpr int kSamples = 20;
    using MainDialog::MainDialog;
    int TrendPeriod() const override { return 1; }
    void ValueUpdate(int which) override {
        MainDialog::ValueUpdate(which);
        if (which == 1 && (++m_nSamples == 1 || m_nSamples == 1 + kSamples)) {
            QApplication::quit();
        }
    }
    int m_nSamples = 0;
};

// The share of a core this process takes while the event loop runs, until
// something quits it or limit has passed.
double CorePercentFor(std::chrono::milliseconds limit) {
    QTimer::singleShot(limit, qApp, &QCoreApplication::quit);
    const double before = ProcessorSeconds();
    const auto start = Clock::now();
    QApplication::exec();
    return (ProcessorSeconds() - before) / SecondsSince(start) * 100.0;
}

} // namespace

int main(int argc, char* argv[]) {
    const std::string folder =
        std::filesystem::temp_directory_path() / ("calora_bench_" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // The stored settings of the user running the benchmark stay untouched.
    setenv("XDG_CONFIG_HOME", folder.c_str(), 1);

    HartProtocol protocol;
    QApplication application(argc, argv);
    QtTimerService timers;
    QtPromptService prompts;
    TimerService::Install(&timers);
    PromptService::Install(&prompts);
    int result = 0;
    {
        RecordingWindow window(protocol, CALORA_PROGRAM_DIR);
        window.show();
        while (window.windowHandle() == nullptr || !window.windowHandle()->isExposed()) {
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        QApplication::processEvents();
        Report("window start-up, process start to shown window",
               SecondsSinceProcessStart() * 1000.0, "ms", "<= 300 ms");
        Report("  of it in main", SecondsSince(g_MainEntered) * 1000.0, "ms", "-");
        Report("window memory after start, peak resident", PeakResidentMegabytes(), "MB", "-");

        SimulatorProcess sim(16, {"--timing", "real"});
        protocol.SetPortNumber(16);
        if (!sim.Ready() || !protocol.EnsureOpen()) {
            std::fprintf(stderr, "window: the simulator's port did not open\n");
            result = 1;
        } else {
            CorePercentFor(std::chrono::milliseconds(500)); // the port settles
            Report("window idle with the port open, 10 s", CorePercentFor(std::chrono::seconds(10)),
                   "%", "<= 0.2 % of a core");
            // As the user does: the trend tab, then the toolbar's record-all button.
            window.findChild<QTabBar*>()->setCurrentIndex(4);
            window.OnCommand(TrendPage::kRecordAll);
            // A failed reading ends the recording with a message box: give up then.
            CorePercentFor(std::chrono::minutes(3));
            const double percent =
                window.m_nSamples == 1 ? CorePercentFor(std::chrono::minutes(3)) : 0.0;
            result = window.m_nSamples == 1 + RecordingWindow::kSamples ? 0 : 1;
            Report(result == 0 ? "window recording at period 1 s, 20 samples"
                               : "window recording FAILED: a reading failed",
                   percent, "%", "<= 2 % of a core");
            window.OnCommand(MainDialog::kStop);
        }
        protocol.ClosePort();
    }
    PromptService::Install(nullptr);
    TimerService::Install(nullptr);
    std::filesystem::remove_all(folder);
    return result;
}
