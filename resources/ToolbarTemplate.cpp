#include "resources/ToolbarTemplate.h"

#include <array>

namespace {

using enum ToolbarEntryKind;

constexpr std::array kToolbar{
    ToolbarEntryTemplate{Button, 32772, 137, "IDT_ONLINE"},
    ToolbarEntryTemplate{Button, 32773, 138, "IDT_SEARCH"},
    ToolbarEntryTemplate{Button, 32774, 136, "IDT_RESET"},
    ToolbarEntryTemplate{Button, 32777, 140, "IDT_PROINF"},
    ToolbarEntryTemplate{Button, 32778, 141, "IDT_CONTACT"},
    ToolbarEntryTemplate{Button, 32776, 139, "IDT_STOP"},
    ToolbarEntryTemplate{Separator, 0, 139, ""},
    // The trend tools, shown only while the trend page is selected.
    ToolbarEntryTemplate{Button, 31005, 143, "IDT_OPEN"},
    ToolbarEntryTemplate{Button, 31006, 144, "IDT_SAVE"},
    ToolbarEntryTemplate{Button, 31004, 147, "IDT_HisData"},
    ToolbarEntryTemplate{Button, 31000, 145, "IDT_ALL"},
    ToolbarEntryTemplate{Button, 31001, 148, "IDT_PV"},
    ToolbarEntryTemplate{Button, 31002, 149, "IDT_CURRENT"},
    ToolbarEntryTemplate{Button, 31003, 150, "IDT_PERCENT"},
    ToolbarEntryTemplate{Separator, 0, 0, "", 1},
    ToolbarEntryTemplate{Placeholder, kPeriodComboId, 0, "IDC_COMBOPERIOD", 80},
    ToolbarEntryTemplate{Separator, 0, 0, "", 1},
};

} // namespace

std::span<const ToolbarEntryTemplate> MainToolbarTemplate() {
    return kToolbar;
}
