#pragma once

#include "tests/hart/AnswerFrames.h"
#include "tests/hart/FakeLink.h"

#include <cstdint>
#include <ranges>
#include <set>
#include <vector>

// A transmitter on the fake line that answers what a recording asks: its
// identity (0), range and unit (15), the primary variable (1) and the loop
// current with the percent of range (2). Each answer to 1 and 2 moves the
// values on by a step, so every sample differs from the one before.
class TrendTransmitter {
public:
    struct Request {
        std::uint64_t time;
        std::uint8_t command;
    };

    void Attach(FakeLink& link, VirtualClock& clock) {
        link.m_OnWrite = [this, &link, &clock](const std::vector<std::uint8_t>& frame,
                                               std::size_t) { Answer(link, clock, frame); };
    }

    std::vector<std::uint8_t> Commands() const {
        const auto commands = m_Requests | std::views::transform(&Request::command);
        return {commands.begin(), commands.end()};
    }
    // When the n-th request of the command (0 = first) was sent, 0 if never.
    std::uint64_t TimeOf(std::uint8_t command, int n) const {
        auto sent = m_Requests | std::views::filter([=](auto& r) { return r.command == command; });
        auto nth = sent | std::views::drop(n);
        return nth.empty() ? 0 : nth.front().time;
    }

    float m_fPv = 21.5f;
    float m_fCurrent = 12.0f;
    float m_fPercent = 50.0f;
    float m_fLower = -50.0f;
    float m_fUpper = 300.0f;
    std::uint8_t m_nUnit = 32;       // degrees Celsius
    std::set<std::uint8_t> m_Silent; // commands left unanswered
    std::vector<Request> m_Requests;

private:
    void Answer(FakeLink& link, VirtualClock& clock, const std::vector<std::uint8_t>& frame) {
        AnswerSpec spec;
        const bool identity = frame[10] == 0x02; // a short frame is command 0
        spec.command = identity ? 0 : frame[16];
        m_Requests.push_back({clock.Now(), spec.command});
        if (identity) {
            spec.longAddress = false;
            spec.shortAddress = frame[11];
            spec.data = {254, 0x26, 4, 5, 5, 1, 1, 1, 0, 1, 2, 3};
        } else if (spec.command == 15) {
            spec.data =
                Join({{0, 0, m_nUnit}, Float(m_fUpper), Float(m_fLower), Float(1.0f), {0, 0}});
        } else if (spec.command == 1) {
            spec.data = Join({{m_nUnit}, Float(m_fPv)});
            m_fPv += 0.25f;
        } else if (spec.command == 2) {
            spec.data = Join({Float(m_fCurrent), Float(m_fPercent)});
            m_fCurrent += 0.25f;
            m_fPercent += 0.25f;
        }
        if (m_Silent.count(spec.command) == 0) {
            link.Receive(MakeAnswer(spec), 100);
        }
    }
};
