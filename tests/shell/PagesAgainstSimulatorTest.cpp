// The sensor page on the simulated transmitter through a pseudo-terminal, in
// real time: what a Read shows, an Update writes back byte for byte, and a
// changed type is all that changes.
#include "hart/HartProtocol.h"
#include "hart/Sequence.h"
#include "shell/MainDialog.h"
#include "shell/QtTimerService.h"
#include "shell/SensorPage.h"
#include "tests/e2e/SimulatorProcess.h"
#include "tests/hart/EngineFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QSettings>
#include <QTabBar>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

void Press(MainDialog& window, int id) {
    qobject_cast<QPushButton*>(window.Page(1)->Control(id))->click();
    QElapsedTimer clock;
    clock.start();
    while (BusyFlag && clock.elapsed() < 20000) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    EXPECT_FALSE(BusyFlag);
}

} // namespace

TEST(PagesAgainstSimulator, SensorReadUpdateRoundTrip) {
    const std::string folder =
        ::testing::TempDir() + "calora_pages_sim_" + std::to_string(::getpid());
    std::filesystem::create_directories(folder);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString(folder));
    SimulatorProcess sim(14, {"--timing", "fast"});
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
        const auto com14 = std::find(ports.begin(), ports.end(), "COM14");
        ASSERT_NE(com14, ports.end());
        window.OnCommand(MainDialog::kFirstPort + static_cast<int>(com14 - ports.begin()));
        window.findChild<QTabBar*>()->setCurrentIndex(1);

        Press(window, 1049);
        const DeviceRecord read = protocol.Device();
        EXPECT_EQ(read.sensor1Type, 10);
        EXPECT_EQ(read.sensor2Type, 255);
        Press(window, 1168);
        protocol.Device() = DeviceRecord{};
        Press(window, 1049);
        const DeviceRecord again = protocol.Device();
        const auto sensorFields = [](const DeviceRecord& r) {
            return std::make_tuple(r.sensor1Type, r.sensor2Type, r.sensorSetupA, r.sensorSetupB,
                                   r.sensorValueA, r.sensorValueB, r.displaySettings,
                                   r.lowerRangeValue, r.upperRangeValue, r.damping, r.pvUnitText);
        };
        EXPECT_EQ(sensorFields(again), sensorFields(read));

        auto* type = qobject_cast<QComboBox*>(window.Page(1)->Control(1165));
        type->setCurrentIndex(14); // Type K
        emit type->activated(14);
        Press(window, 1168);
        Press(window, 1049);
        EXPECT_EQ(protocol.Device().sensor1Type, 3);
        // No wiring for a thermocouple; the unused second sensor keeps its 3 wires.
        EXPECT_EQ(protocol.Device().sensorSetupA, 0x1F);
        EXPECT_EQ(protocol.Device().lowerRangeValue, -270.0f);
        EXPECT_EQ(protocol.Device().upperRangeValue, 1372.0f);
        for (const auto& shown : prompts.m_Shown) {
            EXPECT_EQ(shown.text, "Language file lost!");
        }
    }
    TimerService::Install(nullptr);
    std::filesystem::remove_all(folder);
}
