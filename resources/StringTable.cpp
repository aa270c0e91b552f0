#include "resources/StringTable.h"

#include <array>

namespace {

struct StringResource {
    int id;
    std::string_view name;
    std::string_view text;
};

constexpr std::array kStrings{
    StringResource{kAboutMenuString, "IDS_ABOUTBOX", "关于 Calora(&A)..."},
};

} // namespace

std::string_view LoadResourceString(int id) {
    for (const StringResource& resource : kStrings) {
        if (resource.id == id) {
            return resource.text;
        }
    }
    return {};
}
