#include "sim/PortLink.h"

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

enum class LinkState { Absent, Dangling, Taken };

LinkState StateOf(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        return LinkState::Absent;
    }
    if (!S_ISLNK(info.st_mode)) {
        return LinkState::Taken;
    }
    return ::stat(path.c_str(), &info) == 0 ? LinkState::Taken : LinkState::Dangling;
}

bool MakeFolders(const std::string& folder) {
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (!part.empty() && ::mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) {
            return false;
        }
        if (slash == std::string::npos) {
            break;
        }
    }
    struct stat info {};
    return ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string Environment(const char* name) {
    const char* const value = std::getenv(name);
    return value ? value : "";
}

std::string ReadLink(const std::string& path) {
    std::array<char, 4096> buffer{};
    const ssize_t length = ::readlink(path.c_str(), buffer.data(), buffer.size() - 1);
    return length > 0 ? std::string(buffer.data(), static_cast<std::size_t>(length)) : "";
}

} // namespace

std::string PortLink::DefaultFolder() {
    if (std::string folder = Environment("CALORA_PORTS_DIR"); !folder.empty()) {
        return folder;
    }
    std::string config = Environment("XDG_CONFIG_HOME");
    if (config.empty()) {
        std::string home = Environment("HOME");
        if (home.empty()) {
            if (const passwd* const user = ::getpwuid(::getuid()); user && user->pw_dir) {
                home = user->pw_dir;
            }
        }
        config = home + "/.config";
    }
    return config + "/Varnel/DORWIN/ports";
}

bool PortLink::Publish(const std::string& folder, int com, const std::string& target,
                       std::string* error) {
    Remove();
    if (com < 0 || com > kHighestCom) {
        *error = "COM number out of range";
        return false;
    }
    if (!MakeFolders(folder)) {
        *error = "cannot create the ports folder " + folder + ": " + std::strerror(errno);
        return false;
    }
    const int first = com == 0 ? 1 : com;
    const int last = com == 0 ? kHighestCom : com;
    for (int n = first; n <= last; ++n) {
        const std::string path = folder + "/COM" + std::to_string(n);
        const LinkState state = StateOf(path);
        if (state == LinkState::Taken) {
            continue;
        }
        // A dangling link is left over by a simulator that did not end cleanly.
        if (state == LinkState::Dangling) {
            ::unlink(path.c_str());
        }
        if (::symlink(target.c_str(), path.c_str()) == 0) {
            m_com = n;
            m_path = path;
            m_target = target;
            return true;
        }
        if (errno != EEXIST) {
            *error = "cannot create " + path + ": " + std::strerror(errno);
            return false;
        }
    }
    *error = com == 0 ? "no free COM number in " + folder
                      : "COM" + std::to_string(com) + " in " + folder + " is in use";
    return false;
}

void PortLink::Remove() {
    if (m_path.empty()) {
        return;
    }
    if (ReadLink(m_path) == m_target) {
        ::unlink(m_path.c_str());
    }
    m_path.clear();
    m_target.clear();
    m_com = 0;
}
