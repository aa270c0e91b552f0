#include "resources/MenuTemplate.h"

#include <array>

namespace {

using enum MenuEntryKind;

template <std::size_t N>
constexpr MenuEntryTemplate MakePopup(std::string_view name, std::string_view caption,
                                      const std::array<MenuEntryTemplate, N>& entries) {
    return {Popup, 0, name, caption, entries.data(), N};
}

constexpr std::array kFileEntries{
    MenuEntryTemplate{Item, 32771, "IDM_FILE_EXIT", "Exit"},
};

constexpr std::array kProcessEntries{
    MenuEntryTemplate{Item, 32772, "IDT_ONLINE", "OnLine"},
    MenuEntryTemplate{Item, 32773, "IDT_SEARCH", "Search"},
    MenuEntryTemplate{Item, 32774, "IDT_RESET", "Reset"},
    MenuEntryTemplate{Item, 32776, "IDT_STOP", "Stop"},
};

constexpr std::array kPortEntries{
    MenuEntryTemplate{Item, kFirstPortCommand + 0, "IDM_PORT1", "1"},
    MenuEntryTemplate{Item, kFirstPortCommand + 1, "IDM_PORT2", "2"},
    MenuEntryTemplate{Item, kFirstPortCommand + 2, "IDM_PORT3", "3"},
    MenuEntryTemplate{Item, kFirstPortCommand + 3, "IDM_PORT4", "4"},
    MenuEntryTemplate{Item, kFirstPortCommand + 4, "IDM_PORT5", "5"},
    MenuEntryTemplate{Item, kFirstPortCommand + 5, "IDM_PORT6", "6"},
    MenuEntryTemplate{Item, kFirstPortCommand + 6, "IDM_PORT7", "7"},
    MenuEntryTemplate{Item, kFirstPortCommand + 7, "IDM_PORT8", "8"},
    MenuEntryTemplate{Item, kFirstPortCommand + 8, "IDM_PORT9", "9"},
    MenuEntryTemplate{Item, kFirstPortCommand + 9, "IDM_PORT10", "10"},
};

constexpr std::array kLanguageEntries{
    MenuEntryTemplate{Item, kFirstLanguageCommand + 0, "IDM_LANG1", "1"},
    MenuEntryTemplate{Item, kFirstLanguageCommand + 1, "IDM_LANG2", "2"},
    MenuEntryTemplate{Item, kFirstLanguageCommand + 2, "IDM_LANG3", "3"},
    MenuEntryTemplate{Item, kFirstLanguageCommand + 3, "IDM_LANG4", "4"},
    MenuEntryTemplate{Item, kFirstLanguageCommand + 4, "IDM_LANG5", "5"},
    MenuEntryTemplate{Item, kFirstLanguageCommand + 5, "IDM_LANG6", "6"},
    MenuEntryTemplate{Item, kFirstLanguageCommand + 6, "IDM_LANG7", "7"},
    MenuEntryTemplate{Item, kFirstLanguageCommand + 7, "IDM_LANG8", "8"},
    MenuEntryTemplate{Item, kFirstLanguageCommand + 8, "IDM_LANG9", "9"},
    MenuEntryTemplate{Item, kFirstLanguageCommand + 9, "IDM_LANG10", "10"},
};

// Entry 0 is the port submenu and entry 2 the language submenu: relabelling
// finds them by these positions.
constexpr std::array kEnvironmentEntries{
    MakePopup("IDS_MENU_PORT", "Serial Port", kPortEntries),
    MenuEntryTemplate{Separator, 0, "", ""},
    MakePopup("IDS_MENU_LANG", "Language", kLanguageEntries),
};

constexpr std::array kHelpEntries{
    MenuEntryTemplate{Item, 32786, "IDM_HELP_ABOUT", "About"},
};

constexpr std::array kMenuBar{
    MakePopup("IDS_MENU_FILE", "&File", kFileEntries),
    MakePopup("IDS_MENU_Process", "Process", kProcessEntries),
    MakePopup("IDS_MENU_ENV", "Envirmont", kEnvironmentEntries),
    MakePopup("IDS_MENU_HELP", "Help", kHelpEntries),
};

constexpr MenuTemplate kMainMenu{129, "IDR_MAINMENU", kMenuBar};

const MenuEntryTemplate* FindIn(std::span<const MenuEntryTemplate> entries, int id) {
    for (const MenuEntryTemplate& entry : entries) {
        if (entry.kind == Item && entry.id == id) {
            return &entry;
        }
        if (const MenuEntryTemplate* found = FindIn(entry.Children(), id)) {
            return found;
        }
    }
    return nullptr;
}

} // namespace

const MenuTemplate& MainMenuTemplate() {
    return kMainMenu;
}

const MenuEntryTemplate* FindMenuItem(const MenuTemplate& menu, int id) {
    return FindIn(menu.popups, id);
}
