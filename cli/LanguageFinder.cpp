#include "cli/LanguageFinder.h"

#include "platform/PrivateProfile.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

std::string LanguageFinder::LanguageName(const std::string& file) {
    return PrivateProfile::ReadString(file, "Lang", "Language");
}

std::string LanguageFinder::FindDefault(const std::string& directory) {
    namespace fs = std::filesystem;
    if (directory.empty()) {
        return {};
    }
    std::vector<fs::path> candidates;
    std::error_code ec;
    for (fs::directory_iterator it(directory, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path& path = it->path();
        std::error_code typeError;
        if (path.extension() == ".ini" && !it->is_directory(typeError)) {
            candidates.push_back(path);
        }
    }
    std::sort(candidates.begin(), candidates.end(),
              [](const fs::path& a, const fs::path& b) { return a.filename() < b.filename(); });
    for (const fs::path& path : candidates) {
        if (!LanguageName(path.string()).empty()) {
            return path.string();
        }
    }
    return {};
}
