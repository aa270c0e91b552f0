#include "hart/CSerialPort.h"

#include "platform/ComPortResolver.h"
#include "platform/LanguageText.h"
#include "platform/PromptService.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int kWriteTimeoutMs = 1000;

// On a pseudo-terminal the modem-line calls fail; that is harmless there.
void SetModemLinesByIoctl(int fd, int lines, bool raise) {
    (void)ioctl(fd, raise ? TIOCMBIS : TIOCMBIC, &lines);
}

CSerialPort::ModemLineControl s_ModemLineControl = SetModemLinesByIoctl;

void SetModemLines(int fd, int lines, bool raise) {
    s_ModemLineControl(fd, lines, raise);
}

// Unix98 pseudo-terminal devices: the simulated transmitter's line.
bool IsPseudoTerminal(int fd) {
    struct stat info {};
    return ::fstat(fd, &info) == 0 && S_ISCHR(info.st_mode) && major(info.st_rdev) >= 136 &&
           major(info.st_rdev) <= 143;
}

// A pseudo-terminal has no parity: its driver drops the parity flags, and the
// C library reports that as a refusal when nothing else changed. Everything
// else must have been taken as asked.
bool TakenButParity(int fd, const termios& wanted) {
    termios actual{};
    const tcflag_t parity = PARENB | PARODD;
    return ::tcgetattr(fd, &actual) == 0 &&
           (actual.c_cflag & ~parity & ~CBAUD) == (wanted.c_cflag & ~parity & ~CBAUD) &&
           actual.c_iflag == wanted.c_iflag && actual.c_lflag == wanted.c_lflag &&
           ::cfgetospeed(&actual) == B1200;
}

} // namespace

bool CSerialPort::Open(int portNumber) {
    Close();
    const std::string path = ComPortResolver::DevicePath(portNumber);
    return !path.empty() && OpenDevice(path);
}

bool CSerialPort::OpenDevice(const std::string& path) {
    Close();
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    // Exclusive: a second open of the tty fails, and so does another program
    // that honours the advisory lock.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    (void)ioctl(fd, TIOCEXCL);

    termios settings{};
    bool applied = ::tcgetattr(fd, &settings) == 0;
    if (applied) {
        settings.c_iflag = INPCK;
        settings.c_oflag = 0;
        settings.c_lflag = 0;
        // HUPCL: should the tool end without closing, the driver still drops
        // the modem lines when the last holder closes the device.
        settings.c_cflag = CS8 | PARENB | PARODD | CREAD | CLOCAL | HUPCL;
        settings.c_cc[VMIN] = 0;
        settings.c_cc[VTIME] = 0;
        applied = ::cfsetispeed(&settings, B1200) == 0 && ::cfsetospeed(&settings, B1200) == 0 &&
                  ::tcsetattr(fd, TCSANOW, &settings) == 0;
        if (!applied && IsPseudoTerminal(fd)) {
            applied = TakenButParity(fd, settings);
        }
    }
    if (!applied) {
        PromptService::Show(LoadLanguageText("strPortFail"), "HART", PromptService::Icon::Error);
        ::close(fd);
        return false;
    }
    m_nFd = fd;
    SetModemLines(m_nFd, TIOCM_DTR | TIOCM_RTS, true);
    ::tcflush(m_nFd, TCIOFLUSH);
    return true;
}

void CSerialPort::SetModemLineControl(ModemLineControl control) {
    s_ModemLineControl = control != nullptr ? control : SetModemLinesByIoctl;
}

void CSerialPort::Close() {
    if (m_nFd >= 0) {
        SetModemLines(m_nFd, TIOCM_DTR | TIOCM_RTS, false);
        ::close(m_nFd);
        m_nFd = -1;
    }
}

bool CSerialPort::Write(std::span<const std::uint8_t> bytes) {
    std::size_t written = 0;
    while (m_nFd >= 0 && written < bytes.size()) {
        const ssize_t n = ::write(m_nFd, bytes.data() + written, bytes.size() - written);
        if (n > 0) {
            written += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno != EAGAIN) {
            return false;
        }
        pollfd out{m_nFd, POLLOUT, 0};
        if (::poll(&out, 1, kWriteTimeoutMs) <= 0 || (out.revents & (POLLERR | POLLHUP)) != 0) {
            return false;
        }
    }
    return written == bytes.size();
}

void CSerialPort::RaiseRts() {
    if (m_nFd >= 0) {
        SetModemLines(m_nFd, TIOCM_RTS, true);
    }
}

void CSerialPort::LowerRts() {
    if (m_nFd >= 0) {
        SetModemLines(m_nFd, TIOCM_RTS, false);
    }
}
