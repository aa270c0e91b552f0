#include "platform/ComPortResolver.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <string_view>
#include <sys/stat.h>

namespace {

constexpr std::array<std::string_view, 3> kFamilies{"ttyUSB", "ttyACM", "ttyS"};

// Family rank and number of a device name; false for names that are not serial
// devices of a known family.
bool Classify(const std::string& name, std::size_t& family, unsigned long& number) {
    for (std::size_t f = 0; f < kFamilies.size(); ++f) {
        const std::string_view prefix = kFamilies[f];
        if (name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0) {
            const std::string digits = name.substr(prefix.size());
            if (digits.find_first_not_of("0123456789") != std::string::npos || digits.size() > 6) {
                return false;
            }
            family = f;
            number = std::strtoul(digits.c_str(), nullptr, 10);
            return true;
        }
    }
    return false;
}

// The kernel lists ttyS0..ttyS31 whether or not a UART is behind them; only
// those with a known port type are real.
bool HasUart(const std::string& name) {
    std::ifstream type("/sys/class/tty/" + name + "/type");
    int value = 0;
    return type >> value && value != 0;
}

} // namespace

std::string ComPortResolver::PortsFolder() {
    if (const char* dir = std::getenv("CALORA_PORTS_DIR"); dir != nullptr && *dir != '\0') {
        return dir;
    }
    std::string base;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && *config != '\0') {
        base = config;
    } else if (const char* home = std::getenv("HOME"); home != nullptr) {
        base = std::string(home) + "/.config";
    } else {
        base = ".config";
    }
    return base + "/Varnel/DORWIN/ports";
}

std::vector<std::string> ComPortResolver::OrderDevices(std::vector<std::string> names) {
    struct Entry {
        std::size_t family;
        unsigned long number;
        std::string name;
    };
    std::vector<Entry> entries;
    for (auto& name : names) {
        Entry entry{0, 0, std::move(name)};
        if (Classify(entry.name, entry.family, entry.number)) {
            entries.push_back(std::move(entry));
        }
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return a.family != b.family ? a.family < b.family : a.number < b.number;
    });
    std::vector<std::string> ordered;
    for (auto& entry : entries) {
        ordered.push_back(std::move(entry.name));
    }
    return ordered;
}

std::string ComPortResolver::DevicePath(int portNumber) {
    if (portNumber < 1) {
        return {};
    }
    const std::string link = PortsFolder() + "/COM" + std::to_string(portNumber);
    struct stat info {};
    if (::stat(link.c_str(), &info) == 0) {
        return link;
    }

    std::vector<std::string> names;
    if (DIR* dev = ::opendir("/dev")) {
        while (const dirent* entry = ::readdir(dev)) {
            std::string name = entry->d_name;
            if (name.rfind("ttyS", 0) == 0 && !HasUart(name)) {
                continue;
            }
            names.push_back(std::move(name));
        }
        ::closedir(dev);
    }
    const auto ordered = OrderDevices(std::move(names));
    const auto index = static_cast<std::size_t>(portNumber - 1);
    return index < ordered.size() ? "/dev/" + ordered[index] : std::string{};
}
