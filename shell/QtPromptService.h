#pragma once

#include "platform/PromptService.h"

// Message boxes, file dialogs and the desktop's default handler, for the window.
class QtPromptService : public PromptService {
public:
    void ShowMessage(const std::string& text, const std::string& caption, Icon icon) override;
    bool AskYesNo(const std::string& text, const std::string& caption) override;
    std::string AskOpenPath(const std::string& filter, const std::string& title) override;
    std::string AskSavePath(const std::string& fileName, const std::string& extension,
                            const std::string& filter, const std::string& title) override;
    void OpenAddress(const std::string& address) override;
};
