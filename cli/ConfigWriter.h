#pragma once

#include "cli/ConfigKeys.h"
#include "pages/PagePlan.h"

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

struct DeviceRecord;

// What writing settings comes to: the commands of one operation (starting
// with command 0), with their request values in the record, or why nothing
// may be written.
struct ConfigWrite {
    std::vector<std::uint8_t> commands;
    // A check of the pages refused (span, wiring, sensor pairing, address).
    std::optional<PageRefusal> refusal;
    // The values do not fit the transmitter's configuration (a second-sensor
    // setting for a single sensor, a wiring for a thermocouple, ...).
    std::string error;

    bool Refused() const { return refusal.has_value() || !error.empty(); }
};

// Writes settings the way the pages do: the values named are merged over what
// the transmitter holds, then the pages' own decisions fill the record, check
// it and give the commands. Only the parts asked for are written; the other
// settings of a written part keep the transmitter's values.
class ConfigWriter {
public:
    // The pages' reads of everything the keys show, joined into one
    // operation, and the version (product information).
    static std::vector<std::uint8_t> ReadAll();
    // The pages' reads that writing parts needs first; empty when none.
    static std::vector<std::uint8_t> ReadsBefore(const std::set<ConfigPart>& parts);
    // The parts the keys of values belong to.
    static std::set<ConfigPart> PartsOf(const ConfigValues& values);

    // named: canonical values by key; device: the record after ReadsBefore
    // (or ReadAll). Values of parts not in parts are ignored. The commands
    // come in the order: message, tag block, final assembly number, polling
    // address, then the sensor page's range, sensor block, display block,
    // damping and reset.
    static ConfigWrite Plan(const ConfigValues& named, const std::set<ConfigPart>& parts,
                            DeviceRecord& device);
};
