#include "sim/PtyEndpoint.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

std::string Reason(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

// Raw 8-bit transfer: no echo, no line editing, no character translation.
bool MakeRaw(int fd) {
    termios settings{};
    if (::tcgetattr(fd, &settings) != 0) {
        return false;
    }
    settings.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR |
                                               ICRNL | IXON | IXOFF | INPCK);
    settings.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    settings.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    settings.c_cflag &= ~static_cast<tcflag_t>(CSIZE | CSTOPB);
    settings.c_cflag |= CS8 | PARENB | PARODD | CREAD | CLOCAL;
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;
    ::cfsetispeed(&settings, B1200);
    ::cfsetospeed(&settings, B1200);
    return ::tcsetattr(fd, TCSANOW, &settings) == 0;
}

} // namespace

bool PtyEndpoint::Open(std::string* error) {
    UniqueFd control(::posix_openpt(O_RDWR | O_NOCTTY));
    if (!control.Valid()) {
        *error = Reason("posix_openpt");
        return false;
    }
    if (::grantpt(control.Get()) != 0 || ::unlockpt(control.Get()) != 0) {
        *error = Reason("grantpt/unlockpt");
        return false;
    }
    const char* const name = ::ptsname(control.Get());
    if (name == nullptr) {
        *error = Reason("ptsname");
        return false;
    }
    std::string path = name;
    UniqueFd slave(::open(path.c_str(), O_RDWR | O_NOCTTY));
    if (!slave.Valid()) {
        *error = Reason(("open " + path).c_str());
        return false;
    }
    if (!MakeRaw(slave.Get())) {
        *error = Reason("tcsetattr");
        return false;
    }
    const int flags = ::fcntl(control.Get(), F_GETFL);
    if (flags < 0 || ::fcntl(control.Get(), F_SETFL, flags | O_NONBLOCK) != 0) {
        *error = Reason("fcntl");
        return false;
    }
    m_control = std::move(control);
    m_heldSlave = std::move(slave);
    m_devicePath = std::move(path);
    return true;
}

bool PtyEndpoint::WaitReadable(int timeoutMs) const {
    pollfd entry{m_control.Get(), POLLIN, 0};
    const int ready = ::poll(&entry, 1, timeoutMs);
    return ready > 0 && (entry.revents & POLLIN) != 0;
}

std::size_t PtyEndpoint::Read(std::span<std::uint8_t> buffer) {
    const ssize_t count = ::read(m_control.Get(), buffer.data(), buffer.size());
    return count > 0 ? static_cast<std::size_t>(count) : 0;
}

void PtyEndpoint::Write(std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t count = ::write(m_control.Get(), bytes.data(), bytes.size());
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return;
        }
        bytes = bytes.subspan(static_cast<std::size_t>(count));
    }
}
