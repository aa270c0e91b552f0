#include "sim/FaultInjector.h"

#include <array>
#include <charconv>
#include <utility>

namespace {

constexpr std::array<std::pair<FaultInjector::Kind, std::string_view>, 8> kNames{{
    {FaultInjector::Kind::NoAnswer, "noanswer"},
    {FaultInjector::Kind::Checksum, "checksum"},
    {FaultInjector::Kind::ResponseCode, "rc"},
    {FaultInjector::Kind::ByteCount, "bytecount"},
    {FaultInjector::Kind::Late, "late"},
    {FaultInjector::Kind::Preambles, "preambles"},
    {FaultInjector::Kind::Noise, "noise"},
    {FaultInjector::Kind::Ignore, "ignore"},
}};

void Fail(std::string* error, std::string text) {
    if (error) {
        *error = std::move(text);
    }
}

} // namespace

std::string_view FaultInjector::NameOf(Kind kind) {
    for (const auto& [known, name] : kNames) {
        if (known == kind) {
            return name;
        }
    }
    return "?";
}

std::optional<FaultInjector::Rule> FaultInjector::Parse(std::string_view text, std::string* error) {
    std::optional<std::uint8_t> command;
    if (const auto at = text.rfind(":cmd="); at != std::string_view::npos) {
        const std::string_view number = text.substr(at + 5);
        unsigned value = 256;
        const auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
        if (number.empty() || ec != std::errc() || ptr != number.data() + number.size() ||
            value > 255) {
            Fail(error,
                 "fault command must be a command number 0..255: '" + std::string(number) + "'");
            return std::nullopt;
        }
        command = static_cast<std::uint8_t>(value);
        text = text.substr(0, at);
    }
    std::optional<Rule> rule = ParseRule(text, error);
    if (rule) {
        rule->m_command = command;
    }
    return rule;
}

std::optional<FaultInjector::Rule> FaultInjector::ParseRule(std::string_view text,
                                                            std::string* error) {
    const auto colon = text.find(':');
    const std::string_view name = text.substr(0, colon);
    Rule rule;
    bool known = false;
    for (const auto& [kind, kindName] : kNames) {
        if (kindName == name) {
            rule.m_kind = kind;
            known = true;
        }
    }
    if (!known) {
        Fail(error, "unknown fault kind '" + std::string(name) +
                        "' (noanswer, checksum, rc, bytecount, late, preambles, noise, ignore)");
        return std::nullopt;
    }
    if (colon == std::string_view::npos) {
        return rule;
    }
    const std::string_view setting = text.substr(colon + 1);
    const char* const end = setting.data() + setting.size();
    if (setting.starts_with("rate=")) {
        const char* const first = setting.data() + 5;
        double rate = -1;
        const auto [ptr, ec] = std::from_chars(first, end, rate);
        if (first == end || ec != std::errc() || ptr != end || !(rate >= 0.0 && rate <= 1.0)) {
            Fail(error, "fault rate must be a number from 0 to 1: '" + std::string(setting) + "'");
            return std::nullopt;
        }
        rule.m_rate = rate;
        return rule;
    }
    if (setting.starts_with("next=")) {
        const char* const first = setting.data() + 5;
        std::uint32_t count = 0;
        const auto [ptr, ec] = std::from_chars(first, end, count);
        if (first == end || ec != std::errc() || ptr != end || count == 0) {
            Fail(error, "fault count must be a whole number of at least 1: '" +
                            std::string(setting) + "'");
            return std::nullopt;
        }
        rule.m_next = count;
        return rule;
    }
    Fail(error, "fault setting must be rate=P or next=N: '" + std::string(setting) + "'");
    return std::nullopt;
}

FaultInjector::FaultInjector(std::vector<Rule> rules, std::uint64_t seed)
    : m_rules(std::move(rules)), m_random(seed) {}

FaultInjector::Plan FaultInjector::Next(std::uint8_t command) {
    Plan plan;
    for (Rule& rule : m_rules) {
        if (rule.m_command && *rule.m_command != command) {
            continue;
        }
        bool applies = false;
        if (rule.m_next > 0) {
            --rule.m_next;
            applies = true;
            // Exhausted: it must not fall back to the rate.
            if (rule.m_next == 0) {
                rule.m_rate = 0.0;
            }
        } else if (rule.m_rate > 0.0) {
            const double draw = static_cast<double>(m_random() >> 11) / 9007199254740992.0;
            applies = draw < rule.m_rate;
        }
        if (!applies) {
            continue;
        }
        switch (rule.m_kind) {
        case Kind::NoAnswer:
            plan.m_noAnswer = true;
            break;
        case Kind::Checksum:
            plan.m_badChecksum = true;
            break;
        case Kind::ResponseCode:
            plan.m_badResponseCode = true;
            break;
        case Kind::ByteCount:
            plan.m_wrongByteCount = true;
            break;
        case Kind::Late:
            plan.m_late = true;
            break;
        case Kind::Preambles:
            plan.m_extraPreambles = true;
            break;
        case Kind::Ignore:
            plan.m_ignore = true;
            break;
        case Kind::Noise: {
            const std::size_t count = 3 + m_random() % 4;
            for (std::size_t i = 0; i < count; ++i) {
                plan.m_noise.push_back(static_cast<std::uint8_t>(m_random() % 0xFF));
            }
            break;
        }
        }
    }
    return plan;
}

std::string FaultInjector::Plan::Describe() const {
    std::string text;
    const auto add = [&text](bool on, Kind kind) {
        if (on) {
            text += text.empty() ? "" : ",";
            text += NameOf(kind);
        }
    };
    add(m_noAnswer, Kind::NoAnswer);
    add(m_badChecksum, Kind::Checksum);
    add(m_badResponseCode, Kind::ResponseCode);
    add(m_wrongByteCount, Kind::ByteCount);
    add(m_late, Kind::Late);
    add(m_extraPreambles, Kind::Preambles);
    add(!m_noise.empty(), Kind::Noise);
    add(m_ignore, Kind::Ignore);
    return text;
}
