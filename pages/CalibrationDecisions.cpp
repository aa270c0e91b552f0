#include "pages/CalibrationDecisions.h"

const char* RangeFromInputQuestion(RangeEnd end) {
    return end == RangeEnd::Lower ? "strSetZero" : "strSetFull";
}

PagePlan PlanRangeFromInput(RangeEnd end) {
    return PagePlan::Run({0, static_cast<std::uint8_t>(end == RangeEnd::Lower ? 37 : 36)});
}
