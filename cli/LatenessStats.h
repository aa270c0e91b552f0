#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <string>

// How late timers fired against their due time. Memory stays fixed however
// long a trend runs: lateness is counted in 10 µs buckets up to 100 ms, and
// the few later ones only in count, sum and maximum.
class LatenessStats {
public:
    using Duration = std::chrono::steady_clock::duration;

    struct Summary {
        std::uint64_t count = 0;
        double meanMs = 0;
        double p99Ms = 0; // within one bucket (0.01 ms) below 100 ms
        double maxMs = 0;
    };

    void Add(Duration lateness);
    Summary Summarise() const;
    // "timers: 12 fired, late by mean 0.081 ms, p99 0.150 ms, max 0.412 ms"
    static std::string Describe(const Summary& summary);

private:
    static constexpr std::int64_t kBucketMicroseconds = 10;
    static constexpr std::size_t kBucketCount = 10000;

    std::array<std::uint32_t, kBucketCount> m_Buckets{};
    std::uint64_t m_nCount = 0;
    std::uint64_t m_nBeyond = 0; // later than the last bucket
    std::int64_t m_nSumMicroseconds = 0;
    std::int64_t m_nMaxMicroseconds = 0;
};
