#pragma once

#include "pages/PagePlan.h"

// What the calibration page decides: the transmitter takes its present input
// as the lower end of its range (4 mA, command 37) or as the upper end
// (20 mA, command 36). Neither command carries data.

enum class RangeEnd { Lower, Upper };

// The question (a key of section "String") asked before the command.
const char* RangeFromInputQuestion(RangeEnd end);

PagePlan PlanRangeFromInput(RangeEnd end);
