#include "cli/ConfigDocument.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

ConfigDocument Sample() {
    ConfigDocument document;
    document.saved = ConfigDocument::UtcText(1714564800);
    document.identity = {38, 4, "HART \u667A\u80FD\u53D8\u9001\u5668", "5A0001", "V1.23"};
    document.settings = {{"tag", "TT101"},      {"date", "2024-03-15"},  {"sensors", "2"},
                         {"sensor2", "Type K"}, {"urv", "150.5"},        {"lrv", "-0.1"},
                         {"unit", "\u00B0C"},   {"polling-address", "3"}};
    return document;
}

} // namespace

TEST(ConfigDocument, RoundTripKeepsEverythingAndValuesAreReadAsSetReadsThem) {
    const ConfigDocument document = Sample();
    EXPECT_EQ(document.saved, "2024-05-01T12:00:00Z");
    const std::string json = document.ToJson();
    for (const char* part :
         {"\"format\": \"calora-configuration\"", "\"schema\": 1", "\"urv\": 150.5",
          "\"lrv\": -0.1", "\"sensors\": 2", "\"polling-address\": 3", "\"sensor2\": \"Type K\""}) {
        EXPECT_NE(json.find(part), std::string::npos) << part << "\n" << json;
    }
    // Settings in the order of the key table, after the identity.
    EXPECT_LT(json.find("\"identity\""), json.find("\"settings\""));
    EXPECT_LT(json.find("\"tag\""), json.find("\"date\""));
    EXPECT_LT(json.find("\"sensor2\""), json.find("\"lrv\""));

    std::string error;
    const std::optional<ConfigDocument> read = ConfigDocument::FromJson(json, &error);
    ASSERT_TRUE(read) << error;
    EXPECT_EQ(std::tie(read->saved, read->identity, read->settings),
              std::tie(document.saved, document.identity, document.settings));

    // Values are read as set reads them.
    const auto typed = ConfigDocument::FromJson(
        R"({"format": "calora-configuration", "schema": 1,
            "identity": {"manufacturer": 1, "device-type": 2, "device-type-name": "",
                         "device-id": "000001", "version": "V1.00"},
            "settings": {"urv": "150.0", "lrv": 1e1, "wire1": 4.0, "unit": "C", "tag": "tt"}})",
        &error);
    ASSERT_TRUE(typed) << error;
    EXPECT_EQ(
        typed->settings,
        (ConfigValues{
            {"urv", "150"}, {"lrv", "10"}, {"wire1", "4"}, {"unit", "\u00B0C"}, {"tag", "TT"}}));
}

TEST(ConfigDocument, AFileThatIsNotOursSaysWhy) {
    const std::string good = Sample().ToJson();
    const auto replaced = [&good](const std::string& from, const std::string& to) {
        std::string text = good;
        return text.replace(text.find(from), from.size(), to);
    };
    const std::pair<std::string, const char*> cases[] = {
        {"hello", "not JSON"},
        {"[1, 2]", "not a configuration"},
        {replaced("calora-configuration", "trend"), "not a configuration"},
        {replaced("\"device-type\": 4", "\"device-type\": \"4\""), "device-type"},
        {replaced("\"urv\": 150.5", "\"urv\": \"abc\""), "settings: urv"},
        {replaced("\"urv\": 150.5", "\"colour\": 1"), "unknown key 'colour'"},
    };
    for (const auto& [text, problem] : cases) {
        std::string error;
        EXPECT_FALSE(ConfigDocument::FromJson(text, &error)) << text;
        EXPECT_NE(error.find(problem), std::string::npos) << error;
    }
}

TEST(ConfigDocument, FilesAreWrittenWholeAndReadWithTheirNameInProblems) {
    namespace fs = std::filesystem;
    const std::string path =
        (fs::temp_directory_path() / ("calora-config-doc-" + std::to_string(getpid()) + ".json"))
            .string();
    std::string error;
    ASSERT_TRUE(Sample().Save(path, &error)) << error;
    EXPECT_FALSE(fs::exists(path + ".part"));
    EXPECT_TRUE(ConfigDocument::Load(path, &error)) << error;
    std::ofstream(path) << std::string(ConfigDocument::kMaxFileSize + 1, ' ');
    EXPECT_FALSE(ConfigDocument::Load(path, &error));
    EXPECT_EQ(error, path + ": not a configuration saved by calora-cli backup (1048577 bytes)");
    fs::remove(path);
}
