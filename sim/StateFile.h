#pragma once

#include "sim/DeviceConfig.h"

#include <string>
#include <vector>

// Saves and restores the devices' stored configuration as lines of text:
// a "device" line opens each device's block, then one "key value" line per
// field (see the .cpp for the keys). Saving writes a temporary file and
// renames it over the old one, so a crash never leaves half a file.
class StateFile {
public:
    // Writes the file; false with a reason on failure.
    static bool Save(const std::string& path, const std::vector<DeviceConfig>& devices,
                     std::string* error);

    // Reads the file into devices (one entry per block, fields missing from a
    // block keep their defaults). False with "line N: reason" on a bad file.
    static bool Load(const std::string& path, std::vector<DeviceConfig>* devices,
                     std::string* error);

    static std::string Format(const std::vector<DeviceConfig>& devices);
    static bool ParseText(const std::string& text, std::vector<DeviceConfig>* devices,
                          std::string* error);
};
