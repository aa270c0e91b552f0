#include "hart/CommandTable.h"

#include <array>

namespace {

constexpr int kAny = CommandInfo::kAnyLength;
constexpr int kNever = CommandInfo::kNeverAccepted;

// number, name, sendable, request bytes, answer bytes, transmit ms, answer ms
constexpr CommandInfo kRows[] = {
    {0, "read unique identifier", true, 0, kAny, 150, 478},
    {1, "read primary variable", true, 0, 7, 190, 414},
    {2, "read loop current and percent of range", true, 0, 10, 190, 441},
    {3, "read dynamic variables and loop current", true, 0, 21, 200, 480},
    {6, "write polling address", true, 1, 3, 199, 377},
    {12, "read message", true, 0, 26, 190, 588},
    {13, "read tag, descriptor and date", true, 0, 23, 190, 560},
    {14, "read sensor limits", true, 0, 18, 190, 600},
    {15, "read range, unit and damping", true, 0, kAny, 190, 524},
    {16, "read final assembly number", true, 0, 5, 190, 395},
    {17, "write message", true, 24, 26, 410, 588},
    {18, "write tag, descriptor and date", true, 21, 23, 382, 560},
    {19, "write final assembly number", true, 3, 5, 217, 542},
    {34, "write damping", true, 4, 6, 226, 405},
    {35, "write range values", true, 9, 11, 272, 450},
    {36, "set upper range value from the input", true, 0, 2, 250, 500},
    {37, "set lower range value from the input", true, 0, 2, 250, 500},
    {40, "fix loop current", true, 4, 6, 226, 405},
    {42, "device reset", true, 0, 2, 180, 368},
    {43, "set zero", false, 0, kNever, 190, 368},
    {45, "trim loop current at 4 mA", true, 4, 6, 226, 405},
    {46, "trim loop current at 20 mA", true, 4, 6, 226, 405},
    {47, "write transfer function", false, 0, kNever, 189, 377},
    {137, "write device value 137", true, 4, 6, 250, 500},
    {138, "write device bytes 138", true, 6, 8, 300, 500},
    {139, "device command 139", true, 0, kNever, 300, 500},
    {140, "read device value pair 140", true, 0, 10, 200, 600},
    {141, "read device bytes 141", true, 0, 7, 250, 750},
    {142, "read device value 142", true, 0, 6, 200, 500},
    {143, "read device block 143", true, 1, 21, 200, 650},
    {144, "read device values 144", true, 0, 14, 250, 600},
    {145, "read device value 145", true, 0, 6, 200, 600},
    {146, "read sensor setup", true, 0, 14, 190, 478},
    {147, "read display settings", true, 0, 5, 190, 395},
    {148, "read device byte pair 148", true, 0, 4, 200, 450},
    {149, "device command 149", true, 0, kNever, 220, 0},
    {150, "read device value 150", true, 0, 7, 200, 550},
    {152, "read device block 152", true, 3, 36, 300, 650},
    {153, "read device block 153", true, 3, 36, 250, 650},
    {154, "device command 154", false, 0, kNever, 210, 650},
    {160, "write device flag 160", true, 1, 3, 190, 500},
    {161, "read device word pair 161", true, 0, 6, 200, 500},
    {162, "read software version", true, 0, 9, 200, 500},
    {163, "device command 163", true, 0, 2, 250, 700},
    {164, "device command 164", true, 0, 2, 250, 700},
    {169, "device command 169", true, 0, kNever, 0, 500},
    {180, "write device value pair 140", true, 8, 10, 270, 500},
    {181, "write device bytes 141", true, 5, 7, 210, 500},
    {182, "write device value 142", true, 4, 6, 250, 500},
    {183, "write device block 143", true, 19, 21, 360, 650},
    {184, "write one of device values 144", true, 5, 7, 360, 650},
    {185, "write device value 145", true, 4, 6, 250, 600},
    {186, "write sensor setup", true, 12, 14, 290, 423},
    {187, "write display settings", true, 3, 5, 207, 395},
    {188, "write device byte pair 148", true, 2, 4, 250, 500},
    {189, "device command 189", true, 0, kNever, 350, 500},
    {190, "write device value 150", true, 5, 7, 250, 500},
    {192, "write device block 152", true, 35, 37, 550, 650},
    {194, "write device value 137 (194)", true, 4, 6, 250, 350},
};

using Index = std::array<CommandInfo, 256>;

constexpr Index BuildIndex() {
    Index index{};
    for (std::size_t n = 0; n < index.size(); ++n) {
        index[n].number = static_cast<std::uint8_t>(n);
        index[n].name = "unknown command";
    }
    for (const CommandInfo& row : kRows) {
        index[row.number] = row;
    }
    return index;
}

constexpr Index kIndex = BuildIndex();

} // namespace

const CommandInfo& CommandTable::Of(std::uint8_t command) {
    return kIndex[command];
}
