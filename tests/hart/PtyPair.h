#pragma once

#include <fcntl.h>
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
