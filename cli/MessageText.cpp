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
    {"strTrimCurrent",
     "Trim the output current (D/A trim) with the two reference meter readings entered?"},
    {"strCurrentErr", "Current out of range. The 4 mA reading must lie between 3.0 and 6.0 mA, "
                      "the 20 mA reading between 18.0 and 22.0 mA, and a fixed current between "
                      "3.8 and 20.5 mA."},
    {"SpanErr", "The range is too small: LRV and URV must differ by at least 10."},
    {"Sen1WireErr", "With two sensors, sensor 1 cannot be connected as 4-wire. Choose 2-wire or "
                    "3-wire."},
    {"Sen2WireErr", "With two sensors, sensor 2 cannot be connected as 4-wire. Choose 2-wire or "
                    "3-wire."},
    {"SenMatchErr", "In Backup, Average and Difference mode both sensors must be of the same "
                    "kind: both temperature sensors, both resistance ranges or both millivolt "
                    "ranges."},
    {"strNOErr", "The new polling address must be between 0 and 15."},
    {"strSetZero", "Take the present sensor input as the lower range value (4 mA)?"},
    {"strSetFull", "Take the present sensor input as the upper range value (20 mA)?"},
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
