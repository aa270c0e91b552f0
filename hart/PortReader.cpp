#include "hart/PortReader.h"

#include "platform/DebugTrace.h"

#include <cerrno>
#include <poll.h>
#include <sys/eventfd.h>
#include <system_error>
#include <unistd.h>

bool PortReader::Start(int fd, SerialLink::BytesCallback deliver) {
    Stop();
    m_nWakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_nWakeFd < 0) {
        return false;
    }
    m_nFd = fd;
    m_Deliver = std::move(deliver);
    m_bLost = false;
    try {
        m_Thread = std::thread([this] { Run(); });
    } catch (const std::system_error& error) {
        DebugTrace("reader thread could not start: %s", error.what());
        ::close(m_nWakeFd);
        m_nWakeFd = -1;
        return false;
    }
    return true;
}

void PortReader::Stop() {
    if (m_Thread.joinable()) {
        const std::uint64_t one = 1;
        (void)::write(m_nWakeFd, &one, sizeof one);
        m_Thread.join();
    }
    if (m_nWakeFd >= 0) {
        ::close(m_nWakeFd);
        m_nWakeFd = -1;
    }
}

void PortReader::Run() {
    std::size_t held = 0;
    auto deliver = [&] {
        if (held > 0 && m_Deliver) {
            m_Deliver({m_Buffer.data(), held});
        }
        held = 0;
    };
    for (;;) {
        pollfd fds[2] = {{m_nFd, POLLIN, 0}, {m_nWakeFd, POLLIN, 0}};
        const int ready = ::poll(fds, 2, held > 0 ? kSilenceMs : -1);
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            m_bLost = true;
            break;
        }
        if ((fds[1].revents & POLLIN) != 0) {
            break; // stop requested
        }
        if (ready == 0) {
            deliver(); // 50 ms of silence ends the chunk
            continue;
        }
        if ((fds[0].revents & POLLIN) != 0) {
            const ssize_t n = ::read(m_nFd, m_Buffer.data() + held, m_Buffer.size() - held);
            if (n > 0) {
                held += static_cast<std::size_t>(n);
                if (held == m_Buffer.size()) {
                    deliver();
                }
                continue;
            }
            if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
                continue;
            }
        }
        // Error, hang-up or end of file: the device is gone.
        m_bLost = true;
        break;
    }
    deliver();
}
