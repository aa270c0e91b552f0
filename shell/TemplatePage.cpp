#include "shell/TemplatePage.h"

#include "resources/DialogTemplate.h"
#include "shell/DialogBuilder.h"
#include "shell/RelabelControl.h"

#include <array>
#include <utility>

namespace {

// Buttons that share the read and write captions of the sensor page.
struct Borrowed {
    int templateId;
    int controlId;
    const char* key;
};
constexpr std::array<Borrowed, 6> kBorrowed{{
    {130, 1047, "IDC_cmdWrite2"},
    {135, 1048, "IDC_cmdRead2"},
    {135, 1049, "IDC_cmdRead2"},
    {135, 1163, "IDC_cmdWrite2"},
    {135, 1168, "IDC_cmdWrite2"},
    {135, 1040, "IDC_cmdWrite2"},
}};

} // namespace

TemplatePage::TemplatePage(int templateId, std::string section, QWidget* parent)
    : QWidget(parent), m_pTemplate(FindDialogTemplate(templateId)),
      m_strSection(std::move(section)) {
    if (m_pTemplate != nullptr) {
        DialogBuilder::Build(*m_pTemplate, *this);
    }
}

void TemplatePage::Relabel() {
    if (m_pTemplate == nullptr) {
        return;
    }
    for (const ControlTemplate& control : m_pTemplate->controls) {
        if (control.id >= 0 && !control.name.empty()) {
            RelabelControl(*this, control.id, control.name, m_strSection);
        }
    }
    for (const Borrowed& borrowed : kBorrowed) {
        if (borrowed.templateId == m_pTemplate->id) {
            RelabelControl(*this, borrowed.controlId, borrowed.key, "QXView2");
        }
    }
}

bool TemplatePage::HandleCommand(int /*commandId*/) {
    return false;
}

QWidget* TemplatePage::Control(int id) const {
    return DialogBuilder::FindControl(*this, id);
}
