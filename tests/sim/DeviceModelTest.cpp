#include "sim/DeviceModel.h"
#include "sim/CommandDispatcher.h"

#include "tests/sim/WireFrames.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

DeviceConfig Undamped() {
    DeviceConfig config;
    config.m_damping = 0.0f;
    return config;
}

float CurrentAt(DeviceModel& device, double seconds) {
    return WireFrames::FloatAt(CommandDispatcher::Handle(device, 2, {}, seconds).m_data, 0);
}

std::vector<std::uint8_t> SendFloat(DeviceModel& device, std::uint8_t command, float value) {
    return CommandDispatcher::Handle(device, command, WireFrames::FloatBytes(value), 1).m_data;
}

TEST(DeviceModel, TemperatureDriftsSlowlyAndDependsOnlyOnSeedAndTime) {
    DeviceModel first(Undamped(), 7), second(Undamped(), 7), other(Undamped(), 8);
    const float start = first.Sample(0).m_pv;
    float previous = start;
    float widest = 0;
    for (int i = 1; i <= 600; ++i) {
        const float pv = first.Sample(i * 0.5).m_pv;
        EXPECT_EQ(pv, second.Sample(i * 0.5).m_pv);
        EXPECT_LT(std::abs(pv - previous), 0.3f);
        widest = std::max(widest, std::abs(pv - start));
        previous = pv;
    }
    EXPECT_GT(widest, 0.5f);
    EXPECT_NE(first.Sample(1000).m_pv, other.Sample(1000).m_pv);
}

TEST(DeviceModel, LoopCurrentFollowsTheRangeAndSaturates) {
    DeviceModel device(Undamped(), 1);
    const float pv = device.Sample(50).m_pv;
    device.Config().m_lowerRange = pv - 10.0f;
    device.Config().m_upperRange = pv + 30.0f;
    EXPECT_NEAR(CurrentAt(device, 50), 8.0f, 1e-3);
    EXPECT_NEAR(device.Sample(50).m_percentOfRange, 25.0f, 1e-3);
    device.Config().m_upperRange = pv - 20.0f;
    device.Config().m_lowerRange = pv - 30.0f;
    EXPECT_FLOAT_EQ(CurrentAt(device, 50), 20.8f);
    device.Config().m_upperRange = pv + 30.0f;
    device.Config().m_lowerRange = pv + 20.0f;
    EXPECT_FLOAT_EQ(CurrentAt(device, 50), 3.8f);
}

TEST(DeviceModel, RangeEndsTakenFromThePresentInput) {
    DeviceModel device(Undamped(), 3);
    const float pv = device.Sample(20).m_pv;
    EXPECT_EQ(CommandDispatcher::Handle(device, 37, {}, 20).m_responseCode, 0);
    EXPECT_EQ(device.Config().m_lowerRange, pv);
    EXPECT_NEAR(CurrentAt(device, 20), 4.0f, 1e-4);
    device.Config().m_lowerRange = pv - 50.0f;
    EXPECT_TRUE(CommandDispatcher::Handle(device, 36, {}, 20).m_configChanged);
    EXPECT_EQ(device.Config().m_upperRange, pv);
    EXPECT_NEAR(CurrentAt(device, 20), 20.0f, 1e-4);
}

TEST(DeviceModel, FixedCurrentModeAndDeviceReset) {
    DeviceModel device(Undamped(), 1);
    const float normal = CurrentAt(device, 5);
    EXPECT_EQ(SendFloat(device, 40, 12.0f), WireFrames::FloatBytes(12.0f));
    EXPECT_EQ(CurrentAt(device, 300), 12.0f);
    EXPECT_EQ(SendFloat(device, 40, 30.0f), WireFrames::FloatBytes(DeviceModel::kFixedMaximum));
    EXPECT_EQ(SendFloat(device, 40, 0.0f), WireFrames::FloatBytes(0.0f));
    EXPECT_EQ(CurrentAt(device, 5), normal);

    SendFloat(device, 40, 3.8f);
    EXPECT_EQ(CurrentAt(device, 5), 3.8f);
    EXPECT_EQ(CommandDispatcher::Handle(device, 42, {}, 10).m_responseCode, 0);
    EXPECT_EQ(CurrentAt(device, 5), normal);
}

TEST(DeviceModel, TrimsMakeTheReportedCurrentFollowTheReferences) {
    DeviceModel device(Undamped(), 1);
    EXPECT_EQ(SendFloat(device, 45, 4.05f), WireFrames::FloatBytes(4.05f));
    EXPECT_EQ(SendFloat(device, 46, 19.9f), WireFrames::FloatBytes(19.9f));
    device.FixCurrent(4.0f);
    EXPECT_NEAR(CurrentAt(device, 2), 4.05f, 1e-5);
    device.FixCurrent(12.0f);
    EXPECT_NEAR(CurrentAt(device, 2), (4.05f + 19.9f) / 2, 1e-5);

    // References far from 4 and 20 mA are refused and change nothing.
    EXPECT_TRUE(SendFloat(device, 45, 12.0f).empty());
    EXPECT_TRUE(SendFloat(device, 46, 4.0f).empty());
    device.FixCurrent(20.0f);
    EXPECT_NEAR(CurrentAt(device, 2), 19.9f, 1e-5);
}

TEST(DeviceModel, BrokenSensorDrivesTheChosenAlarm) {
    DeviceModel device(Undamped(), 1);
    device.SetSensorBroken(true);
    EXPECT_EQ(CurrentAt(device, 1), DeviceModel::kHighAlarm);
    EXPECT_TRUE(std::isnan(device.Sample(1).m_pv));
    device.Config().m_displayBlock[2] = 1;
    EXPECT_EQ(CurrentAt(device, 2), DeviceModel::kLowAlarm);
    EXPECT_NE(CommandDispatcher::Handle(device, 36, {}, 3).m_responseCode, 0);
}

TEST(DeviceModel, UnitsAndSensorKindsShapeThePrimaryValue) {
    DeviceConfig fahrenheit = Undamped();
    fahrenheit.m_pvUnit = DeviceModel::kFahrenheit;
    DeviceConfig kelvin = Undamped();
    kelvin.m_pvUnit = DeviceModel::kKelvin;
    DeviceModel c(Undamped(), 5), f(fahrenheit, 5), k(kelvin, 5);
    const float degrees = c.Sample(42).m_pv;
    EXPECT_NEAR(f.Sample(42).m_pv, degrees * 1.8f + 32.0f, 1e-3);
    EXPECT_NEAR(k.Sample(42).m_pv, degrees + 273.15f, 1e-3);

    // Two sensors in difference mode give a temperature difference, which
    // Fahrenheit scales without the 32 degree shift.
    fahrenheit.m_sensorBlock[1] = 10;
    fahrenheit.m_sensorBlock[3] = 2;
    DeviceModel d(fahrenheit, 5);
    EXPECT_NEAR(d.Sample(42).m_pv, -0.35f * 1.8f, 1e-3);
}

TEST(DeviceModel, DampingSmoothsAStepInTheInput) {
    DeviceConfig config;
    config.m_damping = 2.0f;
    DeviceModel damped(config, 9), undamped(Undamped(), 9);
    const float before = damped.Sample(100).m_pv;
    EXPECT_EQ(before, undamped.Sample(100).m_pv);
    // A 10 degree offset on sensor 1 is a step of the input.
    for (DeviceModel* device : {&damped, &undamped}) {
        const auto offset = WireFrames::FloatBytes(10.0f);
        std::copy(offset.begin(), offset.end(), device->Config().m_sensorBlock.begin() + 4);
    }
    const float target = undamped.Sample(102).m_pv;
    // One time constant covers about 63 % of the step.
    EXPECT_NEAR((damped.Sample(102).m_pv - before) / (target - before), 0.632f, 0.05f);
    EXPECT_NEAR(damped.Sample(140).m_pv, undamped.Sample(140).m_pv, 1e-3);
}

} // namespace
