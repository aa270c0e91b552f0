// The window's timer service on Qt's event loop, and the window on the
// simulated transmitter through a pseudo-terminal, in real time on Qt's
// timers: what an engineer does first.
#include "controls/ColorLabel.h"
#include "hart/HartProtocol.h"
#include "hart/Sequence.h"
#include "shell/MainDialog.h"
#include "shell/QtTimerService.h"
#include "tests/e2e/SimulatorProcess.h"
#include "tests/hart/EngineFixture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSettings>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

TEST(QtTimerService, FiresOnceKillsAndWaitsWhileDispatching) {
    QtTimerService timers;
    std::vector<int> fired;
    timers.StartOneShot(10, [&] { fired.push_back(1); });
    const auto killed = timers.StartOneShot(20, [&] { fired.push_back(2); });
    timers.StartOneShot(30, [&] {
        fired.push_back(3);
        // A timer callback may wait in turn; other timers run meanwhile.
        timers.WaitWithMessages(5);
    });
    timers.Kill(killed);
    timers.Kill(killed); // twice is harmless

    QElapsedTimer clock;
    clock.start();
    timers.WaitWithMessages(80);
    EXPECT_GE(clock.elapsed(), 80);
    EXPECT_EQ(fired, (std::vector<int>{1, 3}));
    timers.WaitWithMessages(0); // one look at the queue
}

TEST(WindowAgainstSimulator, GetFillsTheValuePanel) {
    const std::string folder =
        ::testing::TempDir() + "calora_window_sim_" + std::to_string(::getpid());
    std::filesystem::create_directories(folder);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString(folder));
    SimulatorProcess sim(13, {"--timing", "fast"});
    ASSERT_TRUE(sim.Ready());

    QtTimerService timers;
    TimerService::Install(&timers);
    RecordingPrompt prompts;
    BusyFlag = false;
    CancelFlag = false;
    HartProtocol protocol;
    {
        MainDialog window(protocol, folder + "/");
        window.show();
        const auto& ports = window.PortList();
        const auto com13 = std::find(ports.begin(), ports.end(), "COM13");
        ASSERT_NE(com13, ports.end());
        window.OnCommand(MainDialog::kFirstPort + static_cast<int>(com13 - ports.begin()));
        ASSERT_EQ(protocol.PortNumber(), 13);

        // The operation ends, answered or not, once its retries are spent.
        window.OnCommand(MainDialog::kGetValues);
        while (BusyFlag) {
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        const std::string pv = window.PvLabel()->Text().toStdString();
        EXPECT_TRUE(pv.ends_with("  °C")) << pv;
        EXPECT_NE(pv, "0.0  °C");
        EXPECT_NE(window.CurrentLabel()->Text().toStdString(), "0.0");
        // No language file here: "Language file lost!" is the only message.
        for (const auto& shown : prompts.m_Shown) {
            EXPECT_EQ(shown.text, "Language file lost!");
        }
    }
    TimerService::Install(nullptr);
    std::filesystem::remove_all(folder);
}
