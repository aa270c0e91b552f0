#include "shell/OutputPage.h"

#include "hart/Sequence.h"
#include "pages/OutputDecisions.h"
#include "platform/LanguageText.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

OutputPage::OutputPage(DeviceRecord& device, QWidget* parent)
    : ConfigurationPage(kTemplateId, "QXView1", device, parent) {
    m_pFirstReading = Find<QLineEdit>(1001);
    m_pSecondReading = Find<QLineEdit>(1046);
    m_pOtherCurrent = Find<QLineEdit>(1020);
    m_pFirstTest = Find<QPushButton>(1004);
    m_pSecondTest = Find<QPushButton>(1005);
    m_pTrim = Find<QPushButton>(1047);
    m_pOther = Find<QRadioButton>(1019);
    for (std::size_t i = 0; i < m_Presets.size(); ++i) {
        m_Presets[i] = Find<QRadioButton>(1012 + static_cast<int>(i));
        const float current = PresetCurrents[i];
        connect(m_Presets[i], &QRadioButton::clicked, this, [this, current] {
            m_SelectedCurrent = current;
            m_pOtherCurrent->setEnabled(false);
        });
    }
    m_Presets[InitialPreset]->setChecked(true);
    m_SelectedCurrent = PresetCurrents[InitialPreset];
    m_pOtherCurrent->setEnabled(false);

    connect(m_pFirstTest, &QPushButton::clicked, this,
            [this] { Test(TrimLowCurrent, m_pFirstReading); });
    connect(m_pSecondTest, &QPushButton::clicked, this,
            [this] { Test(TrimHighCurrent, m_pSecondReading); });
    connect(m_pTrim, &QPushButton::clicked, this, &OutputPage::Trim);
    connect(m_pOther, &QRadioButton::clicked, this, &OutputPage::ChooseOther);
    connect(m_pOtherCurrent, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_SelectedCurrent = TypedCurrent(text.toStdString()); });
    connect(Find<QPushButton>(1021), &QPushButton::clicked, this, &OutputPage::Send);
    connect(Find<QPushButton>(1022), &QPushButton::clicked, this, &OutputPage::ExitFixedCurrent);
    m_pFirstReading->installEventFilter(this);
    m_pSecondReading->installEventFilter(this);
}

QWidget* OutputPage::FieldControl(PageField field) const {
    switch (field) {
    case PageField::FirstReading:
        return m_pFirstReading;
    case PageField::SecondReading:
        return m_pSecondReading;
    case PageField::FixedCurrent:
        return m_pOtherCurrent;
    default:
        return nullptr;
    }
}

bool OutputPage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyRelease) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (watched == m_pFirstReading) {
                Test(TrimHighCurrent, m_pSecondReading);
                m_pSecondReading->selectAll();
            } else if (watched == m_pSecondReading) {
                Trim();
                FocusItem(m_pFirstTest);
            }
        }
    }
    return ConfigurationPage::eventFilter(watched, event);
}

void OutputPage::Test(float current, QLineEdit* reading) {
    if (!CanStartSequence()) {
        return;
    }
    m_nLastOperation = 0;
    Run(PlanFixCurrent(current, Device()), &OutputPage::OnAnswer);
    FocusItem(reading);
}

void OutputPage::Trim() {
    if (!CanStartSequence()) {
        return;
    }
    if (!PromptService::Ask(LoadLanguageText(TrimQuestion),
                            QGuiApplication::applicationDisplayName().toStdString())) {
        return;
    }
    const PagePlan plan = PlanTrim(ItemText(m_pFirstReading), ItemText(m_pSecondReading), Device());
    if (!plan.Refused()) {
        m_nLastOperation = kTrimOperation;
    }
    Run(plan, &OutputPage::OnAnswer);
}

void OutputPage::Send() {
    if (!CanStartSequence()) {
        return;
    }
    const PagePlan plan = PlanSendCurrent(m_SelectedCurrent, Device());
    if (!plan.Refused()) {
        m_nLastOperation = 0;
    }
    Run(plan, &OutputPage::OnAnswer);
}

void OutputPage::ExitFixedCurrent() {
    if (!CanStartSequence()) {
        return;
    }
    m_nLastOperation = 0;
    Run(PlanFixCurrent(0.0f, Device()), &OutputPage::OnAnswer);
}

void OutputPage::ChooseOther() {
    m_pOtherCurrent->setEnabled(true);
    FocusItem(m_pOtherCurrent);
    m_SelectedCurrent = TypedCurrent(ItemText(m_pOtherCurrent));
}

void OutputPage::OnAnswer(void* userData, int success, std::uint8_t /*command*/) {
    auto* self = static_cast<OutputPage*>(userData);
    if (AdvanceSequence(self, &OutputPage::OnAnswer, success) != StepOutcome::Finished) {
        return;
    }
    ReportSequenceDone();
    if (self->m_nLastOperation == kTrimOperation) {
        FocusItem(self->m_pFirstTest);
    }
}
