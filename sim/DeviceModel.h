#pragma once

#include "sim/DeviceConfig.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>

// One simulated transmitter: its stored configuration plus what lives only
// while it is powered (fixed-current mode, the damping filter, a broken
// sensor). The process it measures is a pure function of the time passed in
// and the seed, so a test that supplies the times gets the same values every
// run.
class DeviceModel {
public:
    static constexpr std::uint8_t kManufacturerId = 0x3E;
    static constexpr std::uint8_t kDefaultDeviceType = 4;
    static constexpr std::uint8_t kPreambles = 5;
    static constexpr std::uint8_t kUniversalRevision = 5;
    static constexpr std::uint8_t kDeviceRevision = 1;
    static constexpr std::uint8_t kSoftwareRevision = 3;
    static constexpr std::uint8_t kHardwareRevision = 1;
    static constexpr std::array<std::uint8_t, 3> kVersion{1, 0, 3};

    static constexpr float kLowSaturation = 3.8f;
    static constexpr float kHighSaturation = 20.8f;
    static constexpr float kLowAlarm = 3.6f;
    static constexpr float kHighAlarm = 22.0f;
    // Limits of a fixed current; requests outside are set to the nearest one.
    static constexpr float kFixedMinimum = 3.6f;
    static constexpr float kFixedMaximum = 22.0f;

    static constexpr std::uint8_t kCelsius = 32;
    static constexpr std::uint8_t kFahrenheit = 33;
    static constexpr std::uint8_t kKelvin = 35;
    static constexpr std::uint8_t kMillivolt = 36;
    static constexpr std::uint8_t kOhm = 37;

    struct Reading {
        float m_pv = 0;             // in the pv unit; NaN while the sensor is broken
        float m_secondary = 0;      // sensor 2 (sensor 1 without one), in the pv unit
        float m_electronics = 0;    // terminal temperature, degrees Celsius
        float m_loopCurrent = 0;    // mA on the loop, trims applied
        float m_percentOfRange = 0; // of the pv between the range values
    };

    struct SensorLimits {
        std::uint8_t m_unit = kCelsius;
        float m_upper = 0;
        float m_lower = 0;
        float m_minimumSpan = 0;
    };

    DeviceModel(const DeviceConfig& config, std::uint64_t seed,
                std::uint8_t deviceType = kDefaultDeviceType);

    const DeviceConfig& Config() const { return m_config; }
    // For the plain stores; operations with side effects have their own calls.
    DeviceConfig& Config() { return m_config; }
    std::uint8_t DeviceType() const { return m_deviceType; }

    std::array<std::uint8_t, 5> LongAddress() const;
    // Byte 0 is compared without its master and burst bits.
    bool MatchesLongAddress(std::span<const std::uint8_t, 5> address) const;

    // The measurement at the given time; advances the damping filter, so call
    // it with non-decreasing times.
    Reading Sample(double seconds);

    // A non-zero current fixes the loop current (within the fixed limits) and
    // returns what was set; 0 leaves fixed-current mode and returns 0.
    float FixCurrent(float milliamps);
    bool CurrentFixed() const { return m_fixedCurrent.has_value(); }
    // Device reset: fixed-current mode ends, the filter starts afresh.
    void Reset();

    void SetSensorBroken(bool broken) { m_sensorBroken = broken; }
    bool SensorBroken() const { return m_sensorBroken; }

    // Sets the upper (or lower) range value to the present pv; false when
    // there is no valid pv to take.
    bool SetRangeEndToPresent(bool upper, double seconds);
    void SetSensorBlock(std::span<const std::uint8_t, 12> block);

    SensorLimits Limits() const;
    std::uint32_t SensorSerialNumber() const { return (m_config.m_deviceId + 0x100000) & 0xFFFFFF; }

private:
    enum class InputClass { Temperature, Resistance, Millivolt };

    static InputClass ClassOf(std::uint8_t sensorType);
    double ProcessCelsius(double seconds) const;
    double SensorInput(int sensor, double seconds) const;
    double CombinedInput(double seconds, InputClass* inputClass, bool* difference) const;
    double ToPvUnit(double value, InputClass inputClass, bool difference) const;
    float NominalCurrent(float pv) const;
    float Trimmed(float nominal) const;

    DeviceConfig m_config;
    std::uint8_t m_deviceType;
    std::uint64_t m_seed;
    double m_baseCelsius;
    double m_phaseSlow;
    double m_phaseFast;
    double m_phaseElectronics;

    std::optional<float> m_fixedCurrent;
    bool m_sensorBroken = false;
    bool m_filterPrimed = false;
    double m_filtered = 0;
    double m_lastSample = 0;
};
