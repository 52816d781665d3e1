#include "search/WordLists.h"

#include "search/Slices.h"
#include "store/KeyOrder.h"
#include "store/TextCodec.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <QtEndian>
#include <type_traits>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace WordLists {

namespace {

// Below this many records one thread is quicker than starting more.
constexpr size_t ParallelFrom = 5000;

// What a character below 256 is to the splitter: part of a word, a boundary, or a CR that is a
// boundary together with a following LF. Only ASCII characters are ever boundaries.
enum Kind : quint8
{
    WordChar = 0,
    Boundary = 1,
    CarriageReturn = 2
};

constexpr size_t MaxRanges = 8;

// How a text splits: what each byte below 256 is, and the boundaries again as ranges of byte
// values, for comparing many bytes at once.
struct SplitRule
{
    std::array<quint8, 256> kinds{};
    bool crLfSplits = false;
    // Each range of boundaries as its first value and its width - 1; the rules here have five at most.
    std::vector<std::pair<uchar, uchar>> ranges;
};

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
    Q_ASSERT(rule.ranges.size() <= MaxRanges);
    if (crLfSplits) {
        rule.kinds['\r'] = CarriageReturn;
        rule.crLfSplits = true;
    }
    return rule;
}

const SplitRule AllWordsRule = splitRule("*+'&?@[]#$%{},!()<\\|/>-.:;=\"\t ", true);
const SplitRule KeyWordsRule = splitRule(" ,", false);

// A word of plain ASCII is held as its lower-cased bytes, eight to a chunk, the last padded with
// zeros; a word of anything else as its lower-cased UTF-16 units. No ASCII chunk has a byte of 0x80
// or above, so this head never equals an ASCII word's first chunk.
constexpr quint64 WideHead = 0x8080808080808080ull;

// Lower-cases eight ASCII bytes at once. Every byte is below 0x80, so no sum carries into the next.
quint64 lowerAscii8(quint64 x)
{
    const quint64 fromA = x + 0x3f3f3f3f3f3f3f3full; // top bit set where the byte is 'A' or above
    const quint64 pastZ = x + 0x2525252525252525ull; // top bit set where it is above 'Z'
    return x | ((fromA & ~pastZ & 0x8080808080808080ull) >> 2);
}

quint64 mixChunk(quint64 h, quint64 chunk)
{
    h = (h ^ chunk) * 0x9e3779b97f4a7c15ull;
    return h ^ (h >> 29);
}

quint32 finish(quint64 h)
{
    return quint32(h >> 32);
}

quint32 wideHash(QStringView word)
{
    quint64 h = 0xcbf29ce484222325ull;
    for (const QChar c : word) {
        h = (h ^ c.unicode()) * 0x100000001b3ull;
    }
    return quint32(h ^ (h >> 32));
}

// The separators of UTF-8 text, 64 bytes at a time: bit k of a block's mask stands for byte base + k.
// A separator is a boundary, or the LF of a CR LF pair (which is one boundary, at the CR). Bytes past
// the end count as separators. Each block's boundaries are counted as the block is first asked for;
// blocks must be asked for in order.
class SeparatorBlocks
{
public:
    SeparatorBlocks(const uchar* bytes, qsizetype size, const SplitRule& rule)
        : m_bytes(bytes), m_size(size), m_rule(rule)
    {}

    // The first position from `from` on that is a separator (or, with wanted false, that is not), or
    // the size when there is none.
    qsizetype next(qsizetype from, bool wanted)
    {
        for (qsizetype base = from & ~qsizetype(63); base < m_size; base += 64) {
            quint64 bits = separators(base);
            if (!wanted) {
                bits = ~bits;
            }
            if (base < from) {
                bits &= ~quint64(0) << (from - base);
            }
            if (bits != 0) {
                return std::min(m_size, base + qsizetype(std::countr_zero(bits)));
            }
        }
        return m_size;
    }

    qsizetype boundaries() const { return m_boundaries; }

private:
    quint64 separators(qsizetype base) { return base == m_base ? m_separators : compute(base); }

    quint64 compute(qsizetype base)
    {
        m_base = base;
        const qsizetype left = m_size - base;
        const uchar* block = m_bytes + base;
        std::array<uchar, 64> padded{};
        if (left < 64) {
            std::memcpy(padded.data(), block, size_t(left));
            block = padded.data();
        }
        const quint64 valid = left < 64 ? (quint64(1) << left) - 1 : ~quint64(0);
        quint64 boundaries = 0;
        quint64 carriageReturns = 0;
        quint64 lineFeeds = 0;
#if defined(__SSE2__)
        // The boundaries lie in a few ranges of byte values; each range is two comparisons.
        const __m128i lineFeed = _mm_set1_epi8('\n');
        const __m128i carriageReturn = _mm_set1_epi8('\r');
        __m128i firsts[MaxRanges];
        __m128i spans[MaxRanges];
        const size_t rangeCount = m_rule.ranges.size();
        for (size_t r = 0; r < rangeCount; ++r) {
            firsts[r] = _mm_set1_epi8(char(m_rule.ranges[r].first));
            spans[r] = _mm_set1_epi8(char(m_rule.ranges[r].second));
        }
        for (int q = 0; q < 4; ++q) {
            const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * q));
            __m128i hit = _mm_setzero_si128();
            for (size_t r = 0; r < rangeCount; ++r) {
                const __m128i offset = _mm_sub_epi8(x, firsts[r]);
                hit = _mm_or_si128(hit, _mm_cmpeq_epi8(_mm_min_epu8(offset, spans[r]), offset));
            }
            boundaries |= quint64(uint(_mm_movemask_epi8(hit))) << (16 * q);
            lineFeeds |= quint64(uint(_mm_movemask_epi8(_mm_cmpeq_epi8(x, lineFeed)))) << (16 * q);
            carriageReturns |= quint64(uint(_mm_movemask_epi8(_mm_cmpeq_epi8(x, carriageReturn))))
                               << (16 * q);
        }
        if (!m_rule.crLfSplits) {
            carriageReturns = 0;
        }
#else
        for (int k = 0; k < 64; ++k) {
            const quint8 kind = m_rule.kinds[block[k]];
            boundaries |= quint64(kind == Boundary) << k;
            carriageReturns |= quint64(kind == CarriageReturn) << k;
            lineFeeds |= quint64(block[k] == '\n') << k;
        }
#endif
        // A CR is a boundary when an LF follows, which may be the next block's first byte; that LF
        // is then passed over with it.
        const bool lineFeedNext = left > 64 && m_bytes[base + 64] == '\n';
        const bool carriageReturnBefore = base > 0 && m_rule.kinds[m_bytes[base - 1]] == CarriageReturn;
        boundaries |= carriageReturns & ((lineFeeds >> 1) | (quint64(lineFeedNext) << 63));
        const quint64 passedOver = lineFeeds & ((carriageReturns << 1) | quint64(carriageReturnBefore));
        m_boundaries += std::popcount(boundaries & valid);
        m_separators = boundaries | passedOver | ~valid;
        return m_separators;
    }

    const uchar* m_bytes;
    qsizetype m_size;
    const SplitRule& m_rule;
    qsizetype m_base = -1;
    quint64 m_separators = 0;
    qsizetype m_boundaries = 0;
};

// Splits text as replacing every boundary by one blank and splitting at blanks would, and keeps the
// distinct lower-cased words of at least a minimum length. The words go into an open-addressing
// table: most pieces repeat a word already seen, so the lookup is what has to be quick.
class Collector
{
public:
    Collector(qsizetype minimumLength, const SplitRule& rule)
        : m_minimum(minimumLength), m_rule(&rule), m_slots(1024, 0)
    {}

    // Takes the words of one text; returns the number of boundaries in it. The inner loop only finds
    // where a piece ends; lower-casing and hashing then take the piece whole.
    qsizetype scan(QStringView text)
    {
        const char16_t* p = text.utf16();
        const qsizetype n = text.size();
        const auto& kinds = m_rule->kinds;
        qsizetype boundaries = 0;
        qsizetype i = 0;
        for (;;) {
            const qsizetype start = i;
            uint seen = 0; // every unit or-ed together: 0x80 or above means not plain ASCII
            while (i < n) {
                const uint c = p[i];
                const quint8 kind = c < 256 ? kinds[c] : quint8(WordChar);
                if (kind != WordChar && (kind == Boundary || (i + 1 < n && p[i + 1] == u'\n'))) {
                    break;
                }
                seen |= c;
                ++i;
            }
            if (i > start) {
                take(p + start, i - start, seen < 0x80, p + n);
            }
            if (i == n) {
                return boundaries;
            }
            ++boundaries;
            i += p[i] == u'\r' ? 2 : 1;
        }
    }

    // The same for the UTF-8 bytes of a text, found 64 bytes at a time: boundaries are ASCII, which in
    // UTF-8 is never part of another character, so the bytes split where the text does.
    qsizetype scan(const CodeText& code)
    {
        const auto* bytes = reinterpret_cast<const uchar*>(code.bytes().data());
        const qsizetype size = code.bytes().size();
        SeparatorBlocks blocks(bytes, size, *m_rule);
        for (qsizetype i = 0; i < size;) {
            const qsizetype end = blocks.next(i, true);
            if (end > i) {
                takeBytes(bytes + i, end - i, bytes + size);
            }
            i = end < size ? blocks.next(end, false) : size;
        }
        return blocks.boundaries();
    }

    // Takes the other's words; their hashes are known already.
    void merge(const Collector& other)
    {
        for (const Word& word : other.m_words) {
            if (word.head == WideHead) {
                addWide(QStringView(other.m_wide.data() + word.offset, word.length), word.hash);
            } else {
                addAscii(other.m_chunks.data() + word.offset, word.length, word.hash);
            }
        }
    }

    QStringList sorted() const
    {
        // Every word as UTF-16, one after another, for the sort and the list.
        std::vector<char16_t> text;
        std::vector<size_t> starts;
        starts.reserve(m_words.size() + 1);
        for (const Word& word : m_words) {
            starts.push_back(text.size());
            if (word.head == WideHead) {
                const char16_t* units = m_wide.data() + word.offset;
                text.insert(text.end(), units, units + word.length);
            } else {
                for (quint32 k = 0; k < word.length; ++k) {
                    text.push_back(char16_t((m_chunks[word.offset + k / 8] >> (8 * (k % 8))) & 0xff));
                }
            }
        }
        starts.push_back(text.size());
        auto view = [&](size_t i) { return QStringView(text.data() + starts[i], starts[i + 1] - starts[i]); };
        const std::vector<size_t> order = sortedViewOrder(m_words.size(), view);
        QStringList words;
        words.reserve(qsizetype(order.size()));
        for (const size_t i : order) {
            words.append(view(i).toString());
        }
        return words;
    }

private:
    // Unit is char16_t for UTF-16 text and uchar for UTF-8 bytes.
    template <typename Unit> void take(const Unit* piece, qsizetype size, bool ascii, const Unit* end)
    {
        if (ascii) {
            if (size >= m_minimum) {
                addAsciiPiece(piece, size, end);
            }
            return;
        }
        QString lower;
        if constexpr (std::is_same_v<Unit, char16_t>) {
            lower = QStringView(piece, size).toString().toLower();
        } else {
            lower = TextCodec::decodeUtf8(QByteArrayView(piece, size)).toLower();
        }
        if (lower.size() < m_minimum) {
            return;
        }
        // Lower-casing can make a word plain ASCII (the Kelvin sign becomes k): it is then the
        // same word as the one typed in ASCII.
        const bool nowAscii =
            std::all_of(lower.cbegin(), lower.cend(), [](QChar c) { return c.unicode() < 0x80; });
        if (nowAscii) {
            addAsciiPiece(lower.utf16(), lower.size(), lower.utf16() + lower.size());
        } else {
            addWide(lower, wideHash(lower));
        }
    }

    // A piece of UTF-8 bytes: plain ASCII is lower-cased and hashed as bytes, anything else decoded.
    // No piece shorter in bytes than the minimum can be one in characters: a character that is not
    // ASCII takes two bytes or more, and lower-casing makes at most two characters of it.
    void takeBytes(const uchar* piece, qsizetype size, const uchar* end)
    {
        if (size >= m_minimum && !addAsciiPiece(piece, size, end)) {
            take(piece, size, false, end);
        }
    }

    // Lower-cases and hashes a piece a chunk at a time, then adds it; false, having added nothing,
    // when a byte is not ASCII. UTF-16 pieces come here only when known to be ASCII.
    template <typename Unit> bool addAsciiPiece(const Unit* piece, qsizetype size, const Unit* end)
    {
        const size_t chunks = size_t(size + 7) / 8;
        if (m_piece.size() < chunks) {
            m_piece.resize(chunks);
        }
        quint64 h = quint64(size) * 0xff51afd7ed558ccdull;
        for (size_t c = 0; c < chunks; ++c) {
            const qsizetype at = qsizetype(c) * 8;
            const qsizetype length = std::min<qsizetype>(8, size - at);
            quint64 x = 0;
            if constexpr (std::is_same_v<Unit, uchar>) {
                // Whole eight bytes where the text has them, the ones past the piece masked off.
                if (end - (piece + at) >= 8) {
                    x = qFromLittleEndian<quint64>(piece + at);
                    if (length < 8) {
                        x &= (quint64(1) << (8 * length)) - 1;
                    }
                } else {
                    for (qsizetype k = 0; k < length; ++k) {
                        x |= quint64(piece[at + k]) << (8 * k);
                    }
                }
                if ((x & 0x8080808080808080ull) != 0) {
                    return false;
                }
            } else {
                for (qsizetype k = 0; k < length; ++k) {
                    x |= quint64(piece[at + k]) << (8 * k);
                }
            }
            x = lowerAscii8(x);
            m_piece[c] = x;
            h = mixChunk(h, x);
        }
        addAscii(m_piece.data(), quint32(size), finish(h));
        return true;
    }

    // A word kept: where its text lies (in m_chunks for ASCII, m_wide otherwise), its length in
    // characters, its hash for merging, and its first chunk (WideHead for a word not ASCII).
    struct Word
    {
        quint64 head;
        size_t offset;
        quint32 length;
        quint32 hash;
    };

    void addAscii(const quint64* chunks, quint32 length, quint32 hash)
    {
        // A word of up to eight characters is its one chunk and its length: the recent ones are
        // known without a look into the table, which for a large library lies far off in memory.
        Recent* recent = nullptr;
        if (length <= 8) {
            recent = &m_recent[(hash >> 7) & (m_recent.size() - 1)];
            if (recent->head == chunks[0] && recent->length == length) {
                return;
            }
            *recent = {chunks[0], length};
        }
        const size_t count = (size_t(length) + 7) / 8;
        const size_t s = find(hash, [&](const Word& kept) {
            return kept.head == chunks[0] && kept.length == length &&
                   std::equal(chunks + 1, chunks + count, m_chunks.data() + kept.offset + 1);
        });
        if (s != NotFound) {
            insert(s, {chunks[0], m_chunks.size(), length, hash});
            m_chunks.insert(m_chunks.end(), chunks, chunks + count);
        }
    }

    void addWide(QStringView word, quint32 hash)
    {
        const size_t s = find(hash, [&](const Word& kept) {
            return kept.head == WideHead && kept.length == size_t(word.size()) &&
                   std::equal(word.utf16(), word.utf16() + word.size(), m_wide.data() + kept.offset);
        });
        if (s != NotFound) {
            insert(s, {WideHead, m_wide.size(), quint32(word.size()), hash});
            m_wide.insert(m_wide.end(), word.utf16(), word.utf16() + word.size());
        }
    }

    static constexpr size_t NotFound = ~size_t(0);

    // The empty slot where a word not yet kept goes, or NotFound when same(kept) holds for a word
    // of this hash. A slot holds the hash in its high half and the word's position + 1 in its low
    // half; 0 is empty.
    template <typename Same> size_t find(quint32 hash, Same same) const
    {
        const size_t mask = m_slots.size() - 1;
        for (size_t s = hash & mask;; s = (s + 1) & mask) {
            const quint64 slot = m_slots[s];
            if (slot == 0) {
                return s;
            }
            if (quint32(slot >> 32) == hash && same(m_words[size_t(quint32(slot)) - 1])) {
                return NotFound;
            }
        }
    }

    void insert(size_t s, const Word& word)
    {
        m_words.push_back(word);
        m_slots[s] = (quint64(word.hash) << 32) | quint64(m_words.size());
        if (m_words.size() * 2 > m_slots.size()) {
            grow();
        }
    }

    void grow()
    {
        std::vector<quint64> table(m_slots.size() * 2, 0);
        const size_t mask = table.size() - 1;
        for (const quint64 slot : m_slots) {
            if (slot != 0) {
                size_t s = size_t(slot >> 32) & mask;
                while (table[s] != 0) {
                    s = (s + 1) & mask;
                }
                table[s] = slot;
            }
        }
        m_slots.swap(table);
    }

    qsizetype m_minimum;
    const SplitRule* m_rule;
    std::vector<quint64> m_slots;
    std::vector<Word> m_words;
    // The words' text, one after another: a million words held as strings of their own would each
    // cost an allocation, and each comparison a wait for memory far away.
    std::vector<quint64> m_chunks;
    std::vector<char16_t> m_wide;
    std::vector<quint64> m_piece; // the piece being added, lower-cased
    struct Recent
    {
        quint64 head = 0;
        quint32 length = 0; // 0: no word yet
    };
    std::vector<Recent> m_recent = std::vector<Recent>(4096);
};

// Runs collect(record, collector) over every non-deleted record in scope, in slices on several threads
// for a large library, and merges what the slices found. Returns the summed boundary count.
template <typename Collect>
qsizetype collectAll(const CodeArray& records, const SearchScope& scope, Collector& result, Collect collect)
{
    auto work = [&](size_t begin, size_t end, Collector& collector) {
        const SearchScope own = scope;
        qsizetype boundaries = 0;
        for (size_t i = begin; i < end; ++i) {
            const SnippetRecord& r = records[i];
            if (!r.Deleted && own.contains(r)) {
                boundaries += collect(r, collector);
            }
        }
        return boundaries;
    };
    const size_t size = records.size();
    // Slice 0 collects straight into the result; the others into copies merged afterwards.
    const size_t slices = sliceCount(size, ParallelFrom);
    std::vector<Collector> collectors(slices - 1, result);
    std::vector<qsizetype> counts(slices, 0);
    runInSlices(size, ParallelFrom, [&](size_t slice, size_t begin, size_t end) {
        counts[slice] = work(begin, end, slice == 0 ? result : collectors[slice - 1]);
    });
    qsizetype boundaries = counts[0];
    for (size_t s = 1; s < slices; ++s) {
        result.merge(collectors[s - 1]);
        boundaries += counts[s];
    }
    return boundaries;
}

} // namespace

WordList allWords(const CodeArray& records, const SearchScope& scope)
{
    Collector words(2, AllWordsRule);
    const qsizetype boundaries = collectAll(records, scope, words, [](const SnippetRecord& r, Collector& c) {
        // Each record adds " keywords title code": three blanks of its own.
        return 3 + c.scan(r.Keywords) + c.scan(r.Title) + c.scan(r.Code);
    });
    return {words.sorted(), boundaries > 0 ? boundaries + 1 : 0};
}

WordList keyWords(const CodeArray& records, const SearchScope& scope)
{
    Collector words(1, KeyWordsRule);
    const qsizetype boundaries = collectAll(records, scope, words, [](const SnippetRecord& r, Collector& c) {
        // Each record adds " keywords".
        return 1 + c.scan(r.Keywords);
    });
    return {words.sorted(), boundaries > 0 ? boundaries + 1 : 0};
}

QString allWordsStatus(const WordList& list)
{
    return QString::number(list.words.size()) + QStringLiteral(" unique words found from list of ") +
           QString::number(std::max<qsizetype>(list.pieces - 1, 0));
}

QString keyWordsStatus(const WordList& list)
{
    return QString::number(list.words.size()) + QStringLiteral(" unique words found");
}

} // namespace WordLists
