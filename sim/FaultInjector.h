#pragma once

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

// Spoils answers on purpose so the master's retry and rejection paths can be
// exercised. Each fault applies either with a probability per request or to
// a number of coming requests.
class FaultInjector {
public:
    enum class Kind {
        NoAnswer,
        Checksum,
        ResponseCode,
        ByteCount,
        Late,
        Preambles,
        Noise,
        Ignore, // answers as if it carried the request out, but keeps nothing
    };

    struct Rule {
        Kind m_kind = Kind::NoAnswer;
        // Probability per request when m_next is zero.
        double m_rate = 1.0;
        // Number of coming requests it spoils; 0 = by probability.
        std::uint32_t m_next = 0;
        // Only requests of this command count (rate and next alike).
        std::optional<std::uint8_t> m_command;
    };

    // The faults that apply to one answer.
    struct Plan {
        bool m_noAnswer = false;
        bool m_badChecksum = false;
        bool m_badResponseCode = false;
        bool m_wrongByteCount = false;
        bool m_late = false;
        bool m_extraPreambles = false;
        std::vector<std::uint8_t> m_noise; // bytes sent before the preambles
        bool m_ignore = false;

        std::string Describe() const;
    };

    // Parses "KIND", "KIND:rate=P" or "KIND:next=N", each optionally followed
    // by ":cmd=C" to spoil only requests of command C; nullopt and a reason
    // on error.
    static std::optional<Rule> Parse(std::string_view text, std::string* error);
    static std::string_view NameOf(Kind kind);

    explicit FaultInjector(std::vector<Rule> rules = {}, std::uint64_t seed = 1);

    // Decides the faults for the next request that gets an answer.
    Plan Next(std::uint8_t command);

private:
    // A rule without its command.
    static std::optional<Rule> ParseRule(std::string_view text, std::string* error);

    std::vector<Rule> m_rules;
    std::mt19937_64 m_random;
};
