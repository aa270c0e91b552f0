#pragma once

#include "pages/PagePlan.h"
#include "pages/SensorTable.h"

#include <cstdint>
#include <optional>
#include <string>

struct DeviceRecord;

// What the sensor page shows and the user sets. Combo choices are positions
// in their lists, -1 for none (a list without a selection, or text typed into
// an editable combo); the edits are kept as their texts.
struct SensorSettings {
    bool doubleSensor = false;
    int workMode = 0; // 0 backup, 1 average, 2 difference, 3 independent
    int sensor1Position = 0;
    int sensor2Position = 0;
    int wire1Position = 1; // 0 "2 Wire", 1 "3 Wire", 2 "4 Wire" in a sorted list
    int wire2Position = 1;
    // Whether the wire setting applies to each sensor's type; a wire combo is
    // usable only then.
    bool wire1Applies = true;
    bool wire2Applies = true;
    int outputSensorPosition = -1; // 0 sensor 1, 1 sensor 2
    std::string offset1Text = "0";
    std::string offset2Text = "0";
    std::string offset1UnitText; // the labels behind the offsets
    std::string offset2UnitText;
    std::string zeroText;
    std::string spanText;
    std::string unitText; // the unit combo's text
    std::string dampingText;
    int displayModePosition = -1;
    int decimalsPosition = -1;
    int alarmPosition = -1;

    bool operator==(const SensorSettings&) const = default;
};

// Which of the sensor page's controls the user can change now.
struct SensorEnables {
    bool secondSensor = false; // work modes, sensor 2 type and offset
    bool wire1 = false;
    bool wire2 = false;
    bool outputSensor = false;

    bool operator==(const SensorEnables&) const = default;
};

// The sensor page without its window: every handler of the page as an
// operation on the settings, the display of a configuration read from the
// transmitter, and the check and record fields of an update.
class SensorSetup {
public:
    static constexpr int IndependentMode = 3;
    static constexpr int WorkModeCount = 4;
    static constexpr int DisplayModeCount = 3;
    static constexpr int DecimalsCount = 4;
    static constexpr int AlarmCount = 2;

    // The page as it starts: one sensor, backup mode, every list reset.
    SensorSetup();

    const SensorSettings& Settings() const { return m_Settings; }
    // The window copies what the user typed or picked in here before each
    // operation.
    SensorSettings& Settings() { return m_Settings; }
    SensorEnables Enables() const;

    // The relabel operation: the lists are filled anew, so every selection
    // starts over (unit the Celsius text of the language now in use, sensor
    // types at position 0 on "3 Wire") and sensor 1's type change runs.
    void Reset();

    void SetDoubleSensor(bool doubleSensor);
    // Independent mode starts with sensor 1 driving the output.
    void SetWorkMode(int workMode);
    // A type chosen in sensor 1's or sensor 2's list (sensor is 1 or 2).
    void ChooseSensorType(int sensor, int position);
    void ChooseOutputSensor(int position);
    // A unit chosen in the unit list: temperatures are converted, anything
    // else empties zero, span and offset 1.
    void ChooseUnit(const std::string& unit);

    // Shows what commands 15, 147 and 146 read.
    void ShowConfiguration(const DeviceRecord& device);

    static PagePlan PlanRead();
    // Writes the settings into the record and plans range, sensor block,
    // display block, damping and reset; refused by the check. A sensor type
    // list without a selection sends the type last read for that sensor, and
    // is refused with "SenMatchErr" when none was read.
    PagePlan PlanUpdate(DeviceRecord& device) const;

    // The check before an update, on the record fields it writes: span at
    // least 10, then (two sensors) no sensor on four wires, then (a combining
    // mode) both sensors of one class.
    static std::optional<PageRefusal> Check(const DeviceRecord& device, bool doubleSensor,
                                            int workMode);

private:
    void TypeChangeWireEnable(int sensor);
    void FillRangeFromCode(int code);
    void FillRangeFromOutputSensor();

    SensorSettings m_Settings;
    SensorTable m_Table;
    std::optional<std::uint8_t> m_ReadSensor1Type;
    std::optional<std::uint8_t> m_ReadSensor2Type;
};
