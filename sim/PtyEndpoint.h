#pragma once

#include "sim/UniqueFd.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

// The simulator's end of a pseudo-terminal. The tool opens the other end
// (the slave device) as if it were a serial port. The endpoint keeps a
// descriptor of that slave side open itself, so the tool opening and closing
// the port never hangs up the line under the simulator.
class PtyEndpoint {
public:
    // Creates the pseudo-terminal in raw mode; false with a reason on failure.
    bool Open(std::string* error);

    const std::string& DevicePath() const { return m_devicePath; }

    // Waits up to timeoutMs for bytes from the tool; true when some can be read.
    bool WaitReadable(int timeoutMs) const;
    // Reads what is there without blocking; 0 when nothing is.
    std::size_t Read(std::span<std::uint8_t> buffer);
    // Writes all bytes unless the tool stopped reading (its buffer is full);
    // what does not fit is dropped, as on a line nobody listens to.
    void Write(std::span<const std::uint8_t> bytes);

private:
    UniqueFd m_control;   // our side, where the tool's bytes come out
    UniqueFd m_heldSlave; // the tool's side, held open by us
    std::string m_devicePath;
};
