#include "hart/SerialConnection.h"

#include "platform/DebugTrace.h"

std::unique_ptr<SerialLink> SerialConnection::Open(int portNumber, BytesCallback onBytes) {
    auto connection = std::make_unique<SerialConnection>();
    if (!connection->m_Port.Open(portNumber)) {
        return nullptr;
    }
    return Start(std::move(connection), std::move(onBytes));
}

std::unique_ptr<SerialLink> SerialConnection::OpenDevice(const std::string& path,
                                                         BytesCallback onBytes) {
    auto connection = std::make_unique<SerialConnection>();
    if (!connection->m_Port.OpenDevice(path)) {
        return nullptr;
    }
    return Start(std::move(connection), std::move(onBytes));
}

std::unique_ptr<SerialLink> SerialConnection::Start(std::unique_ptr<SerialConnection> connection,
                                                    BytesCallback onBytes) {
    // Without a reader nothing could ever be received: refuse the port rather
    // than let every transaction time out.
    if (!connection->m_Reader.Start(connection->m_Port.Fd(), std::move(onBytes))) {
        DebugTrace("serial port opened but its reader could not start");
        return nullptr;
    }
    return connection;
}

bool SerialConnection::Write(std::span<const std::uint8_t> frame) {
    if (!m_Port.Write(frame)) {
        m_bWriteFailed = true;
        return false;
    }
    return true;
}
