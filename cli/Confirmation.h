#pragma once

#include <iosfwd>
#include <string>

// The confirmation an operation that changes the transmitter asks for: a
// "y" or "yes" typed on the terminal, or --yes given beforehand. Without a
// terminal to ask on and without --yes nothing may be confirmed, so a script
// that forgot --yes stops before it sends anything.
class Confirmation {
public:
    Confirmation(std::istream& in, std::ostream& out, bool inputIsTerminal, bool assumeYes)
        : m_In(in), m_Out(out), m_bTerminal(inputIsTerminal), m_bAssumeYes(assumeYes) {}

    // Whether Ask can get an answer at all.
    bool CanAsk() const { return m_bAssumeYes || m_bTerminal; }
    // Why it cannot, for the user.
    static std::string CannotAskText();

    // Prints question and reads one line; true for y or yes in any case.
    // With --yes the question is printed with the answer and true returned.
    bool Ask(const std::string& question);

private:
    std::istream& m_In;
    std::ostream& m_Out;
    bool m_bTerminal;
    bool m_bAssumeYes;
};
