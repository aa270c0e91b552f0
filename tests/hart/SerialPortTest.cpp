#include "hart/CSerialPort.h"
#include "hart/PortReader.h"
#include "platform/ComPortResolver.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <numeric>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::chrono_literals;

// A pseudo-terminal for tests: the tool opens the device side, the test
// plays the modem on the other.
struct PtyPair {
    PtyPair() {
        char name[256] = {};
        if (::openpty(&m_nModem, &m_nDevice, name, nullptr, nullptr) == 0) {
            m_strDevice = name;
            termios raw{};
            ::tcgetattr(m_nDevice, &raw);
            ::cfmakeraw(&raw);
            ::tcsetattr(m_nDevice, TCSANOW, &raw);
        }
    }
    ~PtyPair() {
        for (int fd : {m_nModem, m_nDevice}) {
            if (fd >= 0) {
                ::close(fd);
            }
        }
    }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool Send(const void* bytes, std::size_t count) const {
        return ::write(m_nModem, bytes, count) == static_cast<ssize_t>(count);
    }

    int m_nModem = -1;
    int m_nDevice = -1; // kept open so closing the tool's side never hangs up the pair
    std::string m_strDevice;
};

// Collects the chunks a reader delivers, from its thread, and when the last
// arrived.
class Chunks {
public:
    SerialLink::BytesCallback Callback() {
        return [this](std::span<const std::uint8_t> bytes) {
            const std::lock_guard lock(m_Lock);
            m_Chunks.emplace_back(bytes.begin(), bytes.end());
            m_nBytes += bytes.size();
            m_Last = std::chrono::steady_clock::now();
            m_Changed.notify_all();
        };
    }
    // Waits until at least total bytes arrived; the chunks so far and when the last came.
    std::pair<std::vector<std::vector<std::uint8_t>>, std::chrono::steady_clock::time_point>
    WaitFor(std::size_t total) {
        std::unique_lock lock(m_Lock);
        m_Changed.wait(lock, [&] { return m_nBytes >= total; });
        return {m_Chunks, m_Last};
    }

private:
    std::mutex m_Lock;
    std::condition_variable m_Changed;
    std::vector<std::vector<std::uint8_t>> m_Chunks;
    std::size_t m_nBytes = 0;
    std::chrono::steady_clock::time_point m_Last;
};

} // namespace

TEST(PortReader, ChunksEndAfterFiftyMillisecondsOfSilenceOrAFullBufferAndStopWakesTheThread) {
    PtyPair pty;
    ASSERT_GE(pty.m_nModem, 0);
    Chunks chunks;
    PortReader reader;
    ASSERT_TRUE(reader.Start(pty.m_nDevice, chunks.Callback()));
    const std::uint8_t a[] = {1, 2, 3};
    const auto sent = std::chrono::steady_clock::now();
    pty.Send(a, 3);
    const auto [first, last] = chunks.WaitFor(3);
    ASSERT_EQ(first.size(), 1u);
    // Never earlier than the silence (a busy machine can only make it later).
    EXPECT_GE(last - sent, 50ms);
    std::vector<std::uint8_t> burst(3000);
    std::iota(burst.begin(), burst.end(), std::uint8_t{0});
    ASSERT_TRUE(pty.Send(burst.data(), burst.size()));
    const auto got = chunks.WaitFor(3 + burst.size()).first;
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0], (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(got[1].size(), PortReader::kChunkSize);
    EXPECT_EQ(got[2].size(), burst.size() - PortReader::kChunkSize);
    EXPECT_EQ(got[2].back(), burst.back());
    // With nothing more to read the thread waits without a time-out: only the
    // wake-up lets Stop's join return.
    reader.Stop();
    reader.Stop(); // twice is harmless
    EXPECT_FALSE(reader.IsLost());
}

TEST(SerialPort, OpensExclusivelyAtTheLineSettingsAndLowersDtrAndRtsOnClose) {
    // A pseudo-terminal has no modem lines to read back: watch the calls.
    static std::vector<std::pair<int, bool>> s_Calls;
    CSerialPort::SetModemLineControl(
        [](int, int lines, bool raise) { s_Calls.emplace_back(lines, raise); });
    PtyPair pty;
    CSerialPort port;
    ASSERT_TRUE(port.OpenDevice(pty.m_strDevice));
    termios settings{};
    ASSERT_EQ(::tcgetattr(port.Fd(), &settings), 0);
    EXPECT_EQ(::cfgetospeed(&settings), B1200);
    // Eight data bits, one stop bit, no modem control; the line hangs up
    // should the tool end without closing it.
    EXPECT_EQ(settings.c_cflag & (CSIZE | CSTOPB | CLOCAL | HUPCL),
              static_cast<tcflag_t>(CS8 | CLOCAL | HUPCL));
    // (A pseudo-terminal keeps no parity flags; a real port does.)
    EXPECT_EQ(settings.c_iflag & (IXON | IXOFF), 0u);

    CSerialPort second;
    EXPECT_FALSE(second.OpenDevice(pty.m_strDevice));
    port.RaiseRts();
    port.Close();
    port.Close();
    CSerialPort::SetModemLineControl(nullptr);
    // Both lines up on opening, RTS keyed, both down on the first close only.
    EXPECT_EQ(s_Calls, (std::vector<std::pair<int, bool>>{{TIOCM_DTR | TIOCM_RTS, true},
                                                          {TIOCM_RTS, true},
                                                          {TIOCM_DTR | TIOCM_RTS, false}}));
    // Reopening a line whose settings are already in place works too.
    ASSERT_TRUE(port.OpenDevice(pty.m_strDevice));
    port.Close();
    EXPECT_TRUE(second.OpenDevice(pty.m_strDevice));
    EXPECT_FALSE(CSerialPort().OpenDevice("/nonexistent/tty"));
}

TEST(SerialPort, DevicesAreOrderedUsbFirstThenNumerically) {
    const std::vector<std::string> names{"ttyS10",  "ttyACM0", "ttyS2",   "ttyUSB10", "tty5",
                                         "ttyUSB2", "ttyS",    "ttyUSBx", "console",  "ttyS0"};
    EXPECT_EQ(
        ComPortResolver::OrderDevices(names),
        (std::vector<std::string>{"ttyUSB2", "ttyUSB10", "ttyACM0", "ttyS0", "ttyS2", "ttyS10"}));
    EXPECT_EQ(ComPortResolver::DevicePath(0), "");
}
