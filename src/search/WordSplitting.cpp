#include "search/WordSplitting.h"

#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace WordSplitting {

SplitRule splitRule(const char* boundaries, bool crLfSplits)
{
    SplitRule rule;
    for (const char* c = boundaries; *c != 0; ++c) {
        rule.kinds[size_t(uchar(*c))] = Boundary;
    }
    for (int c = 0; c < 256; ++c) {
        if (rule.kinds[size_t(c)] == Boundary && (c == 0 || rule.kinds[size_t(c - 1)] != Boundary)) {
            int last = c;
            while (last < 255 && rule.kinds[size_t(last + 1)] == Boundary) {
                ++last;
            }
            rule.ranges.emplace_back(uchar(c), uchar(last - c));
        }
    }
    if (crLfSplits) {
        rule.kinds['\r'] = CarriageReturn;
        rule.crLfSplits = true;
    }
    return rule;
}

namespace {

// The bytes of one block that are boundaries, CRs and LFs, as masks.
struct BlockBits
{
    quint64 boundaries = 0;
    quint64 carriageReturns = 0;
    quint64 lineFeeds = 0;
};

BlockBits bitsByTable(const uchar* block, const SplitRule& rule)
{
    BlockBits bits;
    for (int k = 0; k < 64; ++k) {
        const quint8 kind = rule.kinds[block[k]];
        bits.boundaries |= quint64(kind == Boundary) << k;
        bits.carriageReturns |= quint64(kind == CarriageReturn) << k;
        bits.lineFeeds |= quint64(block[k] == '\n') << k;
    }
    return bits;
}

#if defined(__SSE2__)
// The same sixteen bytes at a time: the boundaries lie in a few ranges of byte values, and each
// range costs a subtraction and two comparisons.
template <typename Ranges>
BlockBits bitsByRanges(const uchar* block, const SplitRule& rule, const Ranges& firstValues,
                       const Ranges& widths)
{
    const size_t rangeCount = rule.ranges.size();
    const __m128i lineFeed = _mm_set1_epi8('\n');
    const __m128i carriageReturn = _mm_set1_epi8('\r');
    BlockBits bits;
    for (int q = 0; q < 4; ++q) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * q));
        __m128i hit = _mm_setzero_si128();
        for (size_t r = 0; r < rangeCount; ++r) {
            const __m128i first = _mm_load_si128(reinterpret_cast<const __m128i*>(firstValues[r].data()));
            const __m128i width = _mm_load_si128(reinterpret_cast<const __m128i*>(widths[r].data()));
            const __m128i offset = _mm_sub_epi8(x, first);
            hit = _mm_or_si128(hit, _mm_cmpeq_epi8(_mm_min_epu8(offset, width), offset));
        }
        const int shift = 16 * q;
        bits.boundaries |= quint64(uint(_mm_movemask_epi8(hit))) << shift;
        bits.lineFeeds |= quint64(uint(_mm_movemask_epi8(_mm_cmpeq_epi8(x, lineFeed)))) << shift;
        if (rule.crLfSplits) {
            bits.carriageReturns |= quint64(uint(_mm_movemask_epi8(_mm_cmpeq_epi8(x, carriageReturn))))
                                    << shift;
        }
    }
    return bits;
}
#endif

int bitCount(quint64 x)
{
#if defined(__POPCNT__) || !defined(__GNUC__)
    return std::popcount(x);
#else
    // Without the instruction the compiler calls a library function for each block.
    x -= (x >> 1) & 0x5555555555555555ull;
    x = (x & 0x3333333333333333ull) + ((x >> 2) & 0x3333333333333333ull);
    x = (x + (x >> 4)) & 0x0f0f0f0f0f0f0f0full;
    return int((x * 0x0101010101010101ull) >> 56);
#endif
}

} // namespace

SeparatorBlocks::SeparatorBlocks(const uchar* bytes, qsizetype size, const SplitRule& rule)
    : m_bytes(bytes), m_size(size), m_rule(rule)
{
    for (size_t r = 0; r < std::min(MaxRanges, rule.ranges.size()); ++r) {
        m_firsts[r].fill(rule.ranges[r].first);
        m_widths[r].fill(rule.ranges[r].second);
    }
}

quint64 SeparatorBlocks::compute(qsizetype base)
{
    const qsizetype left = m_size - base;
    const uchar* block = m_bytes + base;
    std::array<uchar, 64> padded; // zeros after the text, for the last block only
    if (left < 64) {
        padded.fill(0);
        std::memcpy(padded.data(), block, size_t(left));
        block = padded.data();
    }
    const quint64 valid = left < 64 ? (quint64(1) << left) - 1 : ~quint64(0);
#if defined(__SSE2__)
    BlockBits bits = m_rule.ranges.size() <= MaxRanges ? bitsByRanges(block, m_rule, m_firsts, m_widths)
                                                       : bitsByTable(block, m_rule);
#else
    BlockBits bits = bitsByTable(block, m_rule);
#endif
    // A CR is a boundary when an LF follows, which may be the next block's first byte; that LF is
    // then passed over with it.
    const bool lineFeedNext = left > 64 && m_bytes[base + 64] == '\n';
    const bool carriageReturnBefore = base > 0 && m_rule.kinds[m_bytes[base - 1]] == CarriageReturn;
    bits.boundaries |= bits.carriageReturns & ((bits.lineFeeds >> 1) | (quint64(lineFeedNext) << 63));
    const quint64 passedOver = bits.lineFeeds & ((bits.carriageReturns << 1) | quint64(carriageReturnBefore));
    m_boundaries += bitCount(bits.boundaries & valid);
    return bits.boundaries | passedOver | ~valid;
}

} // namespace WordSplitting
