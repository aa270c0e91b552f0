#include "resources/DialogTemplate.h"

#include <array>

// The seven dialogs of the tool. Controls are listed in tab order, as the
// pages expect to meet them; rectangles are x, y, width, height in dialog units.

namespace {

using enum ControlKind;

constexpr int kNoId = -1; // a control nobody addresses (IDC_STATIC)

// 100: About box.
constexpr std::array kAboutControls{
    ControlTemplate{1028, "IDC_STA_VERSION", Static, "V1.01", 40, 10, 150, 8, kNoPrefix},
    ControlTemplate{1102, "IDC_STA_COMPANY", Static, "", 40, 25, 119, 8},
    ControlTemplate{1, "IDOK", DefPushButton, "OK", 196, 7, 32, 14},
    // The application icon at the system icon size.
    ControlTemplate{kNoId, "", Icon, "", 7, 16, 0, 0},
};

// 102: main window. The value panel above the five pages, the progress bar
// below them; the window's height leaves room for the status bar.
constexpr std::array kMainControls{
    ControlTemplate{1000, "IDC_TAB_MAIN", TabControl, "", 10, 91, 358, 225},
    ControlTemplate{1001, "IDC_PROGRESS", ProgressBar, "", 10, 321, 358, 12},
    // The logo takes the size of its picture.
    ControlTemplate{1002, "IDC_STA_LOGO", Bitmap, "", 225, 40, 0, 0},
    ControlTemplate{1003, "IDC_STA_INF1", GroupBox, "Current Value", 10, 26, 358, 60},
    ControlTemplate{1004, "IDC_STA_PV", ColorLabel, "0.0  °C", 21, 43, 142, 20},
    ControlTemplate{1005, "IDC_CMD_GETVARIN", PushButton, "Get", 169, 46, 41, 14},
    ControlTemplate{1006, "IDC_STA_CURRENT", ColorLabel, "0.0", 21, 67, 57, 11},
    ControlTemplate{1007, "IDC_STA_PERCENT", ColorLabel, "0.0", 106, 67, 57, 11},
    ControlTemplate{kNoId, "", Static, "mA", 83, 70, 0, 0},
    ControlTemplate{kNoId, "", Static, "%", 167, 68, 0, 0},
};

// 130: output trim and fixed current page.
constexpr std::array kOutputControls{
    ControlTemplate{1011, "IDC_StaCap1", GroupBox, "D/A Trim", 38, 8, 271, 76},
    ControlTemplate{1102, "IDC_STA1", Static, "1st Current", 56, 28, 93, 8, kRightAlign},
    ControlTemplate{1001, "IDC_txtTrimZero", Edit, "", 156, 25, 59, 12},
    ControlTemplate{1004, "IDC_cmdTest1", PushButton, "Test", 236, 23, 44, 14},
    ControlTemplate{1103, "IDC_STA2", Static, "2st Current", 56, 48, 93, 8, kRightAlign},
    ControlTemplate{1046, "IDC_txtTrimGain", Edit, "", 156, 45, 59, 12},
    ControlTemplate{1005, "IDC_cmdTest2", PushButton, "Test", 236, 43, 44, 14},
    ControlTemplate{1047, "IDC_cmdTrim", PushButton, "Update", 167, 63, 44, 14},
    ControlTemplate{1023, "IDC_StaCap2", GroupBox, "Fix Loop Current", 38, 96, 271, 101},
    ControlTemplate{1012, "IDC_RADIO1", RadioButton, "3.8 mA", 61, 117, 43, 12, kFirstInGroup},
    ControlTemplate{1013, "IDC_RADIO2", RadioButton, "4.0 mA", 125, 117, 43, 12},
    ControlTemplate{1014, "IDC_RADIO3", RadioButton, "8.0 mA", 178, 117, 43, 12},
    ControlTemplate{1015, "IDC_RADIO4", RadioButton, "12.0 mA", 234, 117, 43, 12},
    ControlTemplate{1016, "IDC_RADIO5", RadioButton, "16.0 mA", 61, 132, 43, 12},
    ControlTemplate{1017, "IDC_RADIO6", RadioButton, "20.0 mA", 125, 132, 43, 12},
    ControlTemplate{1018, "IDC_RADIO7", RadioButton, "20.5 mA", 178, 132, 43, 12},
    ControlTemplate{1019, "IDC_RADIO8", RadioButton, "Other Current", 125, 149, 130, 12},
    ControlTemplate{1020, "IDC_txtOtherCurrent", Edit, "", 61, 148, 40, 12, kDisabled},
    ControlTemplate{kNoId, "", Static, "mA", 107, 151, 11, 8},
    ControlTemplate{1021, "IDC_cmdSendFixI", PushButton, "Send", 61, 171, 44, 14},
    ControlTemplate{1022, "IDC_cmdExitI", PushButton, "Exit Fix Current", 161, 171, 90, 14},
};

// 131: sensor setup page.
constexpr std::array<std::string_view, 3> kWireItems{"2 Wire", "3 Wire", "4 Wire"};
constexpr std::array<std::string_view, 2> kOutputSensorItems{"传感器 1", "传感器 2"};
constexpr std::array<std::string_view, 3> kUnitItems{"℃", "K", "F"};
constexpr std::array<std::string_view, 2> kAlarmItems{">=22mA", "<=3.6mA"};

constexpr std::array kSensorControls{
    ControlTemplate{1102, "IDC_STA1", GroupBox, "Work Mode", 37, 9, 268, 51},
    ControlTemplate{1140, "IDC_RAO_SINGLESENSE", RadioButton, "Single sensor", 61, 23, 58, 8,
                    kFirstInGroup},
    ControlTemplate{1141, "IDC_RAO_DOUBLESENSE", RadioButton, "double sensor", 124, 23, 63, 10},
    ControlTemplate{1142, "IDC_RAO_MODE1", RadioButton, "Backup", 61, 41, 41, 8, kFirstInGroup},
    ControlTemplate{1143, "IDC_RAO_MODE2", RadioButton, "Average", 125, 41, 43, 10},
    ControlTemplate{1144, "IDC_RAO_MODE3", RadioButton, "Difference", 179, 41, 49, 10},
    ControlTemplate{1145, "IDC_RAO_MODE4", RadioButton, "independent", 237, 41, 56, 10},
    ControlTemplate{1103, "IDC_STA2", GroupBox, "Sensor Setup", 37, 66, 268, 60},
    // Each sensor's hidden pair is a group of its own: the page checks "I" of both.
    ControlTemplate{1152, "IDC_RAO_SEN1PV", RadioButton, "PV", 114, 70, 19, 8,
                    kFirstInGroup | kHidden},
    ControlTemplate{1153, "IDC_RAO_SEN1I", RadioButton, "I", 135, 70, 14, 8, kHidden},
    ControlTemplate{1154, "IDC_RAO_SEN2PV", RadioButton, "PV", 256, 71, 19, 8,
                    kFirstInGroup | kHidden},
    ControlTemplate{1155, "IDC_RAO_SEN2I", RadioButton, "I", 277, 71, 14, 8, kHidden},
    ControlTemplate{1106, "IDC_STA4", Static, "Sensor1", 41, 83, 32, 8, kRightAlign},
    ControlTemplate{1165, "IDC_cboSen1Type", ComboDropDown, "", 76, 80, 82, 153, kVScroll},
    ControlTemplate{1108, "IDC_STA6", Static, "Wire", 39, 97, 32, 8, kRightAlign},
    ControlTemplate{1167, "IDC_cboSen1Wire", ComboDropDown, "", 76, 95, 82, 54, kSort, kWireItems},
    ControlTemplate{1109, "IDC_STA7", Static, "Offset", 45, 112, 26, 8, kRightAlign},
    ControlTemplate{1002, "IDC_txtSen1Offset", Edit, "", 76, 110, 82, 12},
    ControlTemplate{1156, "IDC_STA_SEN1UNIT", ColorLabel, "uA", 161, 112, 13, 8},
    ControlTemplate{1107, "IDC_STA5", Static, "Sensor2", 170, 83, 33, 8, kRightAlign},
    ControlTemplate{1186, "IDC_cboSen2Type", ComboDropDown, "", 207, 82, 82, 153, kVScroll},
    ControlTemplate{1110, "IDC_STA8", Static, "Wire", 173, 97, 32, 8, kRightAlign},
    ControlTemplate{1188, "IDC_cboSen2Wire", ComboDropDown, "", 207, 95, 82, 54, kSort, kWireItems},
    ControlTemplate{1111, "IDC_STA10", Static, "Offset", 177, 112, 27, 8, kRightAlign},
    ControlTemplate{1003, "IDC_txtSen2Offset", Edit, "", 207, 110, 82, 12},
    ControlTemplate{1157, "IDC_STA_SEN2UNIT", ColorLabel, "uA", 290, 112, 13, 8},
    ControlTemplate{1105, "IDC_STA3", GroupBox, "Output Setup", 36, 130, 268, 74},
    ControlTemplate{1112, "IDC_STA11", Static, "Sensor", 60, 149, 28, 8, kRightAlign},
    ControlTemplate{1032, "IDC_cboOutSensor", ComboDropDown, "", 91, 147, 44, 56, kSort,
                    kOutputSensorItems},
    ControlTemplate{1113, "IDC_STA12", Static, "Zero", 161, 149, 20, 8, kRightAlign},
    ControlTemplate{1001, "IDC_txtZero", Edit, "", 184, 147, 44, 12},
    ControlTemplate{1029, "IDC_STA13", Static, "Span", 232, 149, 19, 8, kRightAlign},
    ControlTemplate{1031, "IDC_txtSpan", Edit, "", 255, 147, 44, 12},
    ControlTemplate{1114, "IDC_STA15", Static, "Display Mode", 38, 166, 50, 8, kRightAlign},
    ControlTemplate{1223, "IDC_cboDisplayMode", ComboDropDown, "", 91, 164, 44, 76},
    ControlTemplate{1115, "IDC_STA16", Static, "Decimal", 145, 166, 36, 8, kRightAlign},
    ControlTemplate{1024, "IDC_cboDecimals", ComboDropDown, "", 184, 164, 44, 76},
    ControlTemplate{1033, "IDC_STA14", Static, "Unit", 233, 166, 18, 8, kRightAlign},
    ControlTemplate{1030, "IDC_cboUnit", ComboDropDown, "", 255, 164, 44, 56, kNone, kUnitItems},
    ControlTemplate{1104, "IDC_STA9", Static, "Damp Time", 50, 183, 38, 8, kRightAlign},
    ControlTemplate{1161, "IDC_txtDamp", Edit, "", 91, 181, 44, 12},
    ControlTemplate{kNoId, "", Static, "Sec", 138, 183, 14, 8},
    ControlTemplate{1116, "IDC_STA17", Static, "Alarm", 158, 183, 23, 8, kRightAlign},
    ControlTemplate{1027, "IDC_cboAlarm", ComboDropDown, "", 184, 181, 44, 76, kNone, kAlarmItems},
    ControlTemplate{1049, "IDC_cmdRead2", PushButton, "Read", 310, 145, 33, 15},
    ControlTemplate{1168, "IDC_cmdWrite2", PushButton, "Update", 310, 173, 33, 15},
    ControlTemplate{1026, "IDC_BUTTON1", PushButton, "Button1", 12, 226, 36, 15, kHidden},
};

// 133: trend page. The page lays out the charts, the gauge and the list
// itself from its client size; these rectangles only hold them until then.
constexpr std::array kTrendControls{
    ControlTemplate{1074, "IDC_CHART_PV", Custom, "", 1, 1, 171, 96},
    ControlTemplate{1075, "IDC_CHART_CURRENT", Custom, "", 174, 1, 171, 96},
    ControlTemplate{1076, "IDC_CHART_PERCENT", Custom, "", 1, 99, 171, 96},
    ControlTemplate{1077, "IDC_GAUGE", Custom, "", 212, 99, 96, 96},
    ControlTemplate{1078, "IDC_RAO_GAUGEPV", RadioButton, "PV", 312, 150, 32, 10, kFirstInGroup},
    ControlTemplate{1079, "IDC_RAO_GAUGEI", RadioButton, "mA", 312, 165, 32, 10},
    ControlTemplate{1080, "IDC_RAO_GAUGEPERCENT", RadioButton, "%", 312, 180, 32, 10},
    ControlTemplate{1081, "IDC_LIST_SAMPLES", ListView, "", 0, 0, 80, 196},
};

// 135: information page.
constexpr std::array kInfoControls{
    ControlTemplate{1011, "IDC_StaCap1", GroupBox, "Information", 25, 8, 304, 113},
    ControlTemplate{1102, "IDC_STA1", Static, "Date", 46, 33, 72, 8, kRightAlign},
    ControlTemplate{1101, "IDC_DATE", DateTimePicker, "", 123, 31, 78, 13},
    ControlTemplate{1103, "IDC_STA2", Static, "Tag", 46, 50, 72, 8, kRightAlign},
    ControlTemplate{1032, "IDC_txtTag", Edit, "", 123, 48, 158, 12},
    ControlTemplate{1105, "IDC_STA3", Static, "Descriptor", 46, 66, 72, 8, kRightAlign},
    ControlTemplate{1033, "IDC_txtDescriptor", Edit, "", 123, 64, 158, 12},
    ControlTemplate{1106, "IDC_STA4", Static, "Message", 46, 82, 72, 8, kRightAlign},
    ControlTemplate{1034, "IDC_txtMessage", Edit, "", 123, 80, 158, 12},
    ControlTemplate{1048, "IDC_cmdReadInfo", PushButton, "Read", 123, 100, 44, 14},
    ControlTemplate{1163, "IDC_cmdWriteInfo", PushButton, "Update", 237, 101, 44, 14},
    ControlTemplate{1023, "IDC_StaCap2", GroupBox, "Short Address", 25, 127, 144, 77},
    ControlTemplate{1107, "IDC_STA5", Static, "Short Address", 36, 146, 72, 8, kRightAlign},
    ControlTemplate{1025, "IDC_cboShortAddress", ComboDropDown, "", 117, 143, 41, 76},
    ControlTemplate{1108, "IDC_STA6", Static, "Modify Address", 36, 164, 72, 8, kRightAlign},
    ControlTemplate{1038, "IDC_txtNewAddress", Edit, "", 117, 162, 41, 12},
    ControlTemplate{1040, "IDC_cmdWriteAddress", PushButton, "Update", 117, 182, 44, 14},
    ControlTemplate{1024, "IDC_StaCap3", GroupBox, "Long Address", 185, 127, 144, 77},
    ControlTemplate{1039, "IDC_txtLongAddress", Edit, "", 200, 154, 114, 14, kCenter},
    ControlTemplate{1049, "IDC_cmdReadLong", PushButton, "Read", 200, 182, 44, 14},
    ControlTemplate{1168, "IDC_cmdWriteLong", PushButton, "Update", 270, 182, 44, 14},
};

// 136: calibration page.
constexpr std::array kCalibrationControls{
    ControlTemplate{1025, "IDC_CALI4MA", PushButton, "Calibration to 4mA", 38, 83, 111, 27},
    ControlTemplate{1027, "IDC_CALI20MA", PushButton, "Calibration to 20mA", 193, 83, 111, 27},
};

constexpr std::array kDialogs{
    DialogTemplate{100, "IDD_ABOUTBOX", "About", 235, 55, kAboutControls},
    DialogTemplate{102, "IDD_MAIN_DIALOG", "", 378, 345, kMainControls},
    DialogTemplate{130, "IDD_PAGE_OUTPUT", "", 340, 209, kOutputControls},
    DialogTemplate{131, "IDD_PAGE_SENSOR", "", 347, 243, kSensorControls},
    DialogTemplate{133, "IDD_PAGE_TREND", "", 346, 196, kTrendControls},
    DialogTemplate{135, "IDD_PAGE_INFO", "", 341, 217, kInfoControls},
    DialogTemplate{136, "IDD_PAGE_CALIBRATION", "", 311, 188, kCalibrationControls},
};

} // namespace

const DialogTemplate* FindDialogTemplate(int id) {
    for (const DialogTemplate& dialog : kDialogs) {
        if (dialog.id == id) {
            return &dialog;
        }
    }
    return nullptr;
}
