#include "sim/DeviceModel.h"
#include "sim/CommandDispatcher.h"

#include "tests/sim/SimTestSupport.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

using WireFrames::Floats;

DeviceConfig Undamped(std::uint8_t unit = DeviceModel::kCelsius) {
    DeviceConfig config;
    std::tie(config.m_damping, config.m_pvUnit) = std::tuple(0.0f, unit);
    return config;
}

CommandDispatcher::Reply Send(DeviceModel& device, std::uint8_t command, const Bytes& data = {},
                              double seconds = 1) {
    return CommandDispatcher::Handle(device, command, data, seconds);
}

float CurrentAt(DeviceModel& device, double seconds) {
    return WireFrames::FloatAt(Send(device, 2, {}, seconds).m_data, 0);
}

TEST(DeviceModel, LoopCurrentFollowsTheRangeWhoseEnds36And37TakeFromTheInput) {
    DeviceModel device(Undamped(), 3);
    const float pv = device.Sample(20).m_pv;
    // Range ends relative to the pv, and the current they give, saturated.
    for (const auto& [lower, upper, current] :
         {std::array{-10.0f, 30.0f, 8.0f}, {-30.0f, -20.0f, 20.8f}, {20.0f, 30.0f, 3.8f}}) {
        device.Config().m_lowerRange = pv + lower;
        device.Config().m_upperRange = pv + upper;
        EXPECT_NEAR(CurrentAt(device, 20), current, 1e-3);
    }
    EXPECT_EQ(Send(device, 37, {}, 20).m_responseCode, 0);
    EXPECT_NEAR(CurrentAt(device, 20), 4.0f, 1e-4);
    device.Config().m_lowerRange = pv - 50.0f;
    EXPECT_TRUE(Send(device, 36, {}, 20).m_configChanged);
    EXPECT_EQ(device.Config().m_upperRange, pv);
    EXPECT_NEAR(CurrentAt(device, 20), 20.0f, 1e-4);
    // A broken sensor gives nothing to take, and the chosen alarm current.
    device.SetSensorBroken(true);
    EXPECT_NE(Send(device, 36, {}, 21).m_responseCode, 0);
    EXPECT_TRUE(std::isnan(device.Sample(21).m_pv));
    EXPECT_EQ(CurrentAt(device, 21), DeviceModel::kHighAlarm);
    device.Config().m_displayBlock[2] = 1;
    EXPECT_EQ(CurrentAt(device, 22), DeviceModel::kLowAlarm);
}

TEST(DeviceModel, FixedCurrentModeAndTrims) {
    DeviceModel device(Undamped(), 1);
    const float normal = CurrentAt(device, 5);
    EXPECT_EQ(Send(device, 40, Floats({30.0f})).m_data, Floats({DeviceModel::kFixedMaximum}));
    EXPECT_EQ(Send(device, 40, Floats({12.0f})).m_data, Floats({12.0f}));
    EXPECT_EQ(CurrentAt(device, 300), 12.0f);
    EXPECT_EQ(Send(device, 40, Floats({0.0f})).m_data, Floats({0.0f})); // leaves the mode
    EXPECT_EQ(CurrentAt(device, 5), normal);
    Send(device, 40, Floats({3.8f}));
    Send(device, 42); // so does a device reset
    EXPECT_EQ(CurrentAt(device, 5), normal);
    // Trim references near 4 and 20 mA make the reported current follow them.
    EXPECT_EQ(Send(device, 45, Floats({4.05f})).m_data, Floats({4.05f}));
    EXPECT_EQ(Send(device, 46, Floats({19.9f})).m_data, Floats({19.9f}));
    EXPECT_NE(Send(device, 45, Floats({12.0f})).m_responseCode, 0);
    EXPECT_NE(Send(device, 46, Floats({4.0f})).m_responseCode, 0);
    for (const auto& [fixed, reported] :
         {std::pair{4.0f, 4.05f}, {12.0f, 11.975f}, {20.0f, 19.9f}}) {
        device.FixCurrent(fixed);
        EXPECT_NEAR(CurrentAt(device, 5), reported, 1e-5);
    }
}

TEST(DeviceModel, SeedTimeUnitsAndSensorModesShapeThePrimaryValue) {
    const auto pv = [](const DeviceConfig& config, std::uint64_t seed = 5) {
        return DeviceModel(config, seed).Sample(42).m_pv;
    };
    // The same seed and time give the same value, another seed another.
    const float degrees = pv(Undamped());
    EXPECT_EQ(pv(Undamped()), degrees);
    EXPECT_NE(pv(Undamped(), 6), degrees);
    EXPECT_NEAR(pv(Undamped(DeviceModel::kFahrenheit)), degrees * 1.8f + 32.0f, 1e-3);
    EXPECT_NEAR(pv(Undamped(DeviceModel::kKelvin)), degrees + 273.15f, 1e-3);
    // Two sensors in difference mode give a temperature difference, which
    // Fahrenheit scales without the 32 degree shift.
    DeviceConfig difference = Undamped(DeviceModel::kFahrenheit);
    difference.m_sensorBlock[1] = 10;
    difference.m_sensorBlock[3] = 2;
    EXPECT_NEAR(pv(difference), -0.35f * 1.8f, 1e-3);
}

TEST(DeviceModel, TheProcessDriftsSlowlyAndDampingSmoothsAStep) {
    DeviceConfig config;
    config.m_damping = 2.0f;
    DeviceModel damped(config, 9), undamped(Undamped(), 9);
    const float start = undamped.Sample(0).m_pv;
    float previous = start, widest = 0;
    for (double t = 0.5; t <= 300; t += 0.5) {
        const float pv = undamped.Sample(t).m_pv;
        EXPECT_LT(std::abs(pv - std::exchange(previous, pv)), 0.3f);
        widest = std::max(widest, std::abs(pv - start));
    }
    EXPECT_GT(widest, 0.5f);
    // A 10 degree offset on sensor 1 is a step of the input; with 2 s damping
    // 2 s cover about 63 % of it.
    const float before = damped.Sample(300).m_pv;
    for (DeviceModel* device : {&damped, &undamped}) {
        std::ranges::copy(Floats({10.0f}), device->Config().m_sensorBlock.begin() + 4);
    }
    const float target = undamped.Sample(302).m_pv;
    EXPECT_NEAR((damped.Sample(302).m_pv - before) / (target - before), 0.632f, 0.05f);
    EXPECT_NEAR(damped.Sample(340).m_pv, undamped.Sample(340).m_pv, 1e-3);
}

} // namespace
