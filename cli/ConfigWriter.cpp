#include "cli/ConfigWriter.h"

#include "hart/DeviceRecord.h"
#include "pages/InfoDecisions.h"
#include "pages/SensorSetup.h"
#include "pages/TemperatureUnits.h"

#include <initializer_list>

namespace {

constexpr std::uint8_t kProductInformation = 162;
constexpr int kIndependent = SensorSetup::IndependentMode;
constexpr int kThreeWire = 1;

// Operations joined into one: every page operation starts by addressing the
// transmitter (command 0), which the joined one does once.
void Join(std::vector<std::uint8_t>& commands, const std::vector<std::uint8_t>& more) {
    for (const std::uint8_t command : more) {
        if (command != 0 || commands.empty()) {
            commands.push_back(command);
        }
    }
}

bool IsSensorPagePart(ConfigPart part) {
    return part == ConfigPart::Range || part == ConfigPart::Sensors ||
           part == ConfigPart::Display || part == ConfigPart::Damping;
}

// The settings named for the parts written, looked up by key.
class Named {
public:
    Named(const ConfigValues& values, const std::set<ConfigPart>& parts)
        : m_Values(values), m_Parts(parts) {}

    const std::string* operator()(const std::string& key) const {
        const auto found = m_Values.find(key);
        if (found == m_Values.end() || !m_Parts.contains(ConfigKeys::PartOf(key))) {
            return nullptr;
        }
        return &found->second;
    }

private:
    const ConfigValues& m_Values;
    const std::set<ConfigPart>& m_Parts;
};

CalendarDate DateOf(const std::string& iso) {
    // Canonical "YYYY-MM-DD", checked when it was parsed.
    return {std::stoi(iso.substr(0, 4)), std::stoi(iso.substr(5, 2)), std::stoi(iso.substr(8, 2))};
}

// The sensor page's settings for the parts written: what the transmitter
// holds, as a Read shows it but with every digit of its numbers, then the
// settings named as if typed or picked on the page. An empty result is
// success; otherwise it says which values do not fit together.
std::string ApplySensorPage(const Named& named, DeviceRecord& device, SensorSetup& setup) {
    setup.ShowConfiguration(device);
    SensorSettings& s = setup.Settings();
    const auto offset = [&device](float stored) {
        return ConfigKeys::FloatText(
            static_cast<float>(OffsetToDisplay(stored, device.pvUnitText)));
    };
    s.zeroText = ConfigKeys::FloatText(device.lowerRangeValue);
    s.spanText = ConfigKeys::FloatText(device.upperRangeValue);
    s.dampingText = ConfigKeys::FloatText(device.damping);
    s.offset1Text = offset(device.sensorValueA);
    s.offset2Text = offset(device.sensorValueB);

    // A new unit converts the range and the offsets shown, as the page's unit
    // list does; values named with it are in the new unit.
    const ConfigValues current = ConfigKeys::Read(device);
    if (const std::string* unit = named("unit")) {
        const auto was = current.find("unit");
        if (was == current.end() || was->second != *unit) {
            setup.ChooseUnit(ConfigKeys::UnitText(*unit));
        }
    }
    if (const std::string* value = named("lrv")) {
        s.zeroText = *value;
    }
    if (const std::string* value = named("urv")) {
        s.spanText = *value;
    }
    if (const std::string* value = named("damping")) {
        s.dampingText = *value;
    }
    const std::pair<const char*, int*> displayLists[] = {{"display-mode", &s.displayModePosition},
                                                         {"decimals", &s.decimalsPosition},
                                                         {"alarm", &s.alarmPosition}};
    for (const auto& [key, position] : displayLists) {
        if (const std::string* value = named(key)) {
            *position = ConfigKeys::Position(key, *value);
        }
    }

    const bool wasTwo = current.at("sensors") == "2";
    const std::string* sensors = named("sensors");
    const bool two = sensors != nullptr ? *sensors == "2" : wasTwo;
    setup.SetDoubleSensor(two);
    if (!two) {
        for (const char* key : {"mode", "output-sensor", "sensor2", "wire2", "offset2"}) {
            if (named(key) != nullptr) {
                return std::string(key) + " applies only with two sensors (sensors=2)";
            }
        }
    } else if (!wasTwo && named("sensor2") == nullptr) {
        return "sensors=2 needs sensor2=TYPE: the transmitter has no second sensor";
    }
    if (const std::string* mode = named("mode")) {
        // Choosing independent mode puts sensor 1 on the output, as on the page.
        if (const int position = ConfigKeys::Position("mode", *mode); position != s.workMode) {
            setup.SetWorkMode(position);
        }
    }
    if (const std::string* output = named("output-sensor")) {
        if (s.workMode != kIndependent) {
            return "output-sensor applies only in mode independent";
        }
        s.outputSensorPosition = ConfigKeys::Position("output-sensor", *output);
    }

    for (const int sensor : {1, 2}) {
        if (sensor == 2 && !two) {
            break;
        }
        const std::string n = std::to_string(sensor);
        int& position = sensor == 1 ? s.sensor1Position : s.sensor2Position;
        int& wire = sensor == 1 ? s.wire1Position : s.wire2Position;
        bool& applies = sensor == 1 ? s.wire1Applies : s.wire2Applies;
        int code = sensor == 1 ? device.sensor1Type : device.sensor2Type;
        if (const std::string* type = named("sensor" + n)) {
            // The type alone: the range and the other settings stay as they
            // are. A wiring that applies to the new type is kept; otherwise it
            // starts on three wires like a type chosen on the page.
            code = ConfigKeys::SensorCode(*type);
            position = PositionOfSensorCode(code);
            if (position < 0) {
                setup.KeepUnlistedType(sensor, static_cast<std::uint8_t>(code));
            }
            applies = ConfigKeys::WireApplies(code);
            if (!applies) {
                wire = -1;
            } else if (wire < 0) {
                wire = kThreeWire;
            }
        }
        if (const std::string* wiring = named("wire" + n)) {
            if (!ConfigKeys::WireApplies(code)) {
                return "wire" + n + " does not apply to the type of sensor " + n +
                       " (only resistance thermometers and resistance ranges have a wiring)";
            }
            wire = ConfigKeys::Position("wire" + n, *wiring);
        }
        if (const std::string* value = named("offset" + n)) {
            (sensor == 1 ? s.offset1Text : s.offset2Text) = *value;
        }
    }
    return {};
}

} // namespace

std::vector<std::uint8_t> ConfigWriter::ReadAll() {
    std::vector<std::uint8_t> commands;
    Join(commands, PlanInfoRead().commands);
    Join(commands, PlanFinalAssemblyRead().commands);
    Join(commands, SensorSetup::PlanRead().commands);
    Join(commands, {0, kProductInformation});
    return commands;
}

std::vector<std::uint8_t> ConfigWriter::ReadsBefore(const std::set<ConfigPart>& parts) {
    std::vector<std::uint8_t> commands;
    if (parts.contains(ConfigPart::Message) || parts.contains(ConfigPart::TagDescriptorDate)) {
        Join(commands, PlanInfoRead().commands);
    }
    for (const ConfigPart part : parts) {
        if (IsSensorPagePart(part)) {
            Join(commands, SensorSetup::PlanRead().commands);
            break;
        }
    }
    return commands;
}

std::set<ConfigPart> ConfigWriter::PartsOf(const ConfigValues& values) {
    std::set<ConfigPart> parts;
    for (const auto& [key, value] : values) {
        parts.insert(ConfigKeys::PartOf(key));
    }
    return parts;
}

ConfigWrite ConfigWriter::Plan(const ConfigValues& values, const std::set<ConfigPart>& parts,
                               DeviceRecord& device) {
    const Named named(values, parts);
    ConfigWrite write;
    write.commands = {0};
    const auto add = [&write](const PagePlan& plan) {
        if (plan.Refused()) {
            write.refusal = plan.refusal;
        } else if (!write.Refused()) {
            Join(write.commands, plan.commands);
        }
    };

    const InfoWrites info{parts.contains(ConfigPart::Message),
                          parts.contains(ConfigPart::TagDescriptorDate)};
    if (info.message || info.tagDescriptorDate) {
        // What is not named is sent back as read, a date that is none included.
        InfoTexts texts{{device.dateYear, device.dateMonth, device.dateDay},
                        device.tag,
                        device.descriptor,
                        device.message};
        const std::pair<const char*, std::string*> textKeys[] = {
            {"tag", &texts.tag}, {"descriptor", &texts.descriptor}, {"message", &texts.message}};
        for (const auto& [key, text] : textKeys) {
            if (const std::string* value = named(key)) {
                *text = *value;
            }
        }
        if (const std::string* date = named("date")) {
            texts.date = DateOf(*date);
        }
        add(PlanInfoUpdate(texts, device, info));
    }
    if (const std::string* number = named("final-assembly-number")) {
        add(PlanFinalAssemblyWrite(*number, device));
    }
    if (const std::string* address = named("polling-address")) {
        add(PlanAddressChange(*address, device));
    }

    const SensorWrites sensorWrites{
        parts.contains(ConfigPart::Range), parts.contains(ConfigPart::Sensors),
        parts.contains(ConfigPart::Display), parts.contains(ConfigPart::Damping)};
    if (sensorWrites.Any() && !write.Refused()) {
        SensorSetup setup;
        write.error = ApplySensorPage(named, device, setup);
        if (write.error.empty()) {
            add(setup.PlanUpdate(device, sensorWrites));
        }
    }
    if (write.Refused()) {
        write.commands.clear();
    }
    return write;
}
