// Feeds arbitrary bytes to the simulator's request side the way its line
// delivers them, in chunks: first to the request assembler alone, whose every
// frame must be one a master could have sent, then to the whole simulator, which
// answers the frames it accepts (any command, any data) and spoils some of
// the answers. Chunk lengths and the time between chunks come from the data.
#include "sim/FaultInjector.h"
#include "sim/RequestAssembler.h"
#include "sim/SimOptions.h"
#include "sim/Simulator.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <numeric>
#include <span>
#include <vector>

namespace {

// Every request taken must stand, delimiter to checksum, in the bytes that came.
bool CameOnTheLine(const RequestFrame& frame, const std::vector<std::uint8_t>& line) {
    if (frame.m_data.size() > 255) {
        return false;
    }
    std::vector<std::uint8_t> wire{frame.Delimiter()};
    wire.insert(wire.end(), frame.m_address.begin(),
                frame.m_address.begin() + static_cast<std::ptrdiff_t>(frame.AddressLength()));
    wire.push_back(frame.m_command);
    wire.push_back(static_cast<std::uint8_t>(frame.m_data.size()));
    wire.insert(wire.end(), frame.m_data.begin(), frame.m_data.end());
    wire.push_back(std::accumulate(wire.begin(), wire.end(), std::uint8_t{0}, std::bit_xor<>()));
    return std::search(line.begin(), line.end(), wire.begin(), wire.end()) != line.end();
}

SimOptions Options() {
    SimOptions options;
    options.m_devices = {0, 3};
    options.m_timing = SimOptions::Timing::Fast;
    for (const char* fault :
         {"noise:rate=0.2", "bytecount:rate=0.2", "late:rate=0.2", "ignore:rate=0.2:cmd=18"}) {
        options.m_faults.push_back(FaultInjector::Parse(fault, nullptr).value());
    }
    return options;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> input(data, size);
    RequestAssembler assembler;
    std::vector<std::uint8_t> line;
    Simulator simulator(Options(), nullptr);
    double seconds = 0;
    std::size_t at = 0;
    while (at < input.size()) {
        const std::uint8_t control = input[at++];
        const std::size_t length = std::min<std::size_t>(1 + control % 64, input.size() - at);
        const std::span<const std::uint8_t> chunk = input.subspan(at, length);
        at += length;
        // Now and then a pause long enough to end a frame in progress.
        seconds += (control & 0x80) != 0 ? 1.5 : 0.01;

        line.insert(line.end(), chunk.begin(), chunk.end());
        const std::vector<RequestFrame> frames = assembler.Feed(chunk).m_frames;
        simulator.Receive(chunk, seconds);
        // An answer to one chunk is a few frames at most, never unbounded;
        // nor are the bytes the assembler holds back.
        if (simulator.TakeDue(seconds + 1.0).size() > 64 * 1024 ||
            assembler.PendingBytes() > 4 * RequestAssembler::kMaxFrame ||
            !std::ranges::all_of(frames,
                                 [&](const auto& frame) { return CameOnTheLine(frame, line); })) {
            __builtin_trap();
        }
    }
    return 0;
}
