#pragma once

#include <cstdint>
#include <span>
#include <string_view>

// Dialogs as data: every control with its numeric id, identifier name (the key
// of the language files and the Qt object name), kind, template caption and
// rectangle in dialog units. One builder turns a template into Qt widgets.

enum class ControlKind {
    Static,   // text label
    GroupBox, // frame with a caption
    PushButton,
    DefPushButton, // the dialog's default button
    RadioButton,   // style kFirstInGroup starts a new group of exclusive buttons
    CheckBox,
    Edit,
    ComboDropList, // drop-down list without an edit field
    ComboDropDown, // drop-down with an edit field
    ListBox,
    ListView, // report-style list with column headers
    DateTimePicker,
    TabControl,
    ProgressBar,
    Bitmap,     // static that shows a picture
    Icon,       // static that shows the application icon
    ColorLabel, // self-drawn coloured value label
    Custom,     // self-drawn control placed by its page (chart, gauge)
};

// Style bits of a control that matter to the builder.
enum ControlStyle : std::uint32_t {
    kNone = 0,
    kFirstInGroup = 1u << 0, // first control of a group (radio buttons)
    kReadOnly = 1u << 1,     // edit: read-only
    kNumber = 1u << 2,       // edit: digits only
    kHidden = 1u << 3,       // starts hidden
    kDisabled = 1u << 4,     // starts disabled
    kNoPrefix = 1u << 5,     // static: '&' is shown, not a mnemonic
    kRightAlign = 1u << 6,   // static or edit: text right-aligned
    kCenter = 1u << 7,       // static or edit: text centred
    kVScroll = 1u << 8,      // combo or list: vertical scroll bar
    kSunken = 1u << 9,       // static: sunken frame
    kSort = 1u << 10,        // combo or list: items kept in alphabetical order
};

struct ControlTemplate {
    int id;                // numeric id; -1 (IDC_STATIC) when the control has none
    std::string_view name; // identifier name, e.g. "IDC_CMD_GETVARIN"; "" when none
    ControlKind kind;
    std::string_view caption; // template text
    int x, y, cx, cy;         // dialog units; cx and cy 0: the control's natural size
                              // (combo: cy is the height with the list dropped down)
    std::uint32_t style = kNone;
    std::span<const std::string_view> items = {}; // initial entries of a combo or list
};

struct DialogTemplate {
    int id;                // 100, 102, 130, 131, 133, 135, 136
    std::string_view name; // e.g. "IDD_ABOUTBOX"
    std::string_view caption;
    int cx, cy; // size in dialog units
    std::span<const ControlTemplate> controls;
};

// The template with that id; nullptr when there is none.
const DialogTemplate* FindDialogTemplate(int id);
