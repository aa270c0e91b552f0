#pragma once

#include "sim/DeviceModel.h"
#include "sim/FaultInjector.h"
#include "sim/RequestAssembler.h"
#include "sim/SimOptions.h"
#include "sim/TrafficLog.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <vector>

class PtyEndpoint;

// The line with its devices: takes the tool's bytes, lets the addressed
// device answer, spoils answers as the faults say and releases the answer
// bytes at the time they are due. Times are seconds since the start, passed
// in, so tests drive it without a clock.
class Simulator {
public:
    // Seconds per byte at 1200 baud with start, parity and stop bits.
    static constexpr double kByteTime = 11.0 / 1200.0;
    static constexpr double kTurnaround = 0.020;
    static constexpr double kLateDelay = 0.800;
    static constexpr std::size_t kFaultPreambles = 20;
    static constexpr std::uint32_t kFirstDeviceId = 0x5A0001;
    // A pause this long ends a frame in progress: its rest is not coming.
    static constexpr double kReceiveGap = 1.0;

    Simulator(const SimOptions& options, std::ostream* log);

    // Reads the state file named in the options when it exists; false with a
    // reason when it exists but cannot be used.
    bool LoadState(std::string* error);

    // Bytes from the tool, arrived at the given time.
    void Receive(std::span<const std::uint8_t> bytes, double seconds);
    // Removes and returns the answer bytes due by the given time.
    std::vector<std::uint8_t> TakeDue(double seconds);
    // When the next answer byte is due; nothing while no answer waits.
    std::optional<double> NextDue() const;

    // Serves the endpoint until stop is set.
    void Run(PtyEndpoint& endpoint, const std::atomic<bool>& stop);

    std::size_t DeviceCount() const { return m_devices.size(); }
    DeviceModel& Device(std::size_t index) { return m_devices.at(index); }

private:
    struct PendingAnswer {
        double m_start = 0;
        double m_interval = 0;
        std::vector<std::uint8_t> m_bytes;
        std::size_t m_sent = 0;
    };

    DeviceModel* Addressed(const RequestFrame& request);
    void Answer(const RequestFrame& request, DeviceModel& device, double seconds);
    // The second status byte of an answer from device.
    std::uint8_t DeviceStatus(const DeviceModel& device) const;
    void Schedule(PendingAnswer answer);
    void SaveState();

    SimOptions m_options;
    std::vector<DeviceModel> m_devices;
    RequestAssembler m_assembler;
    FaultInjector m_faults;
    TrafficLog m_log;
    std::deque<PendingAnswer> m_pending;
    double m_lineFreeAt = 0;
    double m_lastReceived = 0;
};
