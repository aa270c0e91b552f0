#pragma once

#include "pages/PagePlan.h"

#include <array>
#include <string_view>

struct DeviceRecord;

// What the output page decides: fixing the loop current and the D/A trim.

// The currents the two Test buttons fix while the user reads the reference
// meter.
inline constexpr float TrimLowCurrent = 4.0f;
inline constexpr float TrimHighCurrent = 20.0f;

// The preset currents of the "Fix Loop Current" group, in the order of its
// radio buttons (3.8 mA to 20.5 mA).
inline constexpr std::array<float, 7> PresetCurrents{3.8f, 4.0f, 8.0f, 12.0f, 16.0f, 20.0f, 20.5f};
// The preset checked when the page starts: 4.0 mA.
inline constexpr int InitialPreset = 1;

// The band of currents a transmitter can be fixed at, with a margin so that
// the 32-bit presets 3.8 and 20.5 always pass.
inline constexpr double FixedCurrentLowest = 3.7999;
inline constexpr double FixedCurrentHighest = 20.5001;

// The typed current to fix, as the page keeps it (32 bits).
float TypedCurrent(std::string_view text);

// Fixes the loop current at current mA, 0 to leave fixed-current mode: no
// check (the Test buttons, "Exit Fix Current").
PagePlan PlanFixCurrent(float current, DeviceRecord& device);

// The question (a key of section "String") asked before the trim.
inline constexpr const char* TrimQuestion = "strTrimCurrent";

// "Send": the selected current must lie in the band, else "strCurrentErr"
// with the focus on the typed current.
PagePlan PlanSendCurrent(float selected, DeviceRecord& device);

// The trim from the two reference readings as typed: the reading at 4 mA
// must lie in [3.0, 6.0] and the one at 20 mA in [18.0, 22.0] (lower bound on
// the number as read, upper bound on the stored 32-bit value), else
// "strCurrentErr" with the focus on that reading. Each reading is stored
// before its check. Ends by leaving fixed-current mode.
PagePlan PlanTrim(std::string_view firstReading, std::string_view secondReading,
                  DeviceRecord& device);
