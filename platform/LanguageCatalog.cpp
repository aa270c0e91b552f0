#include "platform/LanguageCatalog.h"

#include "platform/PrivateProfile.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace {

bool HasIniExtension(const std::string& name) {
    if (name.size() <= 4) {
        return false;
    }
    std::string extension = name.substr(name.size() - 4);
    for (char& c : extension) {
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return extension == ".ini";
}

} // namespace

std::vector<LanguageCatalog::Entry> LanguageCatalog::Discover(const std::string& folder) {
    namespace fs = std::filesystem;
    std::vector<fs::path> files;
    std::error_code error;
    if (!folder.empty()) {
        for (fs::directory_iterator it(folder, error), end; !error && it != end;
             it.increment(error)) {
            std::error_code typeError;
            if (HasIniExtension(it->path().filename().string()) && it->is_regular_file(typeError)) {
                files.push_back(it->path());
            }
        }
    }
    std::sort(files.begin(), files.end(),
              [](const fs::path& a, const fs::path& b) { return a.filename() < b.filename(); });
    std::vector<Entry> entries;
    for (const fs::path& file : files) {
        std::string language = PrivateProfile::ReadString(file.string(), "Lang", "Language");
        if (!language.empty()) {
            entries.push_back({std::move(language), file.string()});
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
