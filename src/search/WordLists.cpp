#include "search/WordLists.h"

#include "store/Slices.h"
#include "search/WordSplitting.h"
#include "store/KeyOrder.h"
#include "store/Prefetch.h"
#include "store/TextCodec.h"

#include <algorithm>
#include <QtEndian>
#include <type_traits>
#include <vector>

namespace WordLists {

namespace {

using namespace WordSplitting;

// The piece walk calls its lambda for every word; made a call, it would cost as much as the look-up.
#if defined(__GNUC__)
#define InlinedLambda __attribute__((always_inline))
#else
#define InlinedLambda
#endif

// Below this many records one thread is quicker than starting more.
constexpr size_t ParallelFrom = 5000;

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

constexpr quint64 SizeSeed = 0xff51afd7ed558ccdull;

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

// Splits text as replacing every boundary by one blank and splitting at blanks would, and keeps the
// distinct lower-cased words of at least a minimum length. The words go into an open-addressing
// table: most pieces repeat a word already seen, so the lookup is what has to be quick.
class Collector
{
public:
    Collector(qsizetype minimumLength, const SplitRule& rule)
        : m_minimum(minimumLength), m_rule(&rule), m_slots(1024)
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
        return blocks.forEachPiece([&](qsizetype begin, qsizetype end) InlinedLambda {
            takeBytes(bytes + begin, end - begin, bytes + size);
        });
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
    Q_ALWAYS_INLINE void takeBytes(const uchar* piece, qsizetype size, const uchar* end)
    {
        if (size < m_minimum) {
            return;
        }
        // Most words are one chunk: looked up here, without a loop or a copy.
        if (size <= 8 && end - piece >= 8) {
            quint64 x = qFromLittleEndian<quint64>(piece);
            if (size < 8) {
                x &= (quint64(1) << (8 * size)) - 1;
            }
            if ((x & 0x8080808080808080ull) == 0) {
                x = lowerAscii8(x);
                addAscii(&x, quint32(size), finish(mixChunk(quint64(size) * SizeSeed, x)));
                return;
            }
        } else if (addAsciiPiece(piece, size, end)) {
            return;
        }
        take(piece, size, false, end);
    }

    // Lower-cases and hashes a piece a chunk at a time, then adds it; false, having added nothing,
    // when a byte is not ASCII. UTF-16 pieces come here only when known to be ASCII.
    template <typename Unit> bool addAsciiPiece(const Unit* piece, qsizetype size, const Unit* end)
    {
        const size_t chunks = size_t(size + 7) / 8;
        if (m_piece.size() < chunks) {
            m_piece.resize(chunks);
        }
        quint64 h = quint64(size) * SizeSeed;
        for (size_t c = 0; c < chunks; ++c) {
            const qsizetype at = qsizetype(c) * 8;
            const qsizetype length = std::min<qsizetype>(8, size - at);
            quint64 x = 0;
            if (std::is_same_v<Unit, uchar> && end - (piece + at) >= 8) {
                // Whole eight bytes where the text has them, the ones past the piece masked off.
                x = qFromLittleEndian<quint64>(piece + at);
                if (length < 8) {
                    x &= (quint64(1) << (8 * length)) - 1;
                }
            } else {
                for (qsizetype k = 0; k < length; ++k) {
                    x |= quint64(piece[at + k]) << (8 * k);
                }
            }
            if (std::is_same_v<Unit, uchar> && (x & 0x8080808080808080ull) != 0) {
                return false;
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

    Q_ALWAYS_INLINE void addAscii(const quint64* chunks, quint32 length, quint32 hash)
    {
        const size_t count = (size_t(length) + 7) / 8;
        const size_t s = find(hash, chunks[0], length, [&](const Word& kept) {
            return std::equal(chunks + 1, chunks + count, m_chunks.data() + kept.offset + 1);
        });
        if (s != NotFound) {
            insert(s, {chunks[0], m_chunks.size(), length, hash});
            m_chunks.insert(m_chunks.end(), chunks, chunks + count);
        }
    }

    void addWide(QStringView word, quint32 hash)
    {
        const auto length = quint32(word.size());
        const size_t s = find(hash, WideHead, length, [&](const Word& kept) {
            return std::equal(word.utf16(), word.utf16() + word.size(), m_wide.data() + kept.offset);
        });
        if (s != NotFound) {
            insert(s, {WideHead, m_wide.size(), length, hash});
            m_wide.insert(m_wide.end(), word.utf16(), word.utf16() + word.size());
        }
    }

    static constexpr size_t NotFound = ~size_t(0);

    // A slot of the table: a kept word's first chunk and length, so that a word of one chunk is found
    // without looking further, and its position + 1 in m_words; 0 when the slot is empty.
    struct Slot
    {
        quint64 head = 0;
        quint32 length = 0;
        quint32 position = 0;
    };

    // The empty slot where a word not yet kept goes, or NotFound when a kept word has this head and
    // length and, past its first chunk, sameRest(kept) holds.
    template <typename SameRest>
    Q_ALWAYS_INLINE size_t find(quint32 hash, quint64 head, quint32 length, SameRest sameRest) const
    {
        const size_t mask = m_slots.size() - 1;
        for (size_t s = hash & mask;; s = (s + 1) & mask) {
            const Slot& slot = m_slots[s];
            if (slot.position == 0) {
                return s;
            }
            if (slot.head == head && slot.length == length &&
                ((head != WideHead && length <= 8) || sameRest(m_words[slot.position - 1]))) {
                return NotFound;
            }
        }
    }

    Q_NEVER_INLINE void insert(size_t s, const Word& word)
    {
        m_words.push_back(word);
        m_slots[s] = {word.head, word.length, quint32(m_words.size())};
        if (m_words.size() * 2 > m_slots.size()) {
            grow();
        }
    }

    void grow()
    {
        std::vector<Slot> table(m_slots.size() * 2);
        const size_t mask = table.size() - 1;
        for (const Slot& slot : m_slots) {
            if (slot.position != 0) {
                size_t s = m_words[slot.position - 1].hash & mask;
                while (table[s].position != 0) {
                    s = (s + 1) & mask;
                }
                table[s] = slot;
            }
        }
        m_slots.swap(table);
    }

    qsizetype m_minimum;
    const SplitRule* m_rule;
    std::vector<Slot> m_slots;
    std::vector<Word> m_words;
    // The words' text, one after another: a million words held as strings of their own would each
    // cost an allocation, and each comparison a wait for memory far away.
    std::vector<quint64> m_chunks;
    std::vector<char16_t> m_wide;
    std::vector<quint64> m_piece; // the piece being added, lower-cased
};

// How many records ahead the texts are asked for, and how much of the code.
constexpr size_t Ahead = 4;
constexpr qsizetype AheadCodeBytes = 512;

// Runs collect(record, collector) over every non-deleted record in scope, in slices on several threads
// for a large library, and merges what the slices found; withCode when collect reads the code. Returns
// the summed boundary count.
template <typename Collect>
qsizetype collectAll(const CodeArray& records, const SearchScope& scope, bool withCode, Collector& result,
                     Collect collect)
{
    const size_t size = records.size();
    // With the code, the records in the order their code lies in memory: a large library read from
    // its file holds the code in the file's order, which sorting the records does not change, and
    // reading it in that order lets the processor read ahead by itself. The list does not depend on
    // the order.
    std::vector<std::pair<const char*, size_t>> places;
    if (withCode) {
        places.reserve(size);
        for (size_t i = 0; i < size; ++i) {
            places.emplace_back(records[i].Code.bytes().data(), i);
        }
        // Each slice sorted on a thread of its own, then the slices merged in turn.
        std::vector<size_t> ends(sliceCount(size, ParallelFrom), 0);
        runInSlices(size, ParallelFrom, [&](size_t slice, size_t begin, size_t end) {
            std::sort(places.begin() + std::ptrdiff_t(begin), places.begin() + std::ptrdiff_t(end));
            ends[slice] = end;
        });
        for (size_t slice = 1; slice < ends.size(); ++slice) {
            std::inplace_merge(places.begin(), places.begin() + std::ptrdiff_t(ends[slice - 1]),
                               places.begin() + std::ptrdiff_t(ends[slice]));
        }
    }
    auto recordAt = [&](size_t k) -> const SnippetRecord& {
        return records[withCode ? places[k].second : k];
    };
    auto work = [&](size_t begin, size_t end, Collector& collector) {
        const SearchScope own = scope;
        qsizetype boundaries = 0;
        for (size_t k = begin; k < end; ++k) {
            const SnippetRecord& r = recordAt(k);
            if (k + Ahead < end) {
                prefetchTexts(recordAt(k + Ahead), AheadCodeBytes);
            }
            if (!r.Deleted && own.contains(r)) {
                boundaries += collect(r, collector);
            }
        }
        return boundaries;
    };
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
    const qsizetype boundaries =
        collectAll(records, scope, true, words, [](const SnippetRecord& r, Collector& c) {
            // Each record adds " keywords title code": three blanks of its own.
            return 3 + c.scan(r.Keywords) + c.scan(r.Title) + c.scan(r.Code);
        });
    return {words.sorted(), boundaries > 0 ? boundaries + 1 : 0};
}

WordList keyWords(const CodeArray& records, const SearchScope& scope)
{
    Collector words(1, KeyWordsRule);
    const qsizetype boundaries =
        collectAll(records, scope, false, words, [](const SnippetRecord& r, Collector& c) {
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
