#pragma once

#include "platform/PromptService.h"

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// The inputs of the configuration pages that a check can point at: the window
// puts the focus in the matching control, the command-line tool names its
// option.
enum class PageField {
    None,
    FirstReading,  // output trim, the reading at 4 mA
    SecondReading, // output trim, the reading at 20 mA
    FixedCurrent,  // the typed current to fix
    Span,
    Sensor1Type,
    Sensor1Wire,
    Sensor2Type,
    Sensor2Wire,
    NewAddress,
};

// Why a page operation does not start: the message (a key of section "String"),
// its icon, and the input to correct.
struct PageRefusal {
    std::string messageKey;
    PromptService::Icon icon = PromptService::Icon::Information;
    PageField focus = PageField::None;

    bool operator==(const PageRefusal&) const = default;
};

// What a page operation comes to once its inputs are checked: the commands to
// run (the request values are in the DeviceRecord by then), or the refusal.
struct PagePlan {
    std::vector<std::uint8_t> commands; // empty when refused
    std::optional<PageRefusal> refusal;

    bool Refused() const { return refusal.has_value(); }

    static PagePlan Run(std::initializer_list<std::uint8_t> commands) {
        return PagePlan{std::vector<std::uint8_t>(commands), std::nullopt};
    }
    static PagePlan Refuse(std::string messageKey, PromptService::Icon icon, PageField focus) {
        return PagePlan{{}, PageRefusal{std::move(messageKey), icon, focus}};
    }
};
