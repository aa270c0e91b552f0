#include "sim/DeviceModel.h"

#include "sim/WireFloat.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace {

std::uint64_t Mix(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

// A value in [0, 1) from a hash, the same on every platform.
double Unit(std::uint64_t hash) {
    return static_cast<double>(hash >> 11) / 9007199254740992.0;
}

struct SensorRange {
    float m_lower;
    float m_upper;
};

// Input range of each sensor type code, in the sensor's own unit (degrees
// Celsius for codes 0-20, Ohm for 21-23, mV for 24-27).
constexpr std::array<SensorRange, 28> kSensorRanges{{
    {0, 1820},   {-270, 1000}, {-210, 1200}, {-270, 1372}, {-270, 1300}, {-50, 1768}, {-50, 1768},
    {-270, 400}, {0, 2320},    {0, 2320},    {-200, 850},  {-200, 250},  {-200, 250}, {-50, 150},
    {-50, 150},  {-60, 180},   {-60, 180},   {-60, 150},   {-60, 180},   {-60, 180},  {-60, 150},
    {0, 400},    {0, 2000},    {0, 10000},   {-10, 75},    {-100, 100},  {-500, 500}, {-1000, 1000},
}};

constexpr std::uint8_t kNoSecondSensor = 28; // sensor 2 codes from here mean "none"
constexpr double kKelvinOffset = 273.15;
constexpr double kSecondSensorDifference = 0.35; // degrees Celsius

float BlockFloat(const std::array<std::uint8_t, 12>& block, std::size_t offset) {
    return WireFloat::Decode(std::span<const std::uint8_t, 4>(block.data() + offset, 4));
}

} // namespace

DeviceModel::DeviceModel(const DeviceConfig& config, std::uint64_t seed, std::uint8_t deviceType)
    : m_config(config), m_deviceType(deviceType), m_seed(Mix(seed ^ (config.m_deviceId << 20))) {
    m_baseCelsius = 21.0 + 10.0 * Unit(Mix(m_seed + 1));
    m_phaseSlow = 2 * std::numbers::pi * Unit(Mix(m_seed + 2));
    m_phaseFast = 2 * std::numbers::pi * Unit(Mix(m_seed + 3));
    m_phaseElectronics = 2 * std::numbers::pi * Unit(Mix(m_seed + 4));
}

std::array<std::uint8_t, 5> DeviceModel::LongAddress() const {
    const std::uint32_t id = m_config.m_deviceId;
    return {static_cast<std::uint8_t>(kManufacturerId | 0x80), m_deviceType,
            static_cast<std::uint8_t>(id >> 16), static_cast<std::uint8_t>(id >> 8),
            static_cast<std::uint8_t>(id)};
}

bool DeviceModel::MatchesLongAddress(std::span<const std::uint8_t, 5> address) const {
    const auto own = LongAddress();
    if ((address[0] & 0x3F) != (own[0] & 0x3F)) {
        return false;
    }
    return std::equal(address.begin() + 1, address.end(), own.begin() + 1);
}

DeviceModel::InputClass DeviceModel::ClassOf(std::uint8_t sensorType) {
    if (sensorType >= 21 && sensorType <= 23) {
        return InputClass::Resistance;
    }
    if (sensorType >= 24 && sensorType <= 27) {
        return InputClass::Millivolt;
    }
    return InputClass::Temperature;
}

double DeviceModel::ProcessCelsius(double seconds) const {
    using std::numbers::pi;
    const double slow = 2.5 * std::sin(2 * pi * seconds / 900.0 + m_phaseSlow);
    const double fast = 0.6 * std::sin(2 * pi * seconds / 131.0 + m_phaseFast);
    // A new noise value five times a second.
    const auto tick = static_cast<std::int64_t>(std::floor(seconds * 5.0));
    const double noise = 0.04 * (2.0 * Unit(Mix(m_seed ^ static_cast<std::uint64_t>(tick))) - 1.0);
    return m_baseCelsius + slow + fast + noise;
}

double DeviceModel::SensorInput(int sensor, double seconds) const {
    const auto& block = m_config.m_sensorBlock;
    const std::uint8_t type = block[static_cast<std::size_t>(sensor)];
    const double celsius = ProcessCelsius(seconds) + (sensor == 1 ? kSecondSensorDifference : 0.0);
    const float offset = BlockFloat(block, sensor == 0 ? 4 : 8);
    double value = celsius;
    switch (ClassOf(type)) {
    case InputClass::Resistance:
        // A PT100 at the process temperature.
        value = 100.0 * (1.0 + 3.9083e-3 * celsius - 5.775e-7 * celsius * celsius);
        break;
    case InputClass::Millivolt:
        // A type K couple with its cold junction at 0 degrees Celsius.
        value = 0.0407 * celsius;
        break;
    case InputClass::Temperature:
        break;
    }
    return std::isfinite(offset) ? value + offset : value;
}

double DeviceModel::CombinedInput(double seconds, InputClass* inputClass, bool* difference) const {
    const auto& block = m_config.m_sensorBlock;
    const bool twoSensors = block[1] < kNoSecondSensor;
    const std::uint8_t mode = block[3] & 0x0F;
    *difference = false;
    *inputClass = ClassOf(block[0]);
    if (!twoSensors) {
        return SensorInput(0, seconds);
    }
    switch (mode) {
    case 1:
        return (SensorInput(0, seconds) + SensorInput(1, seconds)) / 2.0;
    case 2:
        *difference = true;
        return SensorInput(0, seconds) - SensorInput(1, seconds);
    case 3:
        if ((block[3] >> 4) == 1) {
            *inputClass = ClassOf(block[1]);
            return SensorInput(1, seconds);
        }
        return SensorInput(0, seconds);
    default: // backup: sensor 1 while it works
        return SensorInput(0, seconds);
    }
}

double DeviceModel::ToPvUnit(double value, InputClass inputClass, bool difference) const {
    if (inputClass != InputClass::Temperature) {
        return value;
    }
    switch (m_config.m_pvUnit) {
    case kFahrenheit:
        return difference ? value * 1.8 : value * 1.8 + 32.0;
    case kKelvin:
        return difference ? value : value + kKelvinOffset;
    default:
        return value;
    }
}

float DeviceModel::NominalCurrent(float pv) const {
    if (m_fixedCurrent) {
        return *m_fixedCurrent;
    }
    if (m_sensorBroken) {
        return m_config.m_displayBlock[2] == 1 ? kLowAlarm : kHighAlarm;
    }
    const double span = static_cast<double>(m_config.m_upperRange) - m_config.m_lowerRange;
    double fraction = 0.0;
    if (std::isfinite(span) && span != 0.0 && std::isfinite(pv)) {
        fraction = (pv - m_config.m_lowerRange) / span;
    }
    const double current = 4.0 + 16.0 * fraction;
    return static_cast<float>(std::clamp<double>(current, kLowSaturation, kHighSaturation));
}

float DeviceModel::Trimmed(float nominal) const {
    const double zero = m_config.m_trimZero;
    const double gain = m_config.m_trimGain;
    if (!std::isfinite(zero) || !std::isfinite(gain)) {
        return nominal;
    }
    return static_cast<float>(zero + (nominal - 4.0) * (gain - zero) / 16.0);
}

DeviceModel::Reading DeviceModel::Sample(double seconds) {
    InputClass inputClass = InputClass::Temperature;
    bool difference = false;
    const double input = CombinedInput(seconds, &inputClass, &difference);

    const double damping = m_config.m_damping;
    if (!m_filterPrimed) {
        m_filtered = input;
        m_filterPrimed = true;
    } else {
        const double elapsed = std::max(0.0, seconds - m_lastSample);
        if (std::isfinite(damping) && damping > 0.0) {
            m_filtered += (1.0 - std::exp(-elapsed / damping)) * (input - m_filtered);
        } else {
            m_filtered = input;
        }
    }
    m_lastSample = std::max(m_lastSample, seconds);

    Reading reading;
    const double pv = ToPvUnit(m_filtered, inputClass, difference);
    reading.m_pv =
        m_sensorBroken ? std::numeric_limits<float>::quiet_NaN() : static_cast<float>(pv);
    const bool twoSensors = m_config.m_sensorBlock[1] < kNoSecondSensor;
    const int secondary = twoSensors ? 1 : 0;
    reading.m_secondary = static_cast<float>(ToPvUnit(
        SensorInput(secondary, seconds), ClassOf(m_config.m_sensorBlock[secondary]), false));
    if (m_sensorBroken) {
        reading.m_secondary = std::numeric_limits<float>::quiet_NaN();
    }
    reading.m_electronics = static_cast<float>(
        24.0 + 1.5 * std::sin(2 * std::numbers::pi * seconds / 1800.0 + m_phaseElectronics));

    const double span = static_cast<double>(m_config.m_upperRange) - m_config.m_lowerRange;
    if (m_sensorBroken) {
        reading.m_percentOfRange = std::numeric_limits<float>::quiet_NaN();
    } else if (std::isfinite(span) && span != 0.0) {
        reading.m_percentOfRange =
            static_cast<float>(100.0 * (reading.m_pv - m_config.m_lowerRange) / span);
    }
    reading.m_loopCurrent = Trimmed(NominalCurrent(reading.m_pv));
    return reading;
}

float DeviceModel::FixCurrent(float milliamps) {
    if (milliamps == 0.0f) {
        m_fixedCurrent.reset();
        return 0.0f;
    }
    const float set = std::clamp(milliamps, kFixedMinimum, kFixedMaximum);
    m_fixedCurrent = set;
    return set;
}

void DeviceModel::Reset() {
    m_fixedCurrent.reset();
    m_filterPrimed = false;
}

bool DeviceModel::SetRangeEndToPresent(bool upper, double seconds) {
    const Reading reading = Sample(seconds);
    if (!std::isfinite(reading.m_pv)) {
        return false;
    }
    (upper ? m_config.m_upperRange : m_config.m_lowerRange) = reading.m_pv;
    return true;
}

void DeviceModel::SetSensorBlock(std::span<const std::uint8_t, 12> block) {
    std::copy(block.begin(), block.end(), m_config.m_sensorBlock.begin());
    // The filter held a value of the old input; start from the new one.
    m_filterPrimed = false;
}

DeviceModel::SensorLimits DeviceModel::Limits() const {
    const std::uint8_t type = m_config.m_sensorBlock[0];
    const SensorRange range = type < kSensorRanges.size() ? kSensorRanges[type] : kSensorRanges[10];
    SensorLimits limits;
    limits.m_lower = range.m_lower;
    limits.m_upper = range.m_upper;
    limits.m_minimumSpan = 10.0f;
    switch (ClassOf(type)) {
    case InputClass::Resistance:
        limits.m_unit = kOhm;
        return limits;
    case InputClass::Millivolt:
        limits.m_unit = kMillivolt;
        return limits;
    case InputClass::Temperature:
        break;
    }
    const std::uint8_t unit = m_config.m_pvUnit;
    limits.m_unit = (unit == kFahrenheit || unit == kKelvin) ? unit : kCelsius;
    limits.m_lower = static_cast<float>(ToPvUnit(range.m_lower, InputClass::Temperature, false));
    limits.m_upper = static_cast<float>(ToPvUnit(range.m_upper, InputClass::Temperature, false));
    limits.m_minimumSpan = static_cast<float>(ToPvUnit(10.0, InputClass::Temperature, true));
    return limits;
}
