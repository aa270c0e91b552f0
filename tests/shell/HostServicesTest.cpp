// The window's timer service on Qt's event loop, and the file filter its
// file dialogs show.
#include "shell/FileDialogs.h"
#include "shell/QtTimerService.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

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

TEST(FileDialogs, FilterNamesTheExtensionThreeTimes) {
    EXPECT_EQ(FileFilter("tdd"), "tdd 文件(*.tdd)|*.tdd||");
    EXPECT_EQ(FileFilter(""), "");
    // Without a prompt service nothing is chosen.
    EXPECT_EQ(AskOpenPath("tdd", "Open"), "");
    EXPECT_EQ(AskSavePath("trend", "tdd", "Save"), "");
}
