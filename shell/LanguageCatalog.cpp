#include "shell/LanguageCatalog.h"

#include "platform/PrivateProfile.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

std::vector<LanguageCatalog::Entry> LanguageCatalog::Discover(const std::string& folder) {
    std::vector<std::string> files;
    std::error_code error;
    for (const auto& item : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = item.path().filename().string();
        if (name.size() > 4 && name.ends_with(".ini") && item.is_regular_file(error)) {
            files.push_back(name);
        }
    }
    std::sort(files.begin(), files.end());
    std::vector<Entry> entries;
    for (const auto& file : files) {
        const std::string path = folder + file;
        std::string language = PrivateProfile::ReadString(path, "Lang", "Language");
        if (!language.empty()) {
            entries.push_back({std::move(language), path});
        }
    }
    return entries;
}

int LanguageCatalog::IndexOf(const std::vector<Entry>& entries, const std::string& name) {
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].name == name) {
            return static_cast<int>(i);
        }
    }
    return -1;
}
