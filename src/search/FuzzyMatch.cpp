#include "search/FuzzyMatch.h"

#include <algorithm>
#include <vector>

namespace FuzzyMatch {

namespace {

// The weights: a character that follows the one before beats one at a word start, which beats one
// inside a word; a gap costs a little, a late start and a long text cost less still.
constexpr int MatchScore = 16;
constexpr int WordStartBonus = 20;
constexpr int FirstCharacterBonus = 8;
constexpr int ConsecutiveBonus = 24;
constexpr int GapPenalty = 3;
constexpr int MaxLeadPenalty = 10;
constexpr qsizetype MaxLengthPenalty = 50;

// What matching needs to know of a character, with plain ASCII, the usual case, answered directly.
struct Kind
{
    bool word;
    bool upper;
    bool lower;
    bool digit;
};

Kind kindOf(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80) {
        const bool upper = u >= 'A' && u <= 'Z';
        const bool lower = u >= 'a' && u <= 'z';
        const bool digit = u >= '0' && u <= '9';
        return {upper || lower || digit, upper, lower, digit};
    }
    return {c.isLetterOrNumber(), c.isUpper(), c.isLower(), c.isDigit()};
}

QChar lowered(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80) {
        return u >= 'A' && u <= 'Z' ? QChar(char16_t(u + ('a' - 'A'))) : c;
    }
    return c.toLower();
}

} // namespace

QString prepareQuery(const QString& typed)
{
    QString query;
    for (const QChar c : typed) {
        if (query.size() == MaxQuery) {
            break;
        }
        if (!c.isSpace()) {
            query += lowered(c);
        }
    }
    return query;
}

void appendPrepared(QStringView text, QString& lower, QByteArray& wordStarts)
{
    const qsizetype n = text.size();
    const qsizetype at = lower.size();
    lower.resize(at + n);
    wordStarts.resize(at + n);
    QChar* out = lower.data() + at;
    char* starts = wordStarts.data() + at;
    Kind before{};
    for (qsizetype j = 0; j < n; ++j) {
        const QChar c = text[j];
        const Kind kind = kindOf(c);
        // Characters one for one, so that the flags stand beside the characters they describe.
        out[j] = lowered(c);
        starts[j] = j == 0 || (kind.word && !before.word) || (kind.upper && before.lower) ||
                    (kind.digit && before.word && !before.digit);
        before = kind;
    }
}

int score(QStringView text, const char* wordStarts, QStringView query)
{
    const qsizetype n = text.size();
    const qsizetype m = query.size();
    if (m == 0) {
        return 0;
    }
    if (m > n) {
        return NoMatch;
    }
    const char16_t* t = text.utf16();
    const char16_t* q = query.utf16();
    // Where each query character can stand in any match: from its earliest place (all characters
    // before it taken as early as possible) to its latest. The search below looks only in there.
    thread_local std::vector<qsizetype> lo;
    thread_local std::vector<qsizetype> hi;
    lo.resize(size_t(m));
    hi.resize(size_t(m));
    qsizetype j = 0;
    for (qsizetype i = 0; i < m; ++i, ++j) {
        while (j < n && t[j] != q[i]) {
            ++j;
        }
        if (j == n) {
            return NoMatch;
        }
        lo[size_t(i)] = j;
    }
    j = n - 1;
    for (qsizetype i = m - 1; i >= 0; --i, --j) {
        while (t[j] != q[i]) {
            --j;
        }
        hi[size_t(i)] = j;
    }

    // previous[j]: the best score of the query so far with its last character matched at text[j].
    thread_local std::vector<int> rowA;
    thread_local std::vector<int> rowB;
    if (rowA.size() < size_t(n)) {
        rowA.resize(size_t(n));
        rowB.resize(size_t(n));
    }
    int* previous = rowA.data();
    int* current = rowB.data();
    for (j = lo[0]; j <= hi[0]; ++j) {
        previous[j] = t[j] == q[0] ? MatchScore + (wordStarts[j] ? WordStartBonus : 0) +
                                         (j == 0 ? FirstCharacterBonus : 0) -
                                         int(std::min<qsizetype>(j, MaxLeadPenalty))
                                   : NoMatch;
    }
    for (qsizetype i = 1; i < m; ++i) {
        const qsizetype fromLo = lo[size_t(i - 1)];
        const qsizetype fromHi = hi[size_t(i - 1)];
        int bestBefore = NoMatch; // the best of previous[fromLo .. j-2], for a match after a gap
        qsizetype k = fromLo;
        for (j = lo[size_t(i)]; j <= hi[size_t(i)]; ++j) {
            for (; k <= j - 2 && k <= fromHi; ++k) {
                bestBefore = std::max(bestBefore, previous[k]);
            }
            int score = NoMatch;
            if (t[j] == q[i]) {
                int from = NoMatch;
                if (j - 1 >= fromLo && j - 1 <= fromHi && previous[j - 1] != NoMatch) {
                    from = previous[j - 1] + ConsecutiveBonus;
                }
                if (bestBefore != NoMatch) {
                    from = std::max(from, bestBefore - GapPenalty);
                }
                if (from != NoMatch) {
                    score = from + MatchScore + (wordStarts[j] ? WordStartBonus : 0);
                }
            }
            current[j] = score;
        }
        std::swap(previous, current);
    }
    int best = NoMatch;
    for (j = lo[size_t(m - 1)]; j <= hi[size_t(m - 1)]; ++j) {
        best = std::max(best, previous[j]);
    }
    return best - int(std::min(n, MaxLengthPenalty));
}

int score(const QString& text, const QString& typed)
{
    QString lower;
    QByteArray wordStarts;
    appendPrepared(text, lower, wordStarts);
    return score(lower, wordStarts.constData(), prepareQuery(typed));
}

} // namespace FuzzyMatch
