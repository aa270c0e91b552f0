#include "shell/SensorPage.h"

#include "controls/ColorLabel.h"
#include "hart/Sequence.h"
#include "hart/UnitTables.h"
#include "platform/LanguageText.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

#include <string>
#include <vector>

namespace {

constexpr const char* kSection = "QXView2";

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// Refills a list from keys of the page's section; a missing key adds an empty
// entry so that positions stay.
void Fill(QComboBox* combo, const std::vector<std::string>& keys) {
    const QSignalBlocker block(combo);
    combo->clear();
    for (const std::string& key : keys) {
        combo->addItem(Q(LoadLanguageText(kSection, key)));
    }
    combo->setCurrentIndex(-1);
}

void ShowPosition(QComboBox* combo, int position) {
    const QSignalBlocker block(combo);
    combo->setCurrentIndex(position >= 0 && position < combo->count() ? position : -1);
}

void ShowText(QLineEdit* edit, const std::string& text) {
    if (edit->text() != Q(text)) {
        edit->setText(Q(text));
    }
}

void StyleUnitLabel(ColorLabel* label) {
    label->SetTextColor(0x000000);
    label->SetLabelFont(QStringLiteral("MS Serif"), 90);
}

} // namespace

SensorPage::SensorPage(DeviceRecord& device, QWidget* parent)
    : ConfigurationPage(kTemplateId, kSection, device, parent) {
    m_pSingle = Find<QRadioButton>(1140);
    m_pDouble = Find<QRadioButton>(1141);
    for (std::size_t i = 0; i < m_Modes.size(); ++i) {
        m_Modes[i] = Find<QRadioButton>(1142 + static_cast<int>(i));
        m_UnitChoices[i] = Find<QRadioButton>(1152 + static_cast<int>(i));
    }
    m_pSensor1Type = Find<QComboBox>(1165);
    m_pSensor2Type = Find<QComboBox>(1186);
    m_pWire1 = Find<QComboBox>(1167);
    m_pWire2 = Find<QComboBox>(1188);
    m_pOffset1 = Find<QLineEdit>(1002);
    m_pOffset2 = Find<QLineEdit>(1003);
    m_pOffset1Unit = Find<ColorLabel>(1156);
    m_pOffset2Unit = Find<ColorLabel>(1157);
    m_pOutputSensor = Find<QComboBox>(1032);
    m_pZero = Find<QLineEdit>(1001);
    m_pSpan = Find<QLineEdit>(1031);
    m_pDisplayMode = Find<QComboBox>(1223);
    m_pDecimals = Find<QComboBox>(1024);
    m_pUnit = Find<QComboBox>(1030);
    m_pDamping = Find<QLineEdit>(1161);
    m_pAlarm = Find<QComboBox>(1027);

    connect(m_pSingle, &QRadioButton::clicked, this,
            [this] { Handle([](SensorSetup& s) { s.SetDoubleSensor(false); }); });
    connect(m_pDouble, &QRadioButton::clicked, this,
            [this] { Handle([](SensorSetup& s) { s.SetDoubleSensor(true); }); });
    for (int mode = 0; mode < SensorSetup::WorkModeCount; ++mode) {
        connect(m_Modes[static_cast<std::size_t>(mode)], &QRadioButton::clicked, this,
                [this, mode] { Handle([mode](SensorSetup& s) { s.SetWorkMode(mode); }); });
    }
    connect(m_pSensor1Type, &QComboBox::activated, this, [this](int position) {
        Handle([position](SensorSetup& s) { s.ChooseSensorType(1, position); });
    });
    connect(m_pSensor2Type, &QComboBox::activated, this, [this](int position) {
        Handle([position](SensorSetup& s) { s.ChooseSensorType(2, position); });
    });
    connect(m_pOutputSensor, &QComboBox::activated, this, [this](int position) {
        Handle([position](SensorSetup& s) { s.ChooseOutputSensor(position); });
    });
    connect(m_pUnit, &QComboBox::activated, this, [this](int position) {
        const std::string unit = m_pUnit->itemText(position).toStdString();
        Handle([&unit](SensorSetup& s) { s.ChooseUnit(unit); });
    });
    // The unit a choice converts from is the text shown before it, typed or not.
    connect(m_pUnit->lineEdit(), &QLineEdit::textEdited, this,
            [this](const QString& text) { m_Setup.Settings().unitText = text.toStdString(); });
    // The hidden unit choices put the unit shown behind an offset.
    connect(m_UnitChoices[0], &QRadioButton::clicked, this, [this] {
        Handle([this](SensorSetup& s) { s.Settings().offset1UnitText = ItemText(m_pUnit); });
    });
    connect(m_UnitChoices[2], &QRadioButton::clicked, this, [this] {
        Handle([this](SensorSetup& s) { s.Settings().offset2UnitText = ItemText(m_pUnit); });
    });
    connect(Find<QPushButton>(1049), &QPushButton::clicked, this, &SensorPage::Read);
    connect(Find<QPushButton>(1168), &QPushButton::clicked, this, &SensorPage::Update);

    StyleUnitLabel(m_pOffset1Unit);
    StyleUnitLabel(m_pOffset2Unit);
    QFont unitFont(QStringLiteral("MS Serif"));
    unitFont.setPointSize(9);
    m_pUnit->setFont(unitFont);
    m_UnitChoices[1]->setChecked(true);
    m_UnitChoices[3]->setChecked(true);
    Relabel();
}

void SensorPage::Relabel() {
    TemplatePage::Relabel();
    FillLists();
    m_Setup.Reset();
    Show();
}

void SensorPage::FillLists() {
    std::vector<std::string> types;
    for (int i = 0; i < SensorPositionCount; ++i) {
        types.push_back("m_cboSensorType" + std::to_string(i));
    }
    Fill(m_pSensor1Type, types);
    Fill(m_pSensor2Type, types);
    Fill(m_pOutputSensor, {"IDC_cboOutSense1", "IDC_cboOutSense2"});
    Fill(m_pDisplayMode, {"IDC_cboDisMode1", "IDC_cboDisMode2", "IDC_cboDisMode3"});
    Fill(m_pDecimals, {"IDC_cboDisReo0", "IDC_cboDisReo1", "IDC_cboDisReo2", "IDC_cboDisReo3"});
    Fill(m_pWire1, {"IDC_cboWire0", "IDC_cboWire1", "IDC_cboWire2"});
    Fill(m_pWire2, {"IDC_cboWire0", "IDC_cboWire1", "IDC_cboWire2"});
    const QSignalBlocker block(m_pUnit);
    m_pUnit->clear();
    for (const std::string& unit : {CelsiusText(), std::string("K"), std::string("F")}) {
        m_pUnit->addItem(Q(unit));
    }
    m_pUnit->setCurrentIndex(0);
}

void SensorPage::Collect() {
    SensorSettings& s = m_Setup.Settings();
    s.sensor1Position = SelectedPosition(m_pSensor1Type);
    s.sensor2Position = SelectedPosition(m_pSensor2Type);
    s.wire1Position = SelectedPosition(m_pWire1);
    s.wire2Position = SelectedPosition(m_pWire2);
    s.outputSensorPosition = SelectedPosition(m_pOutputSensor);
    s.displayModePosition = SelectedPosition(m_pDisplayMode);
    s.decimalsPosition = SelectedPosition(m_pDecimals);
    s.alarmPosition = SelectedPosition(m_pAlarm);
    s.offset1Text = ItemText(m_pOffset1);
    s.offset2Text = ItemText(m_pOffset2);
    s.zeroText = ItemText(m_pZero);
    s.spanText = ItemText(m_pSpan);
    s.dampingText = ItemText(m_pDamping);
}

void SensorPage::Show() {
    const SensorSettings& s = m_Setup.Settings();
    m_pSingle->setChecked(!s.doubleSensor);
    m_pDouble->setChecked(s.doubleSensor);
    if (s.workMode >= 0 && s.workMode < SensorSetup::WorkModeCount) {
        m_Modes[static_cast<std::size_t>(s.workMode)]->setChecked(true);
    }
    ShowPosition(m_pSensor1Type, s.sensor1Position);
    ShowPosition(m_pSensor2Type, s.sensor2Position);
    ShowPosition(m_pWire1, s.wire1Position);
    ShowPosition(m_pWire2, s.wire2Position);
    ShowPosition(m_pOutputSensor, s.outputSensorPosition);
    ShowPosition(m_pDisplayMode, s.displayModePosition);
    ShowPosition(m_pDecimals, s.decimalsPosition);
    ShowPosition(m_pAlarm, s.alarmPosition);
    ShowText(m_pOffset1, s.offset1Text);
    ShowText(m_pOffset2, s.offset2Text);
    ShowText(m_pZero, s.zeroText);
    ShowText(m_pSpan, s.spanText);
    ShowText(m_pDamping, s.dampingText);
    {
        const QSignalBlocker block(m_pUnit);
        m_pUnit->setEditText(Q(s.unitText));
    }
    m_pOffset1Unit->SetText(Q(s.offset1UnitText));
    m_pOffset2Unit->SetText(Q(s.offset2UnitText));

    const SensorEnables enables = m_Setup.Enables();
    for (QRadioButton* mode : m_Modes) {
        mode->setEnabled(enables.secondSensor);
    }
    m_pSensor2Type->setEnabled(enables.secondSensor);
    m_pOffset2->setEnabled(enables.secondSensor);
    m_pWire1->setEnabled(enables.wire1);
    m_pWire2->setEnabled(enables.wire2);
    m_pOutputSensor->setEnabled(enables.outputSensor);
}

QWidget* SensorPage::FieldControl(PageField field) const {
    switch (field) {
    case PageField::Span:
        return m_pSpan;
    case PageField::Sensor1Type:
        return m_pSensor1Type;
    case PageField::Sensor1Wire:
        return m_pWire1;
    case PageField::Sensor2Type:
        return m_pSensor2Type;
    case PageField::Sensor2Wire:
        return m_pWire2;
    default:
        return nullptr;
    }
}

void SensorPage::Read() {
    if (CanStartSequence()) {
        Run(SensorSetup::PlanRead(), &SensorPage::OnAnswer);
    }
}

void SensorPage::Update() {
    if (!CanStartSequence()) {
        return;
    }
    Collect();
    Run(m_Setup.PlanUpdate(Device()), &SensorPage::OnAnswer);
}

void SensorPage::OnAnswer(void* userData, int success, std::uint8_t command) {
    auto* self = static_cast<SensorPage*>(userData);
    if (AdvanceSequence(self, &SensorPage::OnAnswer, success) != StepOutcome::Finished) {
        return;
    }
    if (command == 146) {
        self->Collect();
        self->m_Setup.ShowConfiguration(self->Device());
        self->Show();
        self->m_UnitChoices[0]->setChecked(true);
        self->m_UnitChoices[2]->setChecked(true);
    }
    ReportSequenceDone();
}
