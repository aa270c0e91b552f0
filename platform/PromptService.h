#pragma once

#include "platform/DebugTrace.h"

#include <string>

// Message boxes as the host shows them. The window shows dialogs; the
// command-line tool prints; tests record what would have been shown.
class PromptService {
public:
    enum class Icon { Information, Warning, Error, Question };

    virtual ~PromptService() = default;

    virtual void ShowMessage(const std::string& text, const std::string& caption, Icon icon) = 0;

    // A Yes/No question with the question icon; true for "Yes". A host that
    // cannot ask answers "No", so nothing is done unasked.
    virtual bool AskYesNo(const std::string& /*text*/, const std::string& /*caption*/) {
        return false;
    }

    // File dialogs: the chosen full path, or "" when the user cancels. filter
    // is "description|*.ext" pairs as built by the callers. A host without
    // dialogs chooses nothing.
    virtual std::string AskOpenPath(const std::string& /*filter*/, const std::string& /*title*/) {
        return {};
    }
    virtual std::string AskSavePath(const std::string& /*fileName*/,
                                    const std::string& /*extension*/, const std::string& /*filter*/,
                                    const std::string& /*title*/) {
        return {};
    }
    // Opens an address or document with the desktop's default handler.
    virtual void OpenAddress(const std::string& /*address*/) {}

    static void Install(PromptService* service) { s_pCurrent = service; }
    static PromptService* Current() { return s_pCurrent; }

    // Shows through the installed service; without one the message goes to the
    // debug trace so it is never silently lost.
    static void Show(const std::string& text, const std::string& caption, Icon icon) {
        if (s_pCurrent != nullptr) {
            s_pCurrent->ShowMessage(text, caption, icon);
        } else {
            DebugTrace("%s: %s", caption.c_str(), text.c_str());
        }
    }

    // Asks through the installed service; without one the answer is "No".
    static bool Ask(const std::string& text, const std::string& caption) {
        if (s_pCurrent != nullptr) {
            return s_pCurrent->AskYesNo(text, caption);
        }
        DebugTrace("%s: %s (not asked, taken as No)", caption.c_str(), text.c_str());
        return false;
    }

private:
    inline static PromptService* s_pCurrent = nullptr;
};
