#include "cli/LatenessStats.h"

#include "platform/Formatting.h"

#include <algorithm>

void LatenessStats::Add(Duration lateness) {
    const std::int64_t us = std::max<std::int64_t>(
        0, std::chrono::duration_cast<std::chrono::microseconds>(lateness).count());
    const auto bucket = static_cast<std::uint64_t>(us / kBucketMicroseconds);
    if (bucket < kBucketCount) {
        ++m_Buckets[bucket];
    } else {
        ++m_nBeyond;
    }
    ++m_nCount;
    m_nSumMicroseconds += us;
    m_nMaxMicroseconds = std::max(m_nMaxMicroseconds, us);
}

LatenessStats::Summary LatenessStats::Summarise() const {
    Summary summary;
    summary.count = m_nCount;
    if (m_nCount == 0) {
        return summary;
    }
    summary.meanMs =
        static_cast<double>(m_nSumMicroseconds) / 1000.0 / static_cast<double>(m_nCount);
    summary.maxMs = static_cast<double>(m_nMaxMicroseconds) / 1000.0;
    // Nearest rank: the smallest lateness that at least 99 % of the timers kept.
    const std::uint64_t rank = (m_nCount * 99 + 99) / 100;
    std::uint64_t seen = 0;
    summary.p99Ms = summary.maxMs;
    for (std::size_t i = 0; i < kBucketCount; ++i) {
        seen += m_Buckets[i];
        if (seen >= rank) {
            const double upper =
                static_cast<double>((static_cast<std::int64_t>(i) + 1) * kBucketMicroseconds) /
                1000.0;
            summary.p99Ms = std::min(upper, summary.maxMs);
            break;
        }
    }
    return summary;
}

std::string LatenessStats::Describe(const Summary& summary) {
    return "timers: " + std::to_string(summary.count) + " fired, late by mean " +
           FormatFixed(summary.meanMs, 3) + " ms, p99 " + FormatFixed(summary.p99Ms, 3) +
           " ms, max " + FormatFixed(summary.maxMs, 3) + " ms";
}
