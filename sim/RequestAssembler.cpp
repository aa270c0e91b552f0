#include "sim/RequestAssembler.h"

namespace {

constexpr std::size_t kKeepLimit = 4 * RequestAssembler::kMaxFrame;

bool IsDelimiter(std::uint8_t byte) {
    return byte == 0x02 || byte == 0x82;
}

} // namespace

std::optional<std::size_t> RequestAssembler::NextDelimiter(std::size_t from) const {
    for (std::size_t i = from; i < m_pending.size(); ++i) {
        if (IsDelimiter(m_pending[i])) {
            return i;
        }
    }
    return std::nullopt;
}

RequestAssembler::Candidate RequestAssembler::Examine(std::size_t start, RequestFrame* frame,
                                                      std::size_t* length) const {
    const bool isLong = m_pending[start] == 0x82;
    const std::size_t addressLength = isLong ? 5 : 1;
    const std::size_t countIndex = start + 1 + addressLength + 1;
    if (countIndex >= m_pending.size()) {
        return Candidate::Incomplete;
    }
    const std::size_t total = 1 + addressLength + 2 + m_pending[countIndex] + 1;
    if (start + total > m_pending.size()) {
        return Candidate::Incomplete;
    }
    std::uint8_t sum = 0;
    for (std::size_t i = start; i < start + total; ++i) {
        sum ^= m_pending[i];
    }
    if (sum != 0) {
        return Candidate::BadChecksum;
    }
    frame->m_longAddress = isLong;
    frame->m_address = {};
    for (std::size_t k = 0; k < addressLength; ++k) {
        frame->m_address[k] = m_pending[start + 1 + k];
    }
    frame->m_command = m_pending[countIndex - 1];
    frame->m_data.assign(m_pending.begin() + static_cast<std::ptrdiff_t>(countIndex + 1),
                         m_pending.begin() + static_cast<std::ptrdiff_t>(start + total - 1));
    *length = total;
    return Candidate::Valid;
}

RequestAssembler::Result RequestAssembler::Feed(std::span<const std::uint8_t> bytes) {
    Result result;
    m_pending.insert(m_pending.end(), bytes.begin(), bytes.end());

    std::size_t scan = 0;
    while (true) {
        const auto start = NextDelimiter(scan);
        if (!start) {
            m_pending.clear();
            break;
        }
        RequestFrame frame;
        std::size_t length = 0;
        const Candidate verdict = Examine(*start, &frame, &length);
        if (verdict == Candidate::Valid) {
            result.m_frames.push_back(std::move(frame));
            m_pending.erase(m_pending.begin(),
                            m_pending.begin() + static_cast<std::ptrdiff_t>(*start + length));
            scan = 0;
            continue;
        }
        if (verdict == Candidate::BadChecksum) {
            ++result.m_badChecksums;
            scan = *start + 1;
            continue;
        }
        // The earliest delimiter still waits for bytes. If it was noise, a
        // complete frame behind it (after a preamble) must not wait with it.
        bool foundLater = false;
        for (auto later = NextDelimiter(*start + 1); later; later = NextDelimiter(*later + 1)) {
            if (m_pending[*later - 1] != 0xFF) {
                continue;
            }
            if (Examine(*later, &frame, &length) == Candidate::Valid) {
                result.m_frames.push_back(std::move(frame));
                m_pending.erase(m_pending.begin(),
                                m_pending.begin() + static_cast<std::ptrdiff_t>(*later + length));
                foundLater = true;
                break;
            }
        }
        if (foundLater) {
            scan = 0;
            continue;
        }
        m_pending.erase(m_pending.begin(), m_pending.begin() + static_cast<std::ptrdiff_t>(*start));
        break;
    }
    if (m_pending.size() > kKeepLimit) {
        m_pending.erase(m_pending.begin(),
                        m_pending.end() - static_cast<std::ptrdiff_t>(kMaxFrame));
    }
    return result;
}
