#pragma once

#include "hart/DeviceRecord.h"
#include "hart/UnitTables.h"

#include <string>

inline const std::string kCelsius = "\u00B0C";

// What the pages' reads leave in the record of a single-sensor transmitter:
// PT100 on three wires with an offset of 0.5, 0..100 °C.
inline DeviceRecord ReadRecord() {
    ChineseUnitsFlag = false;
    DeviceRecord device;
    device.tag = "TT101";
    device.descriptor = "SIM TRANSMITTER";
    device.message = "HELLO";
    device.dateYear = 2024;
    device.dateMonth = 3;
    device.dateDay = 15;
    device.sensor1Type = 10;
    device.sensor2Type = 255;
    device.sensorSetupA = 0x11;
    device.sensorValueA = 0.5f;
    device.lowerRangeValue = 0.0f;
    device.upperRangeValue = 100.0f;
    device.damping = 1.0f;
    device.pvUnitText = kCelsius;
    device.displaySettings = {1, 2, 0};
    return device;
}
