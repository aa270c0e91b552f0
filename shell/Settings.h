#pragma once

#include <string>

// The two stored settings, "Port" and "Language", per user. Nothing is
// stored by default: a missing value reads as "".
class Settings {
public:
    static void WriteString(const std::string& name, const std::string& text);
    static std::string ReadString(const std::string& name);
};
