#pragma once

#include "shell/ConfigurationPage.h"

#include <array>

class QLineEdit;
class QPushButton;
class QRadioButton;

// Output trim and fixed current: the D/A trim at 4 mA and 20 mA against a
// reference meter, and fixing the loop current at a preset or typed value.
class OutputPage : public ConfigurationPage {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 130;
    // LastOperation while the trim runs.
    static constexpr int kTrimOperation = 1047;

    OutputPage(DeviceRecord& device, QWidget* parent);

    float SelectedCurrent() const { return m_SelectedCurrent; }
    int LastOperation() const { return m_nLastOperation; }

protected:
    QWidget* FieldControl(PageField field) const override;
    // Enter in the first reading fixes 20 mA; Enter in the second trims.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Test(float current, QLineEdit* reading);
    void Trim();
    void Send();
    void ExitFixedCurrent();
    void ChooseOther();
    static void OnAnswer(void* userData, int success, std::uint8_t command);

    QLineEdit* m_pFirstReading = nullptr;     // 1001
    QLineEdit* m_pSecondReading = nullptr;    // 1046
    QLineEdit* m_pOtherCurrent = nullptr;     // 1020
    QPushButton* m_pFirstTest = nullptr;      // 1004
    QPushButton* m_pSecondTest = nullptr;     // 1005
    QPushButton* m_pTrim = nullptr;           // 1047
    std::array<QRadioButton*, 7> m_Presets{}; // 1012..1018
    QRadioButton* m_pOther = nullptr;         // 1019
    float m_SelectedCurrent = 4.0f;
    int m_nLastOperation = 0;
};
