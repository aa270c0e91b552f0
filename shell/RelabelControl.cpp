#include "shell/RelabelControl.h"

#include "platform/LanguageText.h"
#include "shell/DialogBuilder.h"

#include <QString>

#include <string>

void RelabelControl(QWidget& dialog, int controlId, std::string_view key,
                    std::string_view section) {
    const std::string text = LoadLanguageText(section, key);
    if (text.empty()) {
        return;
    }
    if (QWidget* control = DialogBuilder::FindControl(dialog, controlId)) {
        DialogBuilder::SetControlText(*control, QString::fromStdString(text));
    }
}
