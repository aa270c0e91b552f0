#include "sim/CommandDispatcher.h"

#include "sim/PackedAscii.h"
#include "sim/WireFloat.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>
#include <utility>

namespace {

constexpr std::array<std::pair<std::uint8_t, std::uint8_t>, 52> kRequestLengths{{
    {0, 0},   {1, 0},    {2, 0},   {3, 0},   {6, 1},   {12, 0},   {13, 0},  {14, 0},   {15, 0},
    {16, 0},  {17, 24},  {18, 21}, {19, 3},  {34, 4},  {35, 9},   {36, 0},  {37, 0},   {40, 4},
    {42, 0},  {45, 4},   {46, 4},  {137, 4}, {138, 6}, {140, 0},  {141, 0}, {142, 0},  {143, 1},
    {144, 0}, {145, 0},  {146, 0}, {147, 0}, {148, 0}, {150, 0},  {152, 3}, {153, 3},  {160, 1},
    {161, 0}, {162, 0},  {163, 0}, {164, 0}, {180, 8}, {181, 5},  {182, 4}, {183, 19}, {184, 5},
    {185, 4}, {186, 12}, {187, 3}, {188, 2}, {190, 5}, {192, 35}, {194, 4},
}};

constexpr std::size_t kTagCharacters = 8;
constexpr std::size_t kDescriptorCharacters = 16;
constexpr std::size_t kMessageCharacters = 32;

class AnswerData {
public:
    void Byte(std::uint8_t value) { m_bytes.push_back(value); }
    void Float(float value) { Bytes(WireFloat::Encode(value)); }
    void Unsigned24(std::uint32_t value) {
        Byte(static_cast<std::uint8_t>(value >> 16));
        Byte(static_cast<std::uint8_t>(value >> 8));
        Byte(static_cast<std::uint8_t>(value));
    }
    template <typename Range> void Bytes(const Range& range) {
        m_bytes.insert(m_bytes.end(), std::begin(range), std::end(range));
    }
    std::vector<std::uint8_t> Take() { return std::move(m_bytes); }

private:
    std::vector<std::uint8_t> m_bytes;
};

float FloatAt(std::span<const std::uint8_t> data, std::size_t offset) {
    return WireFloat::Decode(data.subspan(offset).first<4>());
}

template <std::size_t N>
void Store(std::array<std::uint8_t, N>& target, std::span<const std::uint8_t> data) {
    std::copy_n(data.begin(), N, target.begin());
}

std::uint32_t Unsigned24At(std::span<const std::uint8_t> data) {
    return (std::uint32_t{data[0]} << 16) | (std::uint32_t{data[1]} << 8) | data[2];
}

bool KnownPvUnit(std::uint8_t unit) {
    return unit == DeviceModel::kCelsius || unit == DeviceModel::kFahrenheit ||
           unit == DeviceModel::kKelvin || unit == DeviceModel::kMillivolt ||
           unit == DeviceModel::kOhm;
}

CommandDispatcher::Reply Fail(std::uint8_t responseCode) {
    CommandDispatcher::Reply reply;
    reply.m_responseCode = responseCode;
    return reply;
}

CommandDispatcher::Reply Echo(std::span<const std::uint8_t> data, bool changed) {
    CommandDispatcher::Reply reply;
    reply.m_data.assign(data.begin(), data.end());
    reply.m_configChanged = changed;
    return reply;
}

// Checks a trim reference against the window around its nominal current.
std::uint8_t CheckReference(float value, float low, float high) {
    if (!(value >= low)) {
        return CommandDispatcher::kValueTooSmall;
    }
    if (!(value <= high)) {
        return CommandDispatcher::kValueTooLarge;
    }
    return CommandDispatcher::kSuccess;
}

} // namespace

std::optional<std::size_t> CommandDispatcher::RequestLength(std::uint8_t command) {
    for (const auto& [known, length] : kRequestLengths) {
        if (known == command) {
            return length;
        }
    }
    return std::nullopt;
}

CommandDispatcher::Reply CommandDispatcher::Handle(DeviceModel& device, std::uint8_t command,
                                                   std::span<const std::uint8_t> data,
                                                   double seconds) {
    const auto expected = RequestLength(command);
    if (!expected) {
        return Fail(kNotImplemented);
    }
    if (data.size() != *expected) {
        return Fail(kTooFewDataBytes);
    }

    DeviceConfig& config = device.Config();
    AnswerData answer;
    Reply reply;
    switch (command) {
    case 0: {
        const auto address = device.LongAddress();
        answer.Byte(254);
        answer.Byte(DeviceModel::kManufacturerId);
        answer.Byte(device.DeviceType());
        answer.Byte(DeviceModel::kPreambles);
        answer.Byte(DeviceModel::kUniversalRevision);
        answer.Byte(DeviceModel::kDeviceRevision);
        answer.Byte(DeviceModel::kSoftwareRevision);
        answer.Byte(DeviceModel::kHardwareRevision);
        answer.Byte(0);
        answer.Bytes(std::span(address).subspan(2));
        break;
    }
    case 1: {
        const auto reading = device.Sample(seconds);
        answer.Byte(config.m_pvUnit);
        answer.Float(reading.m_pv);
        break;
    }
    case 2: {
        const auto reading = device.Sample(seconds);
        answer.Float(reading.m_loopCurrent);
        answer.Float(reading.m_percentOfRange);
        break;
    }
    case 3: {
        const auto reading = device.Sample(seconds);
        answer.Float(reading.m_loopCurrent);
        answer.Byte(config.m_pvUnit);
        answer.Float(reading.m_pv);
        answer.Byte(config.m_pvUnit);
        answer.Float(reading.m_secondary);
        answer.Byte(DeviceModel::kCelsius);
        answer.Float(reading.m_electronics);
        break;
    }
    case 6:
        if (data[0] > 15) {
            return Fail(kInvalidSelection);
        }
        config.m_pollingAddress = data[0];
        return Echo(data, true);
    case 12:
        answer.Bytes(PackedAscii::Pack(config.m_message, kMessageCharacters));
        break;
    case 13:
        answer.Bytes(PackedAscii::Pack(config.m_tag, kTagCharacters));
        answer.Bytes(PackedAscii::Pack(config.m_descriptor, kDescriptorCharacters));
        answer.Byte(config.m_day);
        answer.Byte(config.m_month);
        answer.Byte(config.m_yearSince1900);
        break;
    case 14: {
        const auto limits = device.Limits();
        answer.Unsigned24(device.SensorSerialNumber());
        answer.Byte(limits.m_unit);
        answer.Float(limits.m_upper);
        answer.Float(limits.m_lower);
        answer.Float(limits.m_minimumSpan);
        break;
    }
    case 15:
        // Alarm selection: 0 = high, 1 = low, as the display block chooses.
        answer.Byte(config.m_displayBlock[2] == 1 ? 1 : 0);
        answer.Byte(0); // linear transfer function
        answer.Byte(config.m_pvUnit);
        answer.Float(config.m_upperRange);
        answer.Float(config.m_lowerRange);
        answer.Float(config.m_damping);
        answer.Byte(0); // not write-protected
        answer.Byte(0);
        break;
    case 16:
        answer.Unsigned24(config.m_finalAssembly);
        break;
    case 17:
        config.m_message = PackedAscii::Unpack(data);
        return Echo(data, true);
    case 18:
        config.m_tag = PackedAscii::Unpack(data.first(6));
        config.m_descriptor = PackedAscii::Unpack(data.subspan(6, 12));
        config.m_day = data[18];
        config.m_month = data[19];
        config.m_yearSince1900 = data[20];
        return Echo(data, true);
    case 19:
        config.m_finalAssembly = Unsigned24At(data);
        return Echo(data, true);
    case 34: {
        const float damping = FloatAt(data, 0);
        if (!(damping >= 0.0f)) {
            return Fail(kValueTooSmall);
        }
        if (damping > 1000.0f) {
            return Fail(kValueTooLarge);
        }
        config.m_damping = damping;
        return Echo(data, true);
    }
    case 35:
        if (!KnownPvUnit(data[0])) {
            return Fail(kInvalidUnits);
        }
        config.m_pvUnit = data[0];
        config.m_upperRange = FloatAt(data, 1);
        config.m_lowerRange = FloatAt(data, 5);
        return Echo(data, true);
    case 36:
    case 37:
        if (!device.SetRangeEndToPresent(command == 36, seconds)) {
            return Fail(kProcessNotUsable);
        }
        reply.m_configChanged = true;
        return reply;
    case 40: {
        const float requested = FloatAt(data, 0);
        if (!std::isfinite(requested)) {
            return Fail(kInvalidSelection);
        }
        answer.Float(device.FixCurrent(requested));
        break;
    }
    case 42:
        device.Reset();
        break;
    case 45:
    case 46: {
        const float reference = FloatAt(data, 0);
        const bool zero = command == 45;
        const std::uint8_t verdict =
            zero ? CheckReference(reference, 3.0f, 6.0f) : CheckReference(reference, 18.0f, 22.0f);
        if (verdict != kSuccess) {
            return Fail(verdict);
        }
        (zero ? config.m_trimZero : config.m_trimGain) = reference;
        return Echo(data, true);
    }
    case 137:
    case 194:
        Store(config.m_value137, data);
        return Echo(data, true);
    case 138:
        config.m_byte138a = data[0];
        std::copy_n(data.begin() + 1, 4, config.m_bytes141.begin());
        config.m_byte138b = data[5];
        return Echo(data, true);
    case 140:
        answer.Bytes(config.m_pair140);
        break;
    case 141:
        answer.Bytes(config.m_bytes141);
        break;
    case 142:
        answer.Bytes(config.m_value142);
        break;
    case 143: {
        answer.Byte(data[0]);
        const auto found = config.m_records143.find(data[0]);
        answer.Bytes(found != config.m_records143.end() ? found->second
                                                        : std::array<std::uint8_t, 18>{});
        break;
    }
    case 144:
        answer.Bytes(config.m_floats144);
        break;
    case 145:
        answer.Bytes(config.m_value145);
        break;
    case 146:
        answer.Bytes(config.m_sensorBlock);
        break;
    case 147:
        answer.Bytes(config.m_displayBlock);
        break;
    case 148:
        answer.Bytes(config.m_pair148);
        break;
    case 150:
        answer.Bytes(config.m_block150);
        break;
    case 152:
    case 153:
        answer.Bytes(std::span(config.m_block152).first(34));
        break;
    case 160:
        if (data[0] != 1 && data[0] != 2) {
            return Fail(kInvalidSelection);
        }
        config.m_flag160 = data[0];
        return Echo(data, true);
    case 161:
        answer.Bytes(config.m_words161);
        break;
    case 162:
        answer.Bytes(DeviceModel::kVersion);
        answer.Bytes(std::array<std::uint8_t, 4>{});
        break;
    case 163:
    case 164:
        break;
    case 180:
        Store(config.m_pair140, data);
        return Echo(data, true);
    case 181:
        Store(config.m_bytes141, data);
        return Echo(data, true);
    case 182:
        Store(config.m_value142, data);
        return Echo(data, true);
    case 183: {
        std::array<std::uint8_t, 18> record{};
        std::copy_n(data.begin() + 1, record.size(), record.begin());
        config.m_records143[data[0]] = record;
        return Echo(data, true);
    }
    case 184: {
        const std::size_t slot = data[4] < 2 ? data[4] : 2;
        std::copy_n(data.begin(), 4,
                    config.m_floats144.begin() + static_cast<std::ptrdiff_t>(4 * slot));
        return Echo(data, true);
    }
    case 185:
        Store(config.m_value145, data);
        return Echo(data, true);
    case 186:
        device.SetSensorBlock(data.first<12>());
        return Echo(data, true);
    case 187:
        Store(config.m_displayBlock, data);
        return Echo(data, true);
    case 188:
        Store(config.m_pair148, data);
        return Echo(data, true);
    case 190:
        Store(config.m_block150, data);
        return Echo(data, true);
    case 192:
        Store(config.m_block152, data);
        return Echo(data, true);
    default:
        return Fail(kNotImplemented);
    }
    reply.m_data = answer.Take();
    return reply;
}
