#pragma once

#include "hart/SerialLink.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <thread>

// The reader thread of an open port. It waits for bytes and delivers them in
// chunks: a chunk ends after 50 ms without a byte or when 2048 bytes are
// held. Stop wakes it at once and joins it, so the thread never outlives the
// reader or the port.
class PortReader {
public:
    static constexpr std::size_t kChunkSize = 2048;
    static constexpr int kSilenceMs = 50;

    PortReader() = default;
    ~PortReader() { Stop(); }
    PortReader(const PortReader&) = delete;
    PortReader& operator=(const PortReader&) = delete;

    // Starts reading fd (kept open by the caller until Stop returns). False
    // when the thread or its wake-up channel could not be created.
    bool Start(int fd, SerialLink::BytesCallback deliver);
    void Stop();
    // True once the device reported an error or hang-up: nothing more comes.
    bool IsLost() const { return m_bLost.load(); }

private:
    void Run();

    int m_nFd = -1;
    int m_nWakeFd = -1;
    SerialLink::BytesCallback m_Deliver;
    std::array<std::uint8_t, kChunkSize> m_Buffer{};
    std::atomic<bool> m_bLost{false};
    std::thread m_Thread;
};
