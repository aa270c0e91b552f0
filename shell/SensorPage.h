#pragma once

#include "pages/SensorSetup.h"
#include "shell/ConfigurationPage.h"

#include <array>

class ColorLabel;
class QComboBox;
class QLineEdit;
class QRadioButton;

// Sensor setup: one or two sensors with work mode, types, wiring and offsets,
// the output range with unit, damping, display and alarm. What the page
// decides lives in SensorSetup; the page copies the controls into it before
// each handler and shows its settings afterwards.
class SensorPage : public ConfigurationPage {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 131;

    SensorPage(DeviceRecord& device, QWidget* parent);

    // Captions, then every list filled anew and every selection reset.
    void Relabel() override;

    const SensorSetup& Setup() const { return m_Setup; }

protected:
    QWidget* FieldControl(PageField field) const override;

private:
    // Runs a handler of the setup between taking what the user typed or
    // picked and showing the result.
    template <typename Handler> void Handle(Handler handler) {
        Collect();
        handler(m_Setup);
        Show();
    }
    void Collect();
    void Show();
    void FillLists();
    void Read();
    void Update();
    static void OnAnswer(void* userData, int success, std::uint8_t command);

    SensorSetup m_Setup;
    QRadioButton* m_pSingle = nullptr;            // 1140
    QRadioButton* m_pDouble = nullptr;            // 1141
    std::array<QRadioButton*, 4> m_Modes{};       // 1142..1145
    std::array<QRadioButton*, 4> m_UnitChoices{}; // hidden 1152..1155
    QComboBox* m_pSensor1Type = nullptr;          // 1165
    QComboBox* m_pSensor2Type = nullptr;          // 1186
    QComboBox* m_pWire1 = nullptr;                // 1167
    QComboBox* m_pWire2 = nullptr;                // 1188
    QLineEdit* m_pOffset1 = nullptr;              // 1002
    QLineEdit* m_pOffset2 = nullptr;              // 1003
    ColorLabel* m_pOffset1Unit = nullptr;         // 1156
    ColorLabel* m_pOffset2Unit = nullptr;         // 1157
    QComboBox* m_pOutputSensor = nullptr;         // 1032
    QLineEdit* m_pZero = nullptr;                 // 1001
    QLineEdit* m_pSpan = nullptr;                 // 1031
    QComboBox* m_pDisplayMode = nullptr;          // 1223
    QComboBox* m_pDecimals = nullptr;             // 1024
    QComboBox* m_pUnit = nullptr;                 // 1030
    QLineEdit* m_pDamping = nullptr;              // 1161
    QComboBox* m_pAlarm = nullptr;                // 1027
};
