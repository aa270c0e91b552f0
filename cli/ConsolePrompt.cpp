#include "cli/ConsolePrompt.h"

#include <ostream>

void ConsolePrompt::ShowMessage(const std::string& text, const std::string& caption, Icon) {
    const std::string& shown = text.empty() ? m_strBlankText : text;
    if (caption.empty()) {
        m_Out << shown << std::endl;
    } else {
        m_Out << caption << ": " << shown << std::endl;
    }
}
