#include "platform/LanguageText.h"

#include "platform/PrivateProfile.h"

std::string CurrentLanguageFile;

std::string LoadLanguageText(std::string_view key) {
    return LoadLanguageText("String", key);
}

std::string LoadLanguageText(std::string_view section, std::string_view key) {
    if (CurrentLanguageFile.empty()) {
        return {};
    }
    return PrivateProfile::ReadString(CurrentLanguageFile, section, key);
}
