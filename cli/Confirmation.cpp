#include "cli/Confirmation.h"

#include <istream>
#include <ostream>

std::string Confirmation::CannotAskText() {
    return "this changes the transmitter and needs a confirmation, but standard input is not "
           "a terminal to ask on; give --yes to confirm beforehand";
}

bool Confirmation::Ask(const std::string& question) {
    if (m_bAssumeYes) {
        m_Out << question << " yes (--yes)" << std::endl;
        return true;
    }
    if (!m_bTerminal) {
        return false;
    }
    m_Out << question << " [y/N] " << std::flush;
    std::string answer;
    if (!std::getline(m_In, answer)) {
        m_Out << std::endl;
        return false;
    }
    while (!answer.empty() && (answer.back() == ' ' || answer.back() == '\r')) {
        answer.pop_back();
    }
    for (char& c : answer) {
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    return answer == "y" || answer == "yes";
}
