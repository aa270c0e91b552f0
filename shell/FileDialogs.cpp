#include "shell/FileDialogs.h"

#include "platform/PromptService.h"

std::string FileFilter(const std::string& extension) {
    if (extension.empty()) {
        return {};
    }
    return extension + " 文件(*." + extension + ")|*." + extension + "||";
}

std::string AskOpenPath(const std::string& extension, const std::string& title) {
    PromptService* prompts = PromptService::Current();
    return prompts != nullptr ? prompts->AskOpenPath(FileFilter(extension), title) : std::string{};
}

std::string AskSavePath(const std::string& fileName, const std::string& extension,
                        const std::string& title) {
    PromptService* prompts = PromptService::Current();
    return prompts != nullptr
               ? prompts->AskSavePath(fileName, extension, FileFilter(extension), title)
               : std::string{};
}
