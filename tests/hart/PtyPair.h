#pragma once

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <string>
#include <termios.h>
#include <unistd.h>

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
        CloseModem();
        if (m_nDevice >= 0) {
            ::close(m_nDevice);
        }
    }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    void CloseModem() {
        if (m_nModem >= 0) {
            ::close(m_nModem);
            m_nModem = -1;
        }
    }
    // Reads what the tool sent, waiting at most timeoutMs for it to arrive.
    ssize_t Receive(void* bytes, std::size_t count, int timeoutMs = 1000) const {
        pollfd in{m_nModem, POLLIN, 0};
        return ::poll(&in, 1, timeoutMs) == 1 ? ::read(m_nModem, bytes, count) : -1;
    }
    bool Send(const void* bytes, std::size_t count) const {
        return ::write(m_nModem, bytes, count) == static_cast<ssize_t>(count);
    }

    int m_nModem = -1;
    int m_nDevice = -1; // kept open so closing the tool's side never hangs up the pair
    std::string m_strDevice;
};
