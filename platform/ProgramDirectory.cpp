#include "platform/ProgramDirectory.h"

#include <cstdlib>
#include <memory>

std::string ProgramDirectory() {
    const std::unique_ptr<char, decltype(&std::free)> resolved(realpath("/proc/self/exe", nullptr),
                                                               &std::free);
    if (!resolved) {
        return {};
    }
    std::string path(resolved.get());
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return {};
    }
    path.resize(slash + 1);
    return path;
}
