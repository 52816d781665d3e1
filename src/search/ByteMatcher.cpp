#include "search/ByteMatcher.h"

#include "store/TextCodec.h"

#include <algorithm>
#include <array>
#include <QChar>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Whether, ignoring case, the ASCII character c matches only its ASCII forms: no character beyond
// ASCII folds like it.
bool foldsOnlyInAscii(char16_t c)
{
    static const std::array<bool, 128> shared = [] {
        std::array<bool, 128> onto{};
        for (char32_t u = 0x80; u <= 0x10FFFF; ++u) {
            if (u >= 0xD800 && u < 0xE000) {
                continue;
            }
            const char32_t folded = QChar::toCaseFolded(u);
            if (folded < 0x80) {
                onto[folded] = true;
            }
        }
        return onto;
    }();
    return c < 0x80 && !shared[QChar::toCaseFolded(char32_t(c))];
}

inline char lowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c + 32) : c;
}

inline char upperAscii(char c)
{
    return c >= 'a' && c <= 'z' ? char(c - 32) : c;
}

bool equalAt(const char* at, const QByteArray& needle, bool fold)
{
    const char* n = needle.constData();
    for (qsizetype k = 0; k < needle.size(); ++k) {
        if ((fold ? lowerAscii(at[k]) : at[k]) != n[k]) {
            return false;
        }
    }
    return true;
}

} // namespace

ByteMatcher::ByteMatcher(const QString& term, Qt::CaseSensitivity cs) : m_fold(cs == Qt::CaseInsensitive)
{
    // A character beyond ASCII that, ignoring case, does not fold to ASCII matches no ASCII character:
    // then ASCII text cannot hold the term.
    for (const char32_t c : term.toUcs4()) {
        m_beyondAscii = m_beyondAscii || (m_fold ? QChar::toCaseFolded(c) : c) >= 0x80;
    }
    if (term.isEmpty() || term.contains(u'\r') || term.contains(u'\n')) {
        return;
    }
    for (qsizetype i = 0; i < term.size(); ++i) {
        const QChar c = term[i];
        const bool paired = c.isHighSurrogate() && i + 1 < term.size() && term[i + 1].isLowSurrogate();
        if (c.isSurrogate() && !paired) {
            return;
        }
        i += paired ? 1 : 0;
    }
    if (!m_fold) {
        m_needle = term.toUtf8();
        m_usable = m_exact = true;
        return;
    }
    // The longest run of characters that match only in ASCII.
    qsizetype best = 0, bestLength = 0;
    for (qsizetype i = 0; i < term.size();) {
        qsizetype end = i;
        while (end < term.size() && foldsOnlyInAscii(term[end].unicode())) {
            ++end;
        }
        if (end - i > bestLength) {
            best = i;
            bestLength = end - i;
        }
        i = end + 1;
    }
    if (bestLength == 0) {
        return;
    }
    for (qsizetype k = best; k < best + bestLength; ++k) {
        m_needle.append(lowerAscii(char(term[k].unicode())));
    }
    m_usable = true;
    m_exact = bestLength == term.size();
    const bool ascii = std::all_of(term.cbegin(), term.cend(), [](QChar c) { return c.unicode() < 0x80; });
    if (!m_exact && ascii) {
        for (const QChar c : term) {
            m_whole.append(lowerAscii(char(c.unicode())));
        }
    }
}

bool ByteMatcher::isIn(QByteArrayView bytes) const
{
    return find(bytes, m_needle, m_fold);
}

ByteMatcher::Verdict ByteMatcher::wholeTermIn(QByteArrayView bytes) const
{
    if (m_exact) {
        return Found;
    }
    if (m_whole.isEmpty()) {
        return Unknown;
    }
    if (find(bytes, m_whole, true)) {
        return Found;
    }
    return TextCodec::isAscii(bytes) ? Absent : Unknown;
}

bool ByteMatcher::find(QByteArrayView bytes, const QByteArray& needle, bool fold)
{
    const qsizetype m = needle.size();
    const qsizetype n = bytes.size();
    if (n < m) {
        return false;
    }
    const char* h = bytes.data();
    const qsizetype lastStart = n - m;
    qsizetype i = 0;
#if defined(__SSE2__)
    // Candidates by the first and last byte, sixteen positions at a time.
    const char first = needle.front();
    const char last = needle.back();
    const __m128i first1 = _mm_set1_epi8(first);
    const __m128i first2 = _mm_set1_epi8(fold ? upperAscii(first) : first);
    const __m128i last1 = _mm_set1_epi8(last);
    const __m128i last2 = _mm_set1_epi8(fold ? upperAscii(last) : last);
    for (; i + 16 <= lastStart + 1; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(h + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(h + i + m - 1));
        const __m128i eqA = _mm_or_si128(_mm_cmpeq_epi8(a, first1), _mm_cmpeq_epi8(a, first2));
        const __m128i eqB = _mm_or_si128(_mm_cmpeq_epi8(b, last1), _mm_cmpeq_epi8(b, last2));
        unsigned mask = unsigned(_mm_movemask_epi8(_mm_and_si128(eqA, eqB)));
        while (mask != 0) {
            const int bit = __builtin_ctz(mask);
            if (equalAt(h + i + bit, needle, fold)) {
                return true;
            }
            mask &= mask - 1;
        }
    }
#endif
    for (; i <= lastStart; ++i) {
        if (equalAt(h + i, needle, fold)) {
            return true;
        }
    }
    return false;
}
