#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

// A serial device at the HART line settings: 1200 baud, 8 data bits, odd
// parity, one stop bit, no flow control, opened exclusively. RTS keys the
// modem's transmitter.
class CSerialPort {
public:
    CSerialPort() = default;
    ~CSerialPort() { Close(); }
    CSerialPort(const CSerialPort&) = delete;
    CSerialPort& operator=(const CSerialPort&) = delete;

    // Opens COM portNumber, resolved to a device. False when it is missing or
    // held by another program (nothing shown), or when the line settings are
    // refused ("strPortFail" shown).
    bool Open(int portNumber);
    bool OpenDevice(const std::string& path);
    // Lowers DTR and RTS first, so no modem stays keyed on its loop after the
    // tool lets go of the port.
    void Close();
    bool IsOpen() const { return m_nFd >= 0; }
    int Fd() const { return m_nFd; }

    // Writes the whole frame, waiting at most a second for the driver to take it.
    bool Write(std::span<const std::uint8_t> bytes);
    void RaiseRts();
    void LowerRts();

    // How modem lines are set or cleared: TIOCMBIS / TIOCMBIC by default. A
    // test puts its own here to watch a line it cannot read back from a
    // pseudo-terminal; null restores the default.
    using ModemLineControl = void (*)(int fd, int lines, bool raise);
    static void SetModemLineControl(ModemLineControl control);

private:
    int m_nFd = -1;
};
