#include "pages/OutputDecisions.h"

#include "hart/DeviceRecord.h"
#include "pages/ItemText.h"

namespace {

constexpr std::uint8_t kFixCurrent = 40;

PagePlan CurrentError(PageField focus) {
    return PagePlan::Refuse("strCurrentErr", PromptService::Icon::Information, focus);
}

// Stores the reading and tells whether it lies in [lowest, highest]; the upper
// bound is judged on the stored value, so a reading that rounds down onto it
// passes.
bool StoreReading(std::string_view text, float& stored, double lowest, double highest) {
    const double value = ReadItemNumber(text);
    stored = static_cast<float>(value);
    return value >= lowest && static_cast<double>(stored) <= highest;
}

} // namespace

float TypedCurrent(std::string_view text) {
    return static_cast<float>(ReadItemNumber(text));
}

PagePlan PlanFixCurrent(float current, DeviceRecord& device) {
    device.fixedCurrent = current;
    return PagePlan::Run({0, kFixCurrent});
}

PagePlan PlanSendCurrent(float selected, DeviceRecord& device) {
    const double value = selected;
    if (!(value >= FixedCurrentLowest && value <= FixedCurrentHighest)) {
        return CurrentError(PageField::FixedCurrent);
    }
    return PlanFixCurrent(selected, device);
}

PagePlan PlanTrim(std::string_view firstReading, std::string_view secondReading,
                  DeviceRecord& device) {
    if (!StoreReading(firstReading, device.trimZeroCurrent, 3.0, 6.0)) {
        return CurrentError(PageField::FirstReading);
    }
    if (!StoreReading(secondReading, device.trimGainCurrent, 18.0, 22.0)) {
        return CurrentError(PageField::SecondReading);
    }
    device.fixedCurrent = 0.0f;
    return PagePlan::Run({0, 45, 46, kFixCurrent});
}
