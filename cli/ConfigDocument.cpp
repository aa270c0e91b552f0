#include "cli/ConfigDocument.h"

#include "hart/DeviceRecord.h"

#include <nlohmann/json.hpp>

#include <charconv>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

using Json = nlohmann::ordered_json;

std::string Hex(const std::uint8_t* bytes, std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        char digits[3];
        std::snprintf(digits, sizeof digits, "%02X", bytes[i]);
        text += digits;
    }
    return text;
}

// A number in the file as the text `set` would take: "2", "0.25", "-200".
std::string NumberText(const Json& value) {
    if (value.is_number_integer()) {
        return value.is_number_unsigned() ? std::to_string(value.get<std::uint64_t>())
                                          : std::to_string(value.get<std::int64_t>());
    }
    char text[32];
    const auto [end, ec] = std::to_chars(text, text + sizeof text, value.get<double>());
    return ec == std::errc() ? std::string(text, end) : std::string();
}

// A canonical number of a key as saved: a JSON number.
Json NumberOf(const std::string& key, const std::string& text) {
    const char* const end = text.data() + text.size();
    if (ConfigKeys::IsWholeNumber(key)) {
        long long whole = 0;
        std::from_chars(text.data(), end, whole);
        return whole;
    }
    double number = 0;
    std::from_chars(text.data(), end, number);
    return number;
}

bool Fail(std::string* error, std::string text) {
    if (error != nullptr) {
        *error = std::move(text);
    }
    return false;
}

// nlohmann's message without its "[json.exception.parse_error.101] " tag.
std::string ParseProblem(const nlohmann::json::parse_error& problem) {
    std::string text = problem.what();
    if (const auto tagEnd = text.find("] "); text.starts_with("[") && tagEnd != std::string::npos) {
        text.erase(0, tagEnd + 2);
    }
    return text;
}

std::optional<std::string> Text(const Json& object, const char* name, std::string* error) {
    const auto found = object.find(name);
    if (found == object.end() || !found->is_string()) {
        Fail(error, std::string("identity: \"") + name + "\" is missing or not a text");
        return std::nullopt;
    }
    return found->get<std::string>();
}

std::optional<int> Whole(const Json& object, const char* name, std::string* error) {
    const auto found = object.find(name);
    if (found == object.end() || !found->is_number_integer() || found->get<std::int64_t>() < 0 ||
        found->get<std::int64_t>() > 255) {
        Fail(error, std::string("identity: \"") + name + "\" is missing or not a code 0..255");
        return std::nullopt;
    }
    return found->get<int>();
}

std::optional<ConfigIdentity> IdentityOf(const Json& document, std::string* error) {
    const auto found = document.find("identity");
    if (found == document.end() || !found->is_object()) {
        Fail(error, "the transmitter's identity (\"identity\") is missing");
        return std::nullopt;
    }
    ConfigIdentity identity;
    const std::optional<int> manufacturer = Whole(*found, "manufacturer", error);
    const std::optional<int> deviceType = Whole(*found, "device-type", error);
    const std::optional<std::string> name = Text(*found, "device-type-name", error);
    const std::optional<std::string> id = Text(*found, "device-id", error);
    const std::optional<std::string> version = Text(*found, "version", error);
    if (!manufacturer || !deviceType || !name || !id || !version) {
        return std::nullopt;
    }
    return ConfigIdentity{*manufacturer, *deviceType, *name, *id, *version};
}

std::optional<ConfigValues> SettingsOf(const Json& document, std::string* error) {
    const auto found = document.find("settings");
    if (found == document.end() || !found->is_object()) {
        Fail(error, "the settings (\"settings\") are missing");
        return std::nullopt;
    }
    ConfigValues settings;
    for (const auto& [key, value] : found->items()) {
        std::string text;
        if (value.is_string()) {
            text = value.get<std::string>();
        } else if (value.is_number() && ConfigKeys::IsNumber(key)) {
            text = NumberText(value);
        } else if (ConfigKeys::IsKnown(key)) {
            Fail(error, "settings: " + key + ": " + value.dump() + " is not a value it takes");
            return std::nullopt;
        }
        std::string problem;
        std::optional<std::string> canonical = ConfigKeys::Parse(key, text, &problem);
        if (!canonical) {
            Fail(error, "settings: " + problem);
            return std::nullopt;
        }
        settings[key] = std::move(*canonical);
    }
    return settings;
}

} // namespace

ConfigIdentity ConfigIdentity::Of(const DeviceRecord& device) {
    constexpr int kManufacturerBits = 0x3F; // the top bits of the byte address the master
    return {device.longAddress[0] & kManufacturerBits, device.longAddress[1], device.deviceTypeName,
            Hex(&device.longAddress[2], 3), device.versionText};
}

std::string ConfigIdentity::KindText() const {
    std::string text = "manufacturer " + std::to_string(manufacturer) + ", device type " +
                       std::to_string(deviceType);
    return deviceTypeName.empty() ? text : text + " (" + deviceTypeName + ")";
}

std::string ConfigDocument::UtcText(std::int64_t seconds) {
    const std::time_t time = static_cast<std::time_t>(seconds);
    std::tm parts{};
    char text[32] = "";
    if (gmtime_r(&time, &parts) == nullptr ||
        std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts) == 0) {
        return std::to_string(seconds);
    }
    return text;
}

std::string ConfigDocument::ToJson() const {
    Json document;
    document["format"] = std::string(kFormat);
    document["schema"] = kSchema;
    document["saved"] = saved;
    document["identity"] = {{"manufacturer", identity.manufacturer},
                            {"device-type", identity.deviceType},
                            {"device-type-name", identity.deviceTypeName},
                            {"device-id", identity.deviceId},
                            {"version", identity.version}};
    Json values = Json::object();
    for (const std::string_view name : ConfigKeys::Names()) {
        const auto found = settings.find(std::string(name));
        if (found != settings.end()) {
            const std::string& key = found->first;
            values[key] =
                ConfigKeys::IsNumber(key) ? NumberOf(key, found->second) : Json(found->second);
        }
    }
    document["settings"] = std::move(values);
    // Texts from a transmitter are not always valid UTF-8; a bad byte must
    // not cost the whole backup.
    return document.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

std::optional<ConfigDocument> ConfigDocument::FromJson(std::string_view text, std::string* error) {
    Json document;
    try {
        document = Json::parse(text);
    } catch (const nlohmann::json::parse_error& problem) {
        const bool cut = problem.byte >= text.size() && !text.empty();
        Fail(error,
             (cut ? "the file ends too early, it looks cut short: " : "the file is not JSON: ") +
                 ParseProblem(problem));
        return std::nullopt;
    }
    const auto format = document.is_object() ? document.find("format") : document.end();
    if (!document.is_object() || format == document.end() || !format->is_string() ||
        format->get<std::string>() != kFormat) {
        Fail(error, "not a configuration saved by calora-cli backup (\"format\" is not \"" +
                        std::string(kFormat) + "\")");
        return std::nullopt;
    }
    const auto schema = document.find("schema");
    if (schema == document.end() || !schema->is_number_integer()) {
        Fail(error, "the schema version (\"schema\") is missing");
        return std::nullopt;
    }
    if (schema->get<std::int64_t>() != kSchema) {
        Fail(error, "schema " + schema->dump() + " is not one this calora-cli reads (it reads " +
                        std::to_string(kSchema) + ")");
        return std::nullopt;
    }
    const auto saved = document.find("saved");
    std::optional<ConfigIdentity> identity = IdentityOf(document, error);
    if (!identity) {
        return std::nullopt;
    }
    std::optional<ConfigValues> settings = SettingsOf(document, error);
    if (!settings) {
        return std::nullopt;
    }
    ConfigDocument read;
    read.saved = saved != document.end() && saved->is_string() ? saved->get<std::string>() : "";
    read.identity = std::move(*identity);
    read.settings = std::move(*settings);
    return read;
}

bool ConfigDocument::Save(const std::string& path, std::string* error) const {
    const std::string temporary = path + ".part";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        file << ToJson();
        file.flush();
        if (!file) {
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            return Fail(error, "cannot write " + path);
        }
    }
    std::error_code ec;
    std::filesystem::rename(temporary, path, ec);
    if (ec) {
        std::filesystem::remove(temporary, ec);
        return Fail(error, "cannot write " + path);
    }
    return true;
}

std::optional<ConfigDocument> ConfigDocument::Load(const std::string& path, std::string* error) {
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    std::ifstream file(path, std::ios::binary);
    if (ec || !file) {
        Fail(error, "cannot read " + path);
        return std::nullopt;
    }
    if (size > kMaxFileSize) {
        Fail(error, path + ": not a configuration saved by calora-cli backup (" +
                        std::to_string(size) + " bytes)");
        return std::nullopt;
    }
    std::ostringstream text;
    text << file.rdbuf();
    std::optional<ConfigDocument> document = FromJson(text.str(), error);
    if (!document && error != nullptr) {
        *error = path + ": " + *error;
    }
    return document;
}
