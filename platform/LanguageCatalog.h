#pragma once

#include <string>
#include <vector>

// The language files beside the program: every regular file directly in the
// folder whose name ends in ".ini" in any case ("English.INI" too, as files
// copied from Windows are named) and whose section "Lang" has a non-empty
// "Language", in file-name order (a directory listing has no order of its own
// on Linux; name order is what users expect).
class LanguageCatalog {
public:
    struct Entry {
        std::string name; // display name, as shown in the menu and stored
        std::string path; // full path
    };

    // An empty or missing folder has none.
    static std::vector<Entry> Discover(const std::string& folder);
    // Index of the first entry named name; -1 when there is none.
    static int IndexOf(const std::vector<Entry>& entries, const std::string& name);
};
