#pragma once

#include "hart/SerialLink.h"
#include "tests/hart/VirtualClock.h"

#include <cstdint>
#include <functional>
#include <vector>

// A modem line in virtual time: records what the engine sends and when RTS
// changes, and lets the test schedule received bytes.
class FakeLink : public SerialLink {
public:
    struct Sent {
        std::uint64_t time;
        std::vector<std::uint8_t> frame;
    };
    struct RtsChange {
        std::uint64_t time;
        bool raised;
    };

    FakeLink(VirtualClock& clock, BytesCallback onBytes)
        : m_Clock(clock), m_OnBytes(std::move(onBytes)) {}

    bool Write(std::span<const std::uint8_t> frame) override {
        m_Sent.push_back({m_Clock.Now(), {frame.begin(), frame.end()}});
        if (m_OnWrite) {
            m_OnWrite(m_Sent.back().frame, m_Sent.size());
        }
        return true;
    }
    void RaiseRts() override { m_Rts.push_back({m_Clock.Now(), true}); }
    void LowerRts() override { m_Rts.push_back({m_Clock.Now(), false}); }
    bool IsLost() const override { return m_bLost; }

    // Delivers bytes after delay, as the reader thread would.
    void Receive(std::vector<std::uint8_t> bytes, unsigned delay) {
        m_Clock.StartOneShot(delay, [this, bytes = std::move(bytes)] { m_OnBytes(bytes); });
    }

    // Called on every write with the frame and the 1-based attempt count.
    std::function<void(const std::vector<std::uint8_t>&, std::size_t)> m_OnWrite;
    std::vector<Sent> m_Sent;
    std::vector<RtsChange> m_Rts;
    bool m_bLost = false;

private:
    VirtualClock& m_Clock;
    BytesCallback m_OnBytes;
};
