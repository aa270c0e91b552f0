#pragma once

#include <cstdint>
#include <ostream>
#include <span>
#include <string_view>

// One line per frame on the line, with the seconds since start:
// "   12.345 rx 82 BE 04 ... (note)". Silent without a stream.
class TrafficLog {
public:
    explicit TrafficLog(std::ostream* out = nullptr) : m_out(out) {}

    bool Enabled() const { return m_out != nullptr; }
    void Frame(double seconds, std::string_view direction, std::span<const std::uint8_t> bytes,
               std::string_view note = {});
    void Note(double seconds, std::string_view text);

private:
    void Stamp(double seconds);

    std::ostream* m_out;
};
