#pragma once

#include "hart/CSerialPort.h"
#include "hart/PortReader.h"
#include "hart/SerialLink.h"

#include <atomic>
#include <memory>

// A serial port with its reader thread: the link the engine uses on a real
// line. The reader is stopped and joined before the port closes.
class SerialConnection : public SerialLink {
public:
    static std::unique_ptr<SerialLink> Open(int portNumber, BytesCallback onBytes);
    static std::unique_ptr<SerialLink> OpenDevice(const std::string& path, BytesCallback onBytes);

    ~SerialConnection() override { m_Reader.Stop(); }

    bool Write(std::span<const std::uint8_t> frame) override;
    void RaiseRts() override { m_Port.RaiseRts(); }
    void LowerRts() override { m_Port.LowerRts(); }
    bool IsLost() const override { return m_bWriteFailed.load() || m_Reader.IsLost(); }

private:
    static std::unique_ptr<SerialLink> Start(std::unique_ptr<SerialConnection> connection,
                                             BytesCallback onBytes);

    CSerialPort m_Port;
    PortReader m_Reader;
    std::atomic<bool> m_bWriteFailed{false};
};
