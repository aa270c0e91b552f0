#pragma once

#include "shell/ConfigurationPage.h"

enum class RangeEnd;

// Calibration: the transmitter takes its present input as the lower (4 mA)
// or upper (20 mA) end of its range, after a question.
class CalibrationPage : public ConfigurationPage {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 136;

    CalibrationPage(DeviceRecord& device, QWidget* parent);

private:
    void RangeFromInput(RangeEnd end);
    static void OnAnswer(void* userData, int success, std::uint8_t command);
};
