#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>

// An open line to the modem as the engine sees it: frames go out, the modem's
// transmitter is keyed with RTS, and received chunks arrive on the reader
// thread through the callback given when the link was opened.
class SerialLink {
public:
    using BytesCallback = std::function<void(std::span<const std::uint8_t>)>;
    // Opens COM portNumber and starts delivering received chunks to onBytes;
    // null when the port cannot be opened.
    using Opener =
        std::function<std::unique_ptr<SerialLink>(int portNumber, BytesCallback onBytes)>;

    virtual ~SerialLink() = default;

    virtual bool Write(std::span<const std::uint8_t> frame) = 0;
    virtual void RaiseRts() = 0;
    virtual void LowerRts() = 0;
    // True once the device went away under us (a USB modem pulled out): the
    // link delivers nothing more and must be reopened.
    virtual bool IsLost() const = 0;
};
