#include "hart/CommandTiming.h"

#include <array>
#include <utility>

namespace {

struct Times {
    unsigned transmit = 0;
    unsigned answer = 0;
};

using Table = std::array<Times, 256>;

constexpr Table BuildTable() {
    Table t{};
    auto set = [&t](std::initializer_list<int> commands, unsigned transmit, unsigned answer) {
        for (int command : commands) {
            t[static_cast<std::size_t>(command)] = {transmit, answer};
        }
    };
    set({0}, 150, 478);
    set({1}, 190, 414);
    set({2}, 190, 441);
    set({3}, 200, 480);
    set({6}, 199, 377);
    set({12}, 190, 588);
    set({13}, 190, 560);
    set({14}, 190, 600);
    set({15}, 190, 524);
    set({16, 147}, 190, 395);
    set({17}, 410, 588);
    set({18}, 382, 560);
    set({19}, 217, 542);
    set({34, 40, 45, 46}, 226, 405);
    set({35}, 272, 450);
    set({36, 37, 137, 182, 188, 190}, 250, 500);
    set({42}, 180, 368);
    set({138}, 300, 500);
    set({140, 145}, 200, 600);
    set({141}, 250, 750);
    set({142, 161, 162}, 200, 500);
    set({143}, 200, 650);
    set({144, 185}, 250, 600);
    set({146}, 190, 478);
    set({148}, 200, 450);
    set({150}, 200, 550);
    set({152}, 300, 650);
    set({153}, 250, 650);
    set({160}, 190, 500);
    set({163, 164}, 250, 700);
    set({180}, 270, 500);
    set({181}, 210, 500);
    set({183, 184}, 360, 650);
    set({186}, 290, 423);
    set({187}, 207, 395);
    set({192}, 550, 650);
    set({194}, 250, 350);
    // Commands that no request builder serves still have their entries.
    set({43}, 190, 368);
    set({47}, 189, 377);
    set({139}, 300, 500);
    set({154}, 210, 650);
    set({189}, 350, 500);
    t[149].transmit = 220;
    t[169].answer = 500;
    return t;
}

constexpr Table kTimes = BuildTable();

} // namespace

unsigned CommandTiming::TransmitTime(std::uint8_t command) {
    return kTimes[command].transmit;
}

unsigned CommandTiming::AnswerTime(std::uint8_t command) {
    return kTimes[command].answer;
}
