#include "cli/ConsoleDisplay.h"

#include "hart/Sequence.h"

#include <ostream>

void ConsoleDisplay::ShowProgress(bool finished) {
    if (finished) {
        return; // the status text that follows says how it ended
    }
    m_Out << "  step " << CommandSequence.index + 1 << '/' << +CommandSequence.count << ": command "
          << +CommandSequence.Current() << std::endl;
}

void ConsoleDisplay::SetStatusText(int, const std::string& text) {
    if (!text.empty()) {
        m_Out << "  " << text << std::endl;
    }
}
