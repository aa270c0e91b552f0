#include "sim/Simulator.h"

#include "sim/AnswerBuilder.h"
#include "sim/CommandDispatcher.h"
#include "sim/PtyEndpoint.h"
#include "sim/StateFile.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <iostream>
#include <sys/stat.h>

namespace {

DeviceConfig DefaultConfig(std::size_t index, std::uint8_t pollingAddress) {
    DeviceConfig config;
    config.m_deviceId = Simulator::kFirstDeviceId + static_cast<std::uint32_t>(index);
    config.m_pollingAddress = pollingAddress;
    config.m_tag = "TT" + std::to_string(101 + index);
    config.m_finalAssembly = static_cast<std::uint32_t>(index + 1);
    return config;
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

// The request from delimiter to checksum, for the log.
std::vector<std::uint8_t> WireBytes(const RequestFrame& request) {
    std::vector<std::uint8_t> raw;
    raw.reserve(9 + request.m_data.size());
    raw.push_back(request.Delimiter());
    for (std::size_t k = 0; k < request.AddressLength(); ++k) {
        raw.push_back(request.m_address[k]);
    }
    raw.push_back(request.m_command);
    raw.push_back(static_cast<std::uint8_t>(request.m_data.size()));
    std::uint8_t sum = 0;
    for (const std::uint8_t byte : request.m_data) {
        raw.push_back(byte);
    }
    for (const std::uint8_t byte : raw) {
        sum ^= byte;
    }
    raw.push_back(sum);
    return raw;
}

std::string Describe(const RequestFrame& request, const DeviceModel& device) {
    return "cmd " + std::to_string(request.m_command) + " for the device at polling address " +
           std::to_string(device.Config().m_pollingAddress);
}

} // namespace

Simulator::Simulator(const SimOptions& options, std::ostream* log)
    : m_options(options), m_faults(options.m_faults, options.m_seed),
      m_log(options.m_log ? log : nullptr) {
    for (std::size_t i = 0; i < options.m_devices.size(); ++i) {
        m_devices.emplace_back(DefaultConfig(i, options.m_devices[i]), options.m_seed);
        m_devices.back().SetSensorBroken(options.m_sensorBroken);
    }
}

bool Simulator::LoadState(std::string* error) {
    if (m_options.m_stateFile.empty() || !FileExists(m_options.m_stateFile)) {
        return true;
    }
    std::vector<DeviceConfig> saved;
    if (!StateFile::Load(m_options.m_stateFile, &saved, error)) {
        return false;
    }
    for (std::size_t i = 0; i < m_devices.size() && i < saved.size(); ++i) {
        m_devices[i] = DeviceModel(saved[i], m_options.m_seed);
        m_devices[i].SetSensorBroken(m_options.m_sensorBroken);
    }
    return true;
}

void Simulator::SaveState() {
    if (m_options.m_stateFile.empty()) {
        return;
    }
    std::vector<DeviceConfig> configs;
    for (const DeviceModel& device : m_devices) {
        configs.push_back(device.Config());
    }
    std::string error;
    if (!StateFile::Save(m_options.m_stateFile, configs, &error)) {
        std::cerr << "calora-sim: state not saved: " << error << std::endl;
    }
}

DeviceModel* Simulator::Addressed(const RequestFrame& request) {
    for (DeviceModel& device : m_devices) {
        if (request.m_longAddress
                ? device.MatchesLongAddress(std::span<const std::uint8_t, 5>(request.m_address))
                : (request.m_address[0] & 0x0F) == device.Config().m_pollingAddress) {
            return &device;
        }
    }
    return nullptr;
}

void Simulator::Receive(std::span<const std::uint8_t> bytes, double seconds) {
    if (seconds - m_lastReceived > kReceiveGap) {
        m_assembler.Reset();
    }
    m_lastReceived = seconds;
    const RequestAssembler::Result result = m_assembler.Feed(bytes);
    if (result.m_badChecksums > 0) {
        m_log.Note(seconds,
                   std::to_string(result.m_badChecksums) + " frame(s) with a bad checksum ignored");
    }
    for (const RequestFrame& request : result.m_frames) {
        const std::vector<std::uint8_t> raw = WireBytes(request);
        DeviceModel* const device = Addressed(request);
        // Short addressing identifies a device for command 0 only.
        if (device && !request.m_longAddress && request.m_command != 0) {
            m_log.Frame(seconds, "rx", raw, "short frame for a command other than 0, ignored");
            continue;
        }
        if (!device) {
            m_log.Frame(seconds, "rx", raw, "for another address, ignored");
            continue;
        }
        m_log.Frame(seconds, "rx", raw, Describe(request, *device));
        Answer(request, *device, seconds);
    }
}

std::uint8_t Simulator::DeviceStatus(const DeviceModel& device) const {
    constexpr std::uint8_t kCurrentFixed = 0x08;
    return static_cast<std::uint8_t>(m_options.m_statusBits |
                                     (device.CurrentFixed() ? kCurrentFixed : 0));
}

void Simulator::Answer(const RequestFrame& request, DeviceModel& device, double seconds) {
    const FaultInjector::Plan plan = m_faults.Next();
    if (plan.m_noAnswer) {
        m_log.Note(seconds, "no answer (fault)");
        return;
    }
    // A busy device does not carry the command out.
    CommandDispatcher::Reply reply;
    if (plan.m_badResponseCode) {
        reply.m_responseCode = CommandDispatcher::kBusy;
    } else if (std::find(m_options.m_unsupported.begin(), m_options.m_unsupported.end(),
                         request.m_command) != m_options.m_unsupported.end()) {
        reply.m_responseCode = CommandDispatcher::kNotImplemented;
    } else {
        reply = CommandDispatcher::Handle(device, request.m_command, request.m_data, seconds);
    }
    if (reply.m_configChanged) {
        SaveState();
    }
    if (plan.m_wrongByteCount) {
        reply.m_data.push_back(0);
    }
    const std::size_t preambles =
        plan.m_extraPreambles ? kFaultPreambles : AnswerBuilder::kNormalPreambles;
    std::vector<std::uint8_t> frame = AnswerBuilder::Build(
        request, reply.m_responseCode, DeviceStatus(device), reply.m_data, preambles);
    if (plan.m_badChecksum) {
        frame.back() ^= 0x55;
    }
    frame.insert(frame.begin(), plan.m_noise.begin(), plan.m_noise.end());

    const bool real = m_options.m_timing == SimOptions::Timing::Real;
    PendingAnswer answer;
    answer.m_start = seconds + (plan.m_late ? kLateDelay : real ? kTurnaround : 0.0);
    answer.m_interval = real ? kByteTime : 0.0;
    answer.m_bytes = std::move(frame);
    const std::string faults = plan.Describe();
    m_log.Frame(seconds, "tx", answer.m_bytes, faults.empty() ? "" : "fault: " + faults);
    Schedule(std::move(answer));
}

void Simulator::Schedule(PendingAnswer answer) {
    // One transmitter on the line at a time: answers go out in order of their
    // start, each after the one before has finished.
    const auto later = std::upper_bound(
        m_pending.begin(), m_pending.end(), answer.m_start,
        [](double start, const PendingAnswer& pending) { return start < pending.m_start; });
    m_pending.insert(later, std::move(answer));
}

std::vector<std::uint8_t> Simulator::TakeDue(double seconds) {
    std::vector<std::uint8_t> out;
    while (!m_pending.empty()) {
        PendingAnswer& answer = m_pending.front();
        if (answer.m_sent == 0) {
            const double begin = std::max(answer.m_start, m_lineFreeAt);
            if (begin > seconds) {
                break;
            }
            answer.m_start = begin;
        }
        std::size_t due = answer.m_bytes.size();
        if (answer.m_interval > 0) {
            const double elapsed = (seconds - answer.m_start) / answer.m_interval;
            due = std::min(due, static_cast<std::size_t>(std::floor(elapsed + 1e-9)) + 1);
        }
        if (due > answer.m_sent) {
            out.insert(out.end(),
                       answer.m_bytes.begin() + static_cast<std::ptrdiff_t>(answer.m_sent),
                       answer.m_bytes.begin() + static_cast<std::ptrdiff_t>(due));
            answer.m_sent = due;
        }
        if (answer.m_sent < answer.m_bytes.size()) {
            break;
        }
        m_lineFreeAt =
            answer.m_start + static_cast<double>(answer.m_bytes.size()) * answer.m_interval;
        m_pending.pop_front();
    }
    return out;
}

std::optional<double> Simulator::NextDue() const {
    if (m_pending.empty()) {
        return std::nullopt;
    }
    const PendingAnswer& answer = m_pending.front();
    if (answer.m_sent == 0) {
        return std::max(answer.m_start, m_lineFreeAt);
    }
    return answer.m_start + static_cast<double>(answer.m_sent) * answer.m_interval;
}

void Simulator::Run(PtyEndpoint& endpoint, const std::atomic<bool>& stop) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    const auto now = [start] {
        return std::chrono::duration<double>(Clock::now() - start).count();
    };
    // The stop flag is looked at least this often.
    constexpr int kLongestWaitMs = 100;
    std::array<std::uint8_t, 4096> buffer{};
    while (!stop.load()) {
        const std::vector<std::uint8_t> due = TakeDue(now());
        if (!due.empty()) {
            endpoint.Write(due);
        }
        int waitMs = kLongestWaitMs;
        if (const auto next = NextDue()) {
            const double until = std::max(0.0, *next - now());
            waitMs = std::min(waitMs, static_cast<int>(std::ceil(until * 1000.0)));
        }
        if (endpoint.WaitReadable(waitMs)) {
            const std::size_t count = endpoint.Read(buffer);
            if (count > 0) {
                Receive(std::span(buffer).first(count), now());
            }
        }
    }
}
