#include "shell/CalibrationPage.h"

#include "hart/Sequence.h"
#include "pages/CalibrationDecisions.h"
#include "platform/LanguageText.h"

#include <QPushButton>

CalibrationPage::CalibrationPage(DeviceRecord& device, QWidget* parent)
    : ConfigurationPage(kTemplateId, "QXView5", device, parent) {
    connect(Find<QPushButton>(1025), &QPushButton::clicked, this,
            [this] { RangeFromInput(RangeEnd::Lower); });
    connect(Find<QPushButton>(1027), &QPushButton::clicked, this,
            [this] { RangeFromInput(RangeEnd::Upper); });
}

void CalibrationPage::RangeFromInput(RangeEnd end) {
    if (!CanStartSequence()) {
        return;
    }
    if (!PromptService::Ask(LoadLanguageText(RangeFromInputQuestion(end)), "HART")) {
        return;
    }
    Run(PlanRangeFromInput(end), &CalibrationPage::OnAnswer);
}

void CalibrationPage::OnAnswer(void* userData, int success, std::uint8_t /*command*/) {
    auto* self = static_cast<CalibrationPage*>(userData);
    if (AdvanceSequence(self, &CalibrationPage::OnAnswer, success) == StepOutcome::Finished) {
        ReportSequenceDone();
    }
}
