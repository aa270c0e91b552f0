#include "cli/MessageText.h"

#include "platform/LanguageText.h"

namespace {

struct Entry {
    std::string_view key;
    const char* text;
};

constexpr Entry kEnglish[] = {
    {"strBusy", "An operation is already running."},
    {"strPortFail", "The serial port cannot be opened."},
    {"strCommunication", "Communicating..."},
    {"strOpOK", "Done."},
    {"strOpFail", "Failed."},
    {"strCommFail", "Communication with the transmitter failed. Check the HART modem, the loop "
                    "wiring and the polling address, then try again."},
    {"strBreak", "Stopped."},
    {"strFindMeter", "Transmitters found at polling address:"},
    {"strVersion", "Version: "},
    {"strFileError", "Trend file error: the file cannot be written, or it is damaged or not a "
                     "trend file."},
};

} // namespace

std::string MessageText::English(std::string_view key) {
    for (const Entry& entry : kEnglish) {
        if (entry.key == key) {
            return entry.text;
        }
    }
    return std::string(key);
}

std::string MessageText::Get(std::string_view key) {
    std::string text = LoadLanguageText(key);
    return text.empty() ? English(key) : text;
}

std::string MessageText::Of(const Meaning& meaning) {
    std::string text = LoadLanguageText(meaning.key);
    return text.empty() ? std::string(meaning.english) : text;
}
