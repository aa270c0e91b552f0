#include "sim/TrafficLog.h"

#include <array>
#include <cstdio>

void TrafficLog::Stamp(double seconds) {
    std::array<char, 32> stamp{};
    std::snprintf(stamp.data(), stamp.size(), "%10.3f ", seconds);
    *m_out << stamp.data();
}

void TrafficLog::Frame(double seconds, std::string_view direction,
                       std::span<const std::uint8_t> bytes, std::string_view note) {
    if (!m_out) {
        return;
    }
    static constexpr char kDigits[] = "0123456789ABCDEF";
    Stamp(seconds);
    *m_out << direction;
    for (const std::uint8_t byte : bytes) {
        *m_out << ' ' << kDigits[byte >> 4] << kDigits[byte & 0x0F];
    }
    if (!note.empty()) {
        *m_out << "  (" << note << ')';
    }
    *m_out << std::endl;
}

void TrafficLog::Note(double seconds, std::string_view text) {
    if (!m_out) {
        return;
    }
    Stamp(seconds);
    *m_out << "-- " << text << std::endl;
}
