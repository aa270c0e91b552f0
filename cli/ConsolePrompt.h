#pragma once

#include "platform/PromptService.h"

#include <iosfwd>
#include <string>

// Message boxes of the engine and the sequence layer, printed as
// "caption: text" on the error stream.
class ConsolePrompt : public PromptService {
public:
    explicit ConsolePrompt(std::ostream& out) : m_Out(out) {}

    void ShowMessage(const std::string& text, const std::string& caption, Icon icon) override;

    // Without a language file the sequence layer's texts are blank; whoever
    // starts an operation says what a blank message means at that point.
    void SetBlankText(std::string text) { m_strBlankText = std::move(text); }

private:
    std::ostream& m_Out;
    std::string m_strBlankText;
};
