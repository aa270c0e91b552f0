#include "shell/ConfigurationPage.h"

#include "hart/Sequence.h"
#include "pages/ItemText.h"
#include "platform/DebugTrace.h"
#include "platform/Formatting.h"
#include "platform/LanguageText.h"
#include "shell/DialogBuilder.h"

#include <QComboBox>
#include <QLineEdit>

#include <cstdlib>

ConfigurationPage::ConfigurationPage(int templateId, std::string section, DeviceRecord& device,
                                     QWidget* parent)
    : TemplatePage(templateId, std::move(section), parent), m_Device(device) {}

ConfigurationPage::~ConfigurationPage() {
    // A page routine must not be called once the page is gone.
    if (BusyFlag) {
        CancelSequence();
        BusyFlag = false;
    }
}

bool ConfigurationPage::Run(const PagePlan& plan, HartProtocol::CompletionRoutine routine) {
    if (plan.refusal) {
        PromptService::Show(LoadLanguageText(plan.refusal->messageKey), "HART", plan.refusal->icon);
        FocusItem(FieldControl(plan.refusal->focus));
        return false;
    }
    CommandSequence.Load(plan.commands);
    StartSequenceStep(this, routine);
    return true;
}

QWidget* ConfigurationPage::FieldControl(PageField /*field*/) const {
    return nullptr;
}

void ConfigurationPage::MissingControl(int id) const {
    DebugTrace("page %s: template has no control %d of the expected kind", Section().c_str(), id);
    std::abort();
}

std::string ItemText(const QWidget* item) {
    if (const auto* edit = qobject_cast<const QLineEdit*>(item)) {
        return edit->text().toStdString();
    }
    if (const auto* combo = qobject_cast<const QComboBox*>(item)) {
        return combo->currentText().toStdString();
    }
    return {};
}

double GetItemNumber(const QWidget* item) {
    return ReadItemNumber(ItemText(item));
}

void SetItemText(QWidget* item, const std::string& text) {
    if (item != nullptr) {
        DialogBuilder::SetControlText(*item, QString::fromStdString(text));
    }
}

void SetItemNumber(QWidget* item, double value, int decimals) {
    SetItemText(item, FormatFixed(value, decimals));
}

void FocusItem(QWidget* item) {
    if (item != nullptr) {
        item->setFocus(Qt::OtherFocusReason);
    }
}

int SelectedPosition(const QComboBox* combo) {
    const int index = combo->currentIndex();
    return index >= 0 && combo->currentText() == combo->itemText(index) ? index : -1;
}
