// Feeds arbitrary received bytes to the answer parser the way the reader
// thread does: chunk by chunk into a buffer capped at 59 bytes, parsing the
// whole buffer after each chunk.
#include "hart/HartProtocol.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    static HartProtocol protocol;
    protocol.Device().pollingAddress = data[0] & 0x0F;
    protocol.PrepareRequest(data[1]);

    std::uint8_t buffer[HartProtocol::kMaxReceived];
    std::size_t received = 0;
    // Chunk lengths come from the data itself so the fuzzer explores splits.
    std::size_t at = 2;
    while (at < size) {
        const std::size_t chunk = std::min<std::size_t>(1 + data[at] % 24, size - at);
        const std::size_t take = std::min(chunk, HartProtocol::kMaxReceived - received);
        std::copy_n(data + at, take, buffer + received);
        received += take;
        at += chunk;
        if (protocol.ParseAnswer({buffer, received})) {
            break;
        }
    }
    return 0;
}
