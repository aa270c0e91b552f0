#pragma once

#include <string>

// The trend page's file dialogs: a filter for the extension, through the
// prompt service. Both return the chosen full path, or "" on cancel.
std::string AskOpenPath(const std::string& extension, const std::string& title);
std::string AskSavePath(const std::string& fileName, const std::string& extension,
                        const std::string& title);
// "tdd 文件(*.tdd)|*.tdd||"; "" without an extension.
std::string FileFilter(const std::string& extension);
