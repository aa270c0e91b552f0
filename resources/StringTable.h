#pragma once

#include <string_view>

// String resources of the program (UTF-8).

// 101: the About entry of the main window's system menu.
constexpr int kAboutMenuString = 101;

// The string with that id; "" when there is none.
std::string_view LoadResourceString(int id);
