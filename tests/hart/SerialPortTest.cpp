#include "hart/CSerialPort.h"
#include "hart/PortReader.h"
#include "hart/SerialConnection.h"
#include "platform/ComPortResolver.h"
#include "tests/hart/PtyPair.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

// Collects the chunks a reader delivers, from its thread.
class Chunks {
public:
    SerialLink::BytesCallback Callback() {
        return [this](std::span<const std::uint8_t> bytes) {
            const std::lock_guard lock(m_Lock);
            m_Chunks.emplace_back(bytes.begin(), bytes.end());
            m_Changed.notify_all();
        };
    }
    // Waits until at least total bytes arrived (or two seconds passed).
    std::vector<std::vector<std::uint8_t>> WaitFor(std::size_t total) {
        std::unique_lock lock(m_Lock);
        m_Changed.wait_for(lock, 2s, [&] {
            std::size_t n = 0;
            for (const auto& chunk : m_Chunks) {
                n += chunk.size();
            }
            return n >= total;
        });
        return m_Chunks;
    }

private:
    std::mutex m_Lock;
    std::condition_variable m_Changed;
    std::vector<std::vector<std::uint8_t>> m_Chunks;
};

} // namespace

TEST(PortReader, SilenceOfFiftyMillisecondsEndsAChunk) {
    PtyPair pty;
    ASSERT_GE(pty.m_nModem, 0);
    Chunks chunks;
    PortReader reader;
    ASSERT_TRUE(reader.Start(pty.m_nDevice, chunks.Callback()));
    // Bytes 10 ms apart stay one chunk; 150 ms of silence starts another.
    const std::uint8_t a[] = {1, 2, 3};
    pty.Send(a, 2);
    std::this_thread::sleep_for(10ms);
    pty.Send(a + 2, 1);
    std::this_thread::sleep_for(150ms);
    pty.Send(a, 3);
    const auto got = chunks.WaitFor(6);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0], (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(got[1], (std::vector<std::uint8_t>{1, 2, 3}));
}

TEST(PortReader, ABurstIsDeliveredInFullBuffersThenTheRest) {
    PtyPair pty;
    Chunks chunks;
    PortReader reader;
    ASSERT_TRUE(reader.Start(pty.m_nDevice, chunks.Callback()));
    std::vector<std::uint8_t> burst(3000);
    for (std::size_t i = 0; i < burst.size(); ++i) {
        burst[i] = static_cast<std::uint8_t>(i);
    }
    ASSERT_TRUE(pty.Send(burst.data(), burst.size()));
    const auto got = chunks.WaitFor(burst.size());
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].size(), PortReader::kChunkSize);
    EXPECT_EQ(got[1].size(), burst.size() - PortReader::kChunkSize);
    EXPECT_EQ(got[1].back(), burst.back());
}

TEST(PortReader, StopWakesTheThreadAtOnce) {
    PtyPair pty;
    PortReader reader;
    ASSERT_TRUE(reader.Start(pty.m_nDevice, nullptr));
    std::this_thread::sleep_for(20ms);
    const auto start = std::chrono::steady_clock::now();
    reader.Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 100ms);
    reader.Stop(); // twice is harmless
    EXPECT_FALSE(reader.IsLost());
}

TEST(PortReader, HangUpMarksTheLinkLost) {
    PtyPair pty;
    Chunks chunks;
    PortReader reader;
    ASSERT_TRUE(reader.Start(pty.m_nDevice, chunks.Callback()));
    const std::uint8_t last[] = {9, 9};
    pty.Send(last, 2);
    std::this_thread::sleep_for(20ms);
    pty.CloseModem();
    for (int i = 0; i < 100 && !reader.IsLost(); ++i) {
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_TRUE(reader.IsLost());
    // What arrived before the hang-up is still delivered.
    EXPECT_EQ(chunks.WaitFor(2).size(), 1u);
}

TEST(SerialPort, OpensExclusivelyAtTheLineSettings) {
    PtyPair pty;
    CSerialPort port;
    ASSERT_TRUE(port.OpenDevice(pty.m_strDevice));
    termios settings{};
    ASSERT_EQ(::tcgetattr(port.Fd(), &settings), 0);
    EXPECT_EQ(::cfgetospeed(&settings), B1200);
    EXPECT_EQ(settings.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(settings.c_cflag & CSTOPB, 0u);
    EXPECT_NE(settings.c_cflag & CLOCAL, 0u);
    // (A pseudo-terminal keeps no parity flags; a real port does.)
    EXPECT_EQ(settings.c_iflag & (IXON | IXOFF), 0u);

    CSerialPort second;
    EXPECT_FALSE(second.OpenDevice(pty.m_strDevice));
    port.Close();
    port.Close();
    // Reopening a line whose settings are already in place works too.
    ASSERT_TRUE(port.OpenDevice(pty.m_strDevice));
    port.Close();
    EXPECT_TRUE(second.OpenDevice(pty.m_strDevice));

    const std::uint8_t frame[] = {0xFF, 0x02, 0x80};
    EXPECT_TRUE(second.Write(frame));
    std::uint8_t got[3] = {};
    EXPECT_EQ(pty.Receive(got, 3), 3);
    EXPECT_EQ(got[2], 0x80);
    EXPECT_FALSE(CSerialPort().OpenDevice("/nonexistent/tty"));
}

TEST(SerialPort, ComNumberResolvesThroughThePortsFolder) {
    PtyPair pty;
    const std::filesystem::path folder =
        ::testing::TempDir() + "calora_ports_test_" + std::to_string(::getpid());
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    std::filesystem::create_symlink(pty.m_strDevice, folder / "COM12");
    ::setenv("CALORA_PORTS_DIR", folder.c_str(), 1);

    EXPECT_EQ(ComPortResolver::PortsFolder(), folder.string());
    EXPECT_EQ(ComPortResolver::DevicePath(12), (folder / "COM12").string());
    Chunks chunks;
    auto link = SerialConnection::Open(12, chunks.Callback());
    ASSERT_NE(link, nullptr);
    const std::uint8_t answer[] = {0xFF, 0x06};
    pty.Send(answer, 2);
    EXPECT_EQ(chunks.WaitFor(2).size(), 1u);
    link.reset();

    ::unsetenv("CALORA_PORTS_DIR");
    std::filesystem::remove_all(folder);
}

TEST(SerialPort, DevicesAreOrderedUsbFirstThenNumerically) {
    const std::vector<std::string> names{"ttyS10",  "ttyACM0", "ttyS2",   "ttyUSB10", "tty5",
                                         "ttyUSB2", "ttyS",    "ttyUSBx", "console",  "ttyS0"};
    EXPECT_EQ(
        ComPortResolver::OrderDevices(names),
        (std::vector<std::string>{"ttyUSB2", "ttyUSB10", "ttyACM0", "ttyS0", "ttyS2", "ttyS10"}));
    EXPECT_EQ(ComPortResolver::DevicePath(0), "");
}
