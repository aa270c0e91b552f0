#pragma once

#include "trend/TrendSample.h"

#include <cstddef>
#include <deque>

// A recorded curve, oldest sample first. The samples live in fixed-size
// blocks, so appending never moves what is stored, loading a file can insert
// at the head, and a chart reaches any sample by index without walking the
// list: 16 bytes per sample plus a pointer per block.
class SampleList {
public:
    using const_iterator = std::deque<TrendSample>::const_iterator;

    void Append(const TrendSample& sample) { m_Samples.push_back(sample); }
    void InsertAtHead(const TrendSample& sample) { m_Samples.push_front(sample); }
    // Empties the list and gives its memory back.
    void RemoveAll() { std::deque<TrendSample>().swap(m_Samples); }

    std::size_t Count() const { return m_Samples.size(); }
    bool Empty() const { return m_Samples.empty(); }
    // 0 is the oldest sample; index must be below Count().
    const TrendSample& At(std::size_t index) const { return m_Samples[index]; }
    // The most recent sample; the list must not be empty.
    const TrendSample& Newest() const { return m_Samples.back(); }

    const_iterator begin() const { return m_Samples.begin(); }
    const_iterator end() const { return m_Samples.end(); }

    bool operator==(const SampleList&) const = default;

private:
    std::deque<TrendSample> m_Samples;
};
