#pragma once

#include <span>
#include <string_view>

// The main window's toolbar (resource 131) as data, one entry per position.

enum class ToolbarEntryKind {
    Button,
    Separator,
    Placeholder, // room kept for a control laid over the toolbar (the period combo)
};

struct ToolbarEntryTemplate {
    ToolbarEntryKind kind;
    int id;                      // command id of a button or placeholder; 0 for a separator
    int icon;                    // icon resource of the image at this position; 0 when none
    std::string_view tooltipKey; // key of section "ToolBar"; "" when none
    int width = 0;               // pixels of a sized separator or placeholder; 0: default
};

constexpr int kToolbarId = 131;
constexpr int kPeriodComboId = 501;
// Positions 0 to 13 have an image each; the separator at 6 keeps one it does
// not show, so image i still belongs to position i.
constexpr int kToolbarImageCount = 14;

// Positions 0 to 16 in order.
std::span<const ToolbarEntryTemplate> MainToolbarTemplate();
