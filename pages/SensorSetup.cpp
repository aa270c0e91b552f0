#include "pages/SensorSetup.h"

#include "hart/DeviceRecord.h"
#include "hart/UnitTables.h"
#include "pages/ItemText.h"
#include "pages/TemperatureUnits.h"
#include "platform/Formatting.h"

#include <cmath>

namespace {

constexpr std::uint8_t kNoSecondSensor = 255;
constexpr int kDefaultWirePosition = 1; // "3 Wire"
constexpr std::uint8_t kResistanceWithoutPosition = 23;

PagePlan SensorError(const char* key, PageField focus) {
    return PagePlan::Refuse(key, PromptService::Icon::Error, focus);
}

// A list position read from the transmitter, or none when the list is shorter.
int PositionIn(int count, int position) {
    return position >= 0 && position < count ? position : -1;
}

// A number typed into the page as the transmitter keeps it; what does not fit
// a 32-bit float (or is not a number at all) reads as 0 like text without a
// number.
float FiniteNumber(const std::string& text) {
    const float value = static_cast<float>(ReadItemNumber(text));
    return std::isfinite(value) ? value : 0.0f;
}

std::string Offset(float stored, const std::string& unit) {
    return FormatFixed(OffsetToDisplay(stored, unit), 3);
}

} // namespace

SensorSetup::SensorSetup() {
    Reset();
}

SensorEnables SensorSetup::Enables() const {
    const bool two = m_Settings.doubleSensor;
    return {two, m_Settings.wire1Applies, two && m_Settings.wire2Applies,
            two && m_Settings.workMode == IndependentMode};
}

void SensorSetup::Reset() {
    m_Table.Build();
    SensorSettings& s = m_Settings;
    s.outputSensorPosition = -1;
    s.displayModePosition = -1;
    s.decimalsPosition = -1;
    s.unitText = CelsiusText();
    s.offset1UnitText = s.unitText;
    s.offset2UnitText = s.unitText;
    s.wire1Position = kDefaultWirePosition;
    ChooseSensorType(1, 0);
    s.sensor2Position = 0;
    s.wire2Position = kDefaultWirePosition;
    s.wire2Applies = WireApplies(0);
}

void SensorSetup::SetDoubleSensor(bool doubleSensor) {
    m_Settings.doubleSensor = doubleSensor;
}

void SensorSetup::SetWorkMode(int workMode) {
    m_Settings.workMode = workMode;
    if (workMode == IndependentMode) {
        m_Settings.outputSensorPosition = 0;
    }
}

void SensorSetup::ChooseSensorType(int sensor, int position) {
    SensorSettings& s = m_Settings;
    const bool independent = s.workMode == IndependentMode;
    if (sensor == 1) {
        s.sensor1Position = position;
        TypeChangeWireEnable(1);
        if (!independent) {
            FillRangeFromCode(SensorCodeOfPosition(position));
        } else if (s.outputSensorPosition == 0) {
            FillRangeFromOutputSensor();
        }
    } else {
        s.sensor2Position = position;
        TypeChangeWireEnable(2);
        if (independent && s.outputSensorPosition == 1) {
            FillRangeFromOutputSensor();
        }
    }
}

void SensorSetup::ChooseOutputSensor(int position) {
    m_Settings.outputSensorPosition = position;
    FillRangeFromOutputSensor();
}

void SensorSetup::ChooseUnit(const std::string& unit) {
    SensorSettings& s = m_Settings;
    if (unit == s.unitText) {
        return;
    }
    if (IsTemperatureUnit(s.unitText) && IsTemperatureUnit(unit)) {
        const ConvertedTemperatures converted = ConvertTemperatures(
            s.unitText, unit, ReadItemNumber(s.zeroText), ReadItemNumber(s.spanText),
            ReadItemNumber(s.offset1Text), ReadItemNumber(s.offset2Text));
        s.offset1UnitText = unit;
        s.offset2UnitText = unit;
        s.zeroText = FormatFixed(converted.zero, 3);
        s.spanText = FormatFixed(converted.span, 3);
        s.offset1Text = FormatFixed(converted.offset1, 3);
        s.offset2Text = FormatFixed(converted.offset2, 3);
    } else {
        s.zeroText.clear();
        s.spanText.clear();
        s.offset1Text.clear();
    }
    s.unitText = unit;
}

void SensorSetup::ShowConfiguration(const DeviceRecord& device) {
    SensorSettings& s = m_Settings;
    const std::string& unit = device.pvUnitText;
    const int wire1 = device.sensorSetupA & 0x0F;
    const int wire2 = device.sensorSetupA >> 4;

    // Kept so that an update sends these codes back for a type the lists
    // cannot show; "no second sensor" is no code to send for one.
    m_ReadSensor1Type = device.sensor1Type;
    m_ReadSensor2Type = device.sensor2Type == kNoSecondSensor
                            ? std::nullopt
                            : std::optional<std::uint8_t>(device.sensor2Type);

    s.doubleSensor = device.sensor2Type < SensorTable::CodeCount;
    s.offset1Text = Offset(device.sensorValueA, unit);
    s.wire1Position = PositionIn(3, wire1);
    s.wire2Position = PositionIn(3, wire2);
    s.sensor1Position = PositionOfSensorCode(device.sensor1Type);
    if (s.doubleSensor) {
        s.sensor2Position = PositionOfSensorCode(device.sensor2Type);
        const int mode = device.sensorSetupB & 0x0F;
        s.workMode = mode < WorkModeCount ? mode : 0;
        s.offset2Text = Offset(device.sensorValueB, unit);
        if (s.workMode == IndependentMode) {
            s.outputSensorPosition = device.sensorSetupB >= 32 ? 0 : device.sensorSetupB >> 4;
        }
    }

    // The wire setting of a type the list shows follows the wire rule; a
    // type it cannot show keeps its wiring as read, adjustable only for the
    // resistance range that has no list position.
    const auto readWireEnable = [](int position, std::uint8_t code, int& wirePosition,
                                   bool& applies) {
        if (position >= 0) {
            applies = WireApplies(position);
            if (!applies) {
                wirePosition = -1;
            }
        } else {
            applies = code == kResistanceWithoutPosition;
        }
    };
    readWireEnable(s.sensor1Position, device.sensor1Type, s.wire1Position, s.wire1Applies);
    if (s.doubleSensor) {
        readWireEnable(s.sensor2Position, device.sensor2Type, s.wire2Position, s.wire2Applies);
    }

    s.zeroText = FormatFixed(device.lowerRangeValue, 3);
    s.spanText = FormatFixed(device.upperRangeValue, 3);
    s.dampingText = FormatFixed(device.damping, 1);
    s.displayModePosition = PositionIn(DisplayModeCount, device.displaySettings[0]);
    s.decimalsPosition = PositionIn(DecimalsCount, device.displaySettings[1]);
    s.alarmPosition = PositionIn(AlarmCount, device.displaySettings[2]);
    s.unitText = unit;
    s.offset1UnitText = unit;
    s.offset2UnitText = unit;
}

PagePlan SensorSetup::PlanRead() {
    return PagePlan::Run({0, 15, 147, 146});
}

PagePlan SensorSetup::PlanUpdate(DeviceRecord& device) const {
    const SensorSettings& s = m_Settings;
    // A wire list without a selection counts as -1, which leaves 15 in its
    // half of the byte.
    device.sensorSetupA = static_cast<std::uint8_t>(s.wire2Position * 16 + (s.wire1Position & 15));

    const auto code = [](int position, const std::optional<std::uint8_t>& read) {
        const int listed = SensorCodeOfPosition(position);
        return listed >= 0 ? std::optional<std::uint8_t>(static_cast<std::uint8_t>(listed)) : read;
    };
    const std::optional<std::uint8_t> sensor1 = code(s.sensor1Position, m_ReadSensor1Type);
    if (!sensor1) {
        return SensorError("SenMatchErr", PageField::Sensor1Type);
    }
    std::uint8_t sensor2 = kNoSecondSensor;
    if (s.doubleSensor) {
        const std::optional<std::uint8_t> chosen = code(s.sensor2Position, m_ReadSensor2Type);
        if (!chosen) {
            return SensorError("SenMatchErr", PageField::Sensor2Type);
        }
        sensor2 = *chosen;
    }
    device.sensor1Type = *sensor1;
    device.sensor2Type = sensor2;

    const float damping = FiniteNumber(s.dampingText);
    device.damping = damping < 0.0f ? 0.0f : damping;
    device.lowerRangeValue = static_cast<float>(ReadItemNumber(s.zeroText));
    device.upperRangeValue = static_cast<float>(ReadItemNumber(s.spanText));
    device.pvUnitText = s.unitText;

    if (std::optional<PageRefusal> refusal = Check(device, s.doubleSensor, s.workMode)) {
        return PagePlan{{}, std::move(refusal)};
    }

    device.sensorValueA =
        static_cast<float>(OffsetToDevice(FiniteNumber(s.offset1Text), s.unitText));
    device.sensorValueB =
        static_cast<float>(OffsetToDevice(FiniteNumber(s.offset2Text), s.unitText));
    // Without a choice sensor 1 drives the output.
    const int outputSensor = s.outputSensorPosition < 0 ? 0 : s.outputSensorPosition;
    device.sensorSetupB = static_cast<std::uint8_t>(s.workMode + 16 * outputSensor);
    device.displaySettings[2] =
        static_cast<std::uint8_t>(s.alarmPosition < 0 ? 0 : s.alarmPosition);
    device.displaySettings[0] =
        static_cast<std::uint8_t>(s.displayModePosition < 0 ? 0 : s.displayModePosition);
    device.displaySettings[1] =
        static_cast<std::uint8_t>(s.decimalsPosition < 0 ? 1 : s.decimalsPosition);
    return PagePlan::Run({0, 35, 186, 187, 34, 42});
}

std::optional<PageRefusal> SensorSetup::Check(const DeviceRecord& device, bool doubleSensor,
                                              int workMode) {
    const float lower = device.lowerRangeValue;
    const float upper = device.upperRangeValue;
    // A range end that is no finite number would pass the span test.
    if (!std::isfinite(lower) || !std::isfinite(upper) || std::fabs(upper - lower) < 10.0) {
        return SensorError("SpanErr", PageField::Span).refusal;
    }
    if (!doubleSensor) {
        return std::nullopt;
    }
    if ((device.sensorSetupA & 0x0F) == 2) {
        return SensorError("Sen1WireErr", PageField::Sensor1Wire).refusal;
    }
    if ((device.sensorSetupA >> 4) == 2) {
        return SensorError("Sen2WireErr", PageField::Sensor2Wire).refusal;
    }
    if (workMode == IndependentMode) {
        return std::nullopt;
    }
    if (device.sensor2Type >= SensorTable::CodeCount ||
        SensorClassOfCode(device.sensor1Type) != SensorClassOfCode(device.sensor2Type)) {
        return SensorError("SenMatchErr", PageField::Sensor2Type).refusal;
    }
    return std::nullopt;
}

void SensorSetup::TypeChangeWireEnable(int sensor) {
    SensorSettings& s = m_Settings;
    const int position = sensor == 1 ? s.sensor1Position : s.sensor2Position;
    bool& applies = sensor == 1 ? s.wire1Applies : s.wire2Applies;
    int& wire = sensor == 1 ? s.wire1Position : s.wire2Position;
    applies = WireApplies(position);
    wire = applies ? kDefaultWirePosition : -1;
}

void SensorSetup::FillRangeFromCode(int code) {
    const SensorInfo* info = m_Table.SensorInfoOfCode(code);
    if (info == nullptr) {
        return;
    }
    m_Settings.zeroText = FormatFixed(info->lower, 0);
    m_Settings.spanText = FormatFixed(info->upper, 0);
    m_Settings.unitText = info->unit;
}

void SensorSetup::FillRangeFromOutputSensor() {
    const SensorSettings& s = m_Settings;
    const int position = s.outputSensorPosition > 0 ? s.sensor2Position : s.sensor1Position;
    FillRangeFromCode(SensorCodeOfPosition(position));
}
