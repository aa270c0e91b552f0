// Benchmark: the window's start-up (process start to the shown window), its
// memory after start, and the processor time it takes while idle with the
// port open on the simulated transmitter. Runs offscreen.
#include "hart/HartProtocol.h"
#include "hart/Sequence.h"
#include "platform/PromptService.h"
#include "shell/MainDialog.h"
#include "shell/QtPromptService.h"
#include "shell/QtTimerService.h"
#include "tests/e2e/SimulatorProcess.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QTimer>
#include <QWindow>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace {

const auto g_MainEntered = std::chrono::steady_clock::now();

// Seconds since this process was started by the kernel (10 ms steps).
double SecondsSinceProcessStart() {
    std::ifstream stat("/proc/self/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    // Field 22, counted after the command name in parentheses.
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    for (int i = 3; i <= 22 && fields >> field; ++i) {
    }
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    const double started = std::strtod(field.c_str(), nullptr) / sysconf(_SC_CLK_TCK);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9 - started;
}

long ResidentKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::strtol(line.c_str() + 6, nullptr, 10);
        }
    }
    return -1;
}

double ProcessorSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Runs the event loop for the given time.
void Idle(int milliseconds) {
    QTimer::singleShot(milliseconds, qApp, &QCoreApplication::quit);
    QApplication::exec();
}

} // namespace

int main(int argc, char* argv[]) {
    constexpr double kGoalStartMs = 300;
    constexpr double kGoalIdlePercent = 0.2;
    constexpr int kIdleMs = 10000;
    const std::string folder =
        (std::filesystem::temp_directory_path() / ("calora_bench_" + std::to_string(getpid())))
            .string();
    std::filesystem::create_directories(folder);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // The stored settings of the user running the benchmark stay untouched.
    setenv("XDG_CONFIG_HOME", folder.c_str(), 1);

    HartProtocol protocol;
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Varnel"));
    QApplication::setApplicationName(QStringLiteral("DORWIN"));
    QtTimerService timers;
    QtPromptService prompts;
    TimerService::Install(&timers);
    PromptService::Install(&prompts);

    int result = 0;
    {
        MainDialog window(protocol, CALORA_PROGRAM_DIR);
        window.show();
        while (window.windowHandle() == nullptr || !window.windowHandle()->isExposed()) {
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        QApplication::processEvents();
        const double sinceStart = SecondsSinceProcessStart() * 1000.0;
        const double sinceMain = std::chrono::duration<double, std::milli>(
                                     std::chrono::steady_clock::now() - g_MainEntered)
                                     .count();
        const long memory = ResidentKilobytes();
        std::printf("window start-up: %.0f ms from process start to the shown window (%.0f ms "
                    "of it in main); goal <= %.0f ms: %s\n",
                    sinceStart, sinceMain, kGoalStartMs,
                    sinceStart <= kGoalStartMs ? "met" : "MISSED");
        std::printf("window memory after start: %.1f MB resident\n", memory / 1024.0);

        SimulatorProcess sim(16, {"--timing", "fast"});
        protocol.SetPortNumber(16);
        if (!sim.Ready() || !protocol.EnsureOpen()) {
            std::fprintf(stderr, "window idle: the simulator's port did not open\n");
            result = 1;
        } else {
            Idle(500);
            const double before = ProcessorSeconds();
            QElapsedTimer clock;
            clock.start();
            Idle(kIdleMs);
            const double percent =
                (ProcessorSeconds() - before) / (clock.elapsed() / 1000.0) * 100.0;
            std::printf("window idle with the port open: %.3f %% of a core over %.0f s; goal <= "
                        "%.1f %%: %s\n",
                        percent, clock.elapsed() / 1000.0, kGoalIdlePercent,
                        percent <= kGoalIdlePercent ? "met" : "MISSED");
        }
        protocol.ClosePort();
    }
    PromptService::Install(nullptr);
    TimerService::Install(nullptr);
    std::filesystem::remove_all(folder);
    return result;
}
