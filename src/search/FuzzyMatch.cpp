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

bool isWordCharacter(QChar c)
{
    return c.isLetterOrNumber();
}

} // namespace

QString prepareQuery(const QString& typed)
{
    QString query;
    for (const QChar c : typed) {
        if (!c.isSpace()) {
            query += c;
        }
        if (query.size() == MaxQuery) {
            break;
        }
    }
    return query.toLower();
}

Prepared prepare(QStringView text)
{
    Prepared prepared;
    prepared.lower = text.toString().toLower();
    // Lower-casing may change the length (rare letters); the flags then follow the lowered text only
    // where both line up, and nothing is taken for a word start beyond that.
    prepared.wordStarts = QByteArray(prepared.lower.size(), '\0');
    const qsizetype n = std::min(text.size(), prepared.lower.size());
    for (qsizetype j = 0; j < n; ++j) {
        const QChar c = text[j];
        bool start = false;
        if (j == 0) {
            start = true;
        } else {
            const QChar before = text[j - 1];
            start = (isWordCharacter(c) && !isWordCharacter(before)) || (c.isUpper() && before.isLower()) ||
                    (c.isDigit() && before.isLetter());
        }
        prepared.wordStarts[j] = start ? 1 : 0;
    }
    return prepared;
}

bool contains(QStringView text, QStringView query)
{
    qsizetype q = 0;
    const qsizetype m = query.size();
    for (qsizetype j = 0, n = text.size(); j < n && q < m; ++j) {
        if (text[j] == query[q]) {
            ++q;
        }
    }
    return q == m;
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
    // best[j]: the best score of the query so far with its last character matched at text[j].
    thread_local std::vector<int> previous;
    thread_local std::vector<int> current;
    previous.assign(size_t(n), NoMatch);
    current.assign(size_t(n), NoMatch);
    const char16_t first = query[0].unicode();
    for (qsizetype j = 0; j + m <= n; ++j) {
        if (text[j].unicode() == first) {
            previous[size_t(j)] = MatchScore + (wordStarts[j] ? WordStartBonus : 0) +
                                  (j == 0 ? FirstCharacterBonus : 0) -
                                  int(std::min<qsizetype>(j, MaxLeadPenalty));
        }
    }
    for (qsizetype i = 1; i < m; ++i) {
        const char16_t wanted = query[i].unicode();
        int bestBefore = NoMatch; // the best of previous[0 .. j-2], for a match after a gap
        bool any = false;
        for (qsizetype j = 0; j < n; ++j) {
            current[size_t(j)] = NoMatch;
            if (j >= 2) {
                bestBefore = std::max(bestBefore, previous[size_t(j - 2)]);
            }
            if (j < i || j + (m - i) > n || text[j].unicode() != wanted) {
                continue;
            }
            int from = NoMatch;
            if (previous[size_t(j - 1)] != NoMatch) {
                from = previous[size_t(j - 1)] + ConsecutiveBonus;
            }
            if (bestBefore != NoMatch) {
                from = std::max(from, bestBefore - GapPenalty);
            }
            if (from != NoMatch) {
                current[size_t(j)] = from + MatchScore + (wordStarts[j] ? WordStartBonus : 0);
                any = true;
            }
        }
        if (!any) {
            return NoMatch;
        }
        previous.swap(current);
    }
    const int best = *std::max_element(previous.begin(), previous.end());
    if (best == NoMatch) {
        return NoMatch;
    }
    return best - int(std::min(n, MaxLengthPenalty));
}

int score(const QString& text, const QString& typed)
{
    const Prepared prepared = prepare(text);
    return score(prepared.lower, prepared.wordStarts.constData(), prepareQuery(typed));
}

} // namespace FuzzyMatch
