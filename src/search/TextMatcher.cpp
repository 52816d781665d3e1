#include "search/TextMatcher.h"

#include <algorithm>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

bool TextMatcher::Variants::contains(char16_t c) const
{
    for (int k = 0; k < count; ++k) {
        if (chars[size_t(k)] == c) {
            return true;
        }
    }
    return false;
}

TextMatcher::TextMatcher(const QString& term, Qt::CaseSensitivity cs) : m_term(term), m_cs(cs)
{
    if (m_term.isEmpty()) {
        return;
    }
    const char16_t first = m_term.front().unicode();
    const char16_t last = m_term.back().unicode();
    if (m_cs == Qt::CaseSensitive) {
        m_first.chars[0] = first;
        m_first.count = 1;
        m_last.chars[0] = last;
        m_last.count = 1;
        m_firsts.fill(first);
        m_lasts.fill(last);
        return;
    }
    // Surrogate pairs fold as whole code points; leave such terms to Qt.
    for (const QChar c : m_term) {
        if (c.isSurrogate()) {
            m_useQt = true;
        }
    }
    if (m_useQt || !fitsVariants(first, m_first) || !fitsVariants(last, m_last)) {
        m_useQt = true;
        return;
    }
    m_variants = std::max(m_first.count, m_last.count);
    for (int k = 0; k < 4; ++k) {
        m_firsts[size_t(k)] = m_first.chars[size_t(k < m_first.count ? k : 0)];
        m_lasts[size_t(k)] = m_last.chars[size_t(k < m_last.count ? k : 0)];
    }
}

bool TextMatcher::fitsVariants(char16_t c, Variants& variants) const
{
    // The case folding of every BMP character, worked out once.
    static const std::vector<char16_t> folding = [] {
        std::vector<char16_t> table(0x10000);
        for (char32_t u = 0; u <= 0xFFFF; ++u) {
            table[u] = QChar::isSurrogate(u) ? char16_t(u) : char16_t(QChar::toCaseFolded(u));
        }
        return table;
    }();
    const char16_t folded = folding[c];
    for (char32_t u = 0; u <= 0xFFFF; ++u) {
        if (folding[u] != folded || QChar::isSurrogate(u)) {
            continue;
        }
        if (variants.count == int(variants.chars.size())) {
            return false;
        }
        variants.chars[size_t(variants.count++)] = char16_t(u);
    }
    return true;
}

bool TextMatcher::matchesAt(const char16_t* at) const
{
    const qsizetype m = m_term.size();
    if (m_cs == Qt::CaseSensitive) {
        return std::memcmp(at, m_term.utf16(), size_t(m) * sizeof(char16_t)) == 0;
    }
    return QStringView(at, m).compare(m_term, Qt::CaseInsensitive) == 0;
}

namespace {

// Candidate positions, eight at a time: the first character at i and the last at i + m - 1,
// each equal to one of its N variants. Returns the first position where check() accepts, else -1, and
// leaves in next the first position not yet looked at.
#if defined(__SSE2__)
template <int N, typename Check>
qsizetype scanSse2(const char16_t* h, qsizetype lastStart, qsizetype m, const char16_t* firsts,
                   const char16_t* lasts, Check check, qsizetype& next)
{
    __m128i first[N];
    __m128i last[N];
    for (int k = 0; k < N; ++k) {
        first[k] = _mm_set1_epi16(short(firsts[k]));
        last[k] = _mm_set1_epi16(short(lasts[k]));
    }
    qsizetype i = 0;
    for (; i + 8 <= lastStart + 1; i += 8) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(h + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(h + i + m - 1));
        __m128i eqA = _mm_cmpeq_epi16(a, first[0]);
        __m128i eqB = _mm_cmpeq_epi16(b, last[0]);
        for (int k = 1; k < N; ++k) {
            eqA = _mm_or_si128(eqA, _mm_cmpeq_epi16(a, first[k]));
            eqB = _mm_or_si128(eqB, _mm_cmpeq_epi16(b, last[k]));
        }
        unsigned mask = unsigned(_mm_movemask_epi8(_mm_and_si128(eqA, eqB)));
        while (mask != 0) {
            const int bit = __builtin_ctz(mask);
            if (check(i + bit / 2)) {
                return i + bit / 2;
            }
            mask &= ~(3u << bit);
        }
    }
    next = i;
    return -1;
}
#endif


template <int N, typename Check>
qsizetype scan(const char16_t* h, qsizetype lastStart, qsizetype m, const char16_t* firsts,
               const char16_t* lasts, Check check, qsizetype& next)
{
    next = 0;
#if defined(__SSE2__)
    return scanSse2<N>(h, lastStart, m, firsts, lasts, check, next);
#else
    return -1;
#endif
}

} // namespace

qsizetype TextMatcher::scanShort(const char16_t* h, qsizetype from, qsizetype lastStart) const
{
    const qsizetype m = m_term.size();
    for (qsizetype i = from; i <= lastStart; ++i) {
        if (m_first.contains(h[i]) && m_last.contains(h[i + m - 1]) && matchesAt(h + i)) {
            return i;
        }
    }
    return -1;
}

qsizetype TextMatcher::indexIn(QStringView text) const
{
    const qsizetype m = m_term.size();
    if (m == 0) {
        return 0;
    }
    if (m_useQt) {
        return text.indexOf(m_term, 0, m_cs);
    }
    const qsizetype n = text.size();
    if (n < m) {
        return -1;
    }
    const char16_t* h = text.utf16();
    const qsizetype lastStart = n - m;
    if (lastStart < 16) {
        return scanShort(h, 0, lastStart);
    }
    auto check = [this, h](qsizetype pos) { return matchesAt(h + pos); };
    qsizetype next = 0;
    qsizetype found = -1;
    const char16_t* firsts = m_firsts.data();
    const char16_t* lasts = m_lasts.data();
    switch (m_variants) {
    case 1:
        found = scan<1>(h, lastStart, m, firsts, lasts, check, next);
        break;
    case 2:
        found = scan<2>(h, lastStart, m, firsts, lasts, check, next);
        break;
    case 3:
        found = scan<3>(h, lastStart, m, firsts, lasts, check, next);
        break;
    default:
        found = scan<4>(h, lastStart, m, firsts, lasts, check, next);
        break;
    }
    return found >= 0 ? found : scanShort(h, next, lastStart);
}
