#pragma once

#include <cstddef>
#include <span>
#include <string_view>

// The main window's menu bar as data. Popups are found by position, items by
// command id; both carry their identifier name, the key of section "Menu".

enum class MenuEntryKind {
    Item,
    Separator,
    Popup,
};

struct MenuEntryTemplate {
    MenuEntryKind kind;
    int id;                // command id of an item; 0 for popups and separators
    std::string_view name; // identifier name; "" for separators
    std::string_view caption;
    const MenuEntryTemplate* children = nullptr; // entries of a popup
    std::size_t childCount = 0;

    std::span<const MenuEntryTemplate> Children() const { return {children, childCount}; }
};

struct MenuTemplate {
    int id; // 129
    std::string_view name;
    std::span<const MenuEntryTemplate> popups;
};

// The port and language submenus hold ten template items "1" to "10" that
// start-up replaces with the ports and languages found.
constexpr int kMenuRuntimeEntries = 10;
constexpr int kFirstPortCommand = 32787;
constexpr int kFirstLanguageCommand = 32797;

// Menu 129, the main window's menu bar.
const MenuTemplate& MainMenuTemplate();

// The item (not popup) with that command id anywhere in the menu; nullptr when
// there is none.
const MenuEntryTemplate* FindMenuItem(const MenuTemplate& menu, int id);
