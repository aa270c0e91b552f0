#pragma once

#include "cli/ConfigKeys.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct DeviceRecord;

// Who the transmitter is, as command 0 and the product information tell: kept
// with a saved configuration, compared before a restore, never written.
struct ConfigIdentity {
    int manufacturer = 0; // the manufacturer code in the long address
    int deviceType = 0;   // the device type code
    std::string deviceTypeName;
    std::string deviceId; // three bytes, six hexadecimal digits
    std::string version;

    static ConfigIdentity Of(const DeviceRecord& device);
    // Same maker and device type: a configuration of one fits the other.
    bool SameKind(const ConfigIdentity& other) const {
        return manufacturer == other.manufacturer && deviceType == other.deviceType;
    }
    // "manufacturer 38, device type 4 (HART 智能变送器)"
    std::string KindText() const;
    bool operator==(const ConfigIdentity&) const = default;
};

// A saved configuration: a JSON document that names its format and schema,
// when it was saved, the transmitter's identity, then the settings under the
// keys `set` takes.
class ConfigDocument {
public:
    static constexpr std::string_view kFormat = "calora-configuration";
    static constexpr int kSchema = 1;
    // Larger files are not configurations of ours.
    static constexpr std::size_t kMaxFileSize = 1 << 20;

    std::string saved; // UTC, "2024-05-01T12:00:00Z"
    ConfigIdentity identity;
    ConfigValues settings;

    // "2024-05-01T12:00:00Z" for seconds since 1970-01-01 UTC.
    static std::string UtcText(std::int64_t seconds);

    std::string ToJson() const;
    // The document in text; nullopt and a message naming the problem when
    // the text is not JSON, is cut short, is not a configuration of this
    // tool, has a newer schema, or holds a key or value `set` would refuse.
    static std::optional<ConfigDocument> FromJson(std::string_view text, std::string* error);

    // Writes the file through a temporary one beside it, so that a failed
    // write never leaves half a document under its name.
    bool Save(const std::string& path, std::string* error) const;
    static std::optional<ConfigDocument> Load(const std::string& path, std::string* error);
};
