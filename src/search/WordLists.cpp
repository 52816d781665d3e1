#include "search/WordLists.h"

#include "search/Slices.h"
#include "store/KeyOrder.h"
#include "store/TextCodec.h"

#include <algorithm>
#include <cstdint>
#include <type_traits>
#include <vector>

namespace WordLists {

namespace {

// Below this many records one thread is quicker than starting more.
constexpr size_t ParallelFrom = 5000;

// What an ASCII character is to the splitter: part of a word, a boundary, or a CR that is a boundary
// together with a following LF.
enum Kind : quint8
{
    WordChar = 0,
    Boundary = 1,
    CarriageReturn = 2
};
using KindTable = std::array<quint8, 128>;

KindTable kindTable(const char* boundaries, bool crLfSplits)
{
    KindTable table{};
    for (const char* c = boundaries; *c != 0; ++c) {
        table[size_t(uchar(*c))] = Boundary;
    }
    if (crLfSplits) {
        table['\r'] = CarriageReturn;
    }
    return table;
}

const KindTable AllWordsKinds = kindTable("*+'&?@[]#$%{},!()<\\|/>-.:;=\"\t ", true);
const KindTable KeyWordsKinds = kindTable(" ,", false);

quint32 hashOf(QStringView word)
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
    Collector(qsizetype minimumLength, const KindTable& kinds)
        : m_minimum(minimumLength), m_kinds(&kinds), m_slots(1024, 0)
    {}

    // Takes the words of one text; returns the number of boundaries in it.
    qsizetype scan(QStringView text) { return scan(text.utf16(), text.size()); }

    // The same for the UTF-8 bytes of a text: boundaries are ASCII, which in UTF-8 is never part of
    // another character, so the bytes split where the text does.
    qsizetype scan(const CodeText& code)
    {
        return scan(reinterpret_cast<const uchar*>(code.bytes().data()), code.bytes().size());
    }

    // Takes the other's words; their hashes are known already.
    void merge(const Collector& other)
    {
        for (const Word& word : other.m_words) {
            add(other.view(word), word.hash);
        }
    }

    QStringList sorted() const
    {
        const std::vector<size_t> order =
            sortedViewOrder(m_words.size(), [this](size_t i) { return view(m_words[i]); });
        QStringList words;
        words.reserve(qsizetype(order.size()));
        for (const size_t i : order) {
            words.append(view(m_words[i]).toString());
        }
        return words;
    }

private:
    // Unit is char16_t for UTF-16 text and uchar for UTF-8 bytes.
    template <typename Unit> qsizetype scan(const Unit* p, qsizetype n)
    {
        if (m_buffer.size() < size_t(n)) {
            m_buffer.resize(size_t(n));
        }
        const KindTable& kinds = *m_kinds;
        qsizetype boundaries = 0;
        qsizetype start = 0;
        qsizetype length = 0;
        bool ascii = true;
        quint64 h = 0xcbf29ce484222325ull;
        for (qsizetype i = 0; i < n; ++i) {
            char16_t c = p[i];
            if (c < 128) {
                const quint8 kind = kinds[c];
                if (kind != WordChar && (kind == Boundary || (i + 1 < n && p[i + 1] == Unit('\n')))) {
                    take(p + start, i - start, length, ascii, h);
                    ++boundaries;
                    i += kind == CarriageReturn ? 1 : 0;
                    start = i + 1;
                    length = 0;
                    ascii = true;
                    h = 0xcbf29ce484222325ull;
                    continue;
                }
                if (c >= u'A' && c <= u'Z') {
                    c = char16_t(c + 32);
                }
            } else {
                ascii = false;
            }
            m_buffer[size_t(length++)] = c;
            h = (h ^ c) * 0x100000001b3ull;
        }
        take(p + start, n - start, length, ascii, h);
        return boundaries;
    }

    // One piece: plain ASCII was lower-cased and hashed on the way; anything else goes through QString.
    template <typename Unit>
    void take(const Unit* piece, qsizetype size, qsizetype length, bool ascii, quint64 h)
    {
        if (size == 0) {
            return;
        }
        if (ascii) {
            add(QStringView(m_buffer.data(), length), quint32(h ^ (h >> 32)));
            return;
        }
        QString lower;
        if constexpr (std::is_same_v<Unit, char16_t>) {
            lower = QStringView(piece, size).toString().toLower();
        } else {
            lower = TextCodec::decodeUtf8(QByteArrayView(piece, size)).toLower();
        }
        add(lower, hashOf(lower));
    }

    // A word kept: its units in m_text, and its hash for merging.
    struct Word
    {
        size_t offset;
        quint32 length;
        quint32 hash;
    };

    QStringView view(const Word& word) const { return QStringView(m_text.data() + word.offset, word.length); }

    // A slot holds the word's hash in its high half and its position + 1 in its low half; 0 is empty.
    // The words' units lie one after another in one buffer: a million words held as strings of their
    // own would each cost an allocation, and each comparison a wait for memory far away.
    void add(QStringView word, quint32 hash)
    {
        if (word.size() < m_minimum) {
            return;
        }
        const size_t mask = m_slots.size() - 1;
        for (size_t s = hash & mask;; s = (s + 1) & mask) {
            const quint64 slot = m_slots[s];
            if (slot == 0) {
                m_words.push_back({m_text.size(), quint32(word.size()), hash});
                m_text.insert(m_text.end(), word.utf16(), word.utf16() + word.size());
                m_slots[s] = (quint64(hash) << 32) | quint64(m_words.size());
                if (m_words.size() * 2 > m_slots.size()) {
                    grow();
                }
                return;
            }
            if (quint32(slot >> 32) == hash) {
                const Word& kept = m_words[size_t(quint32(slot)) - 1];
                if (kept.length == size_t(word.size()) &&
                    std::equal(word.utf16(), word.utf16() + word.size(), m_text.data() + kept.offset)) {
                    return;
                }
            }
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
    const KindTable* m_kinds;
    std::vector<quint64> m_slots;
    std::vector<Word> m_words;
    std::vector<char16_t> m_text;
    std::vector<char16_t> m_buffer;
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
    Collector words(2, AllWordsKinds);
    const qsizetype boundaries = collectAll(records, scope, words, [](const SnippetRecord& r, Collector& c) {
        // Each record adds " keywords title code": three blanks of its own.
        return 3 + c.scan(r.Keywords) + c.scan(r.Title) + c.scan(r.Code);
    });
    return {words.sorted(), boundaries > 0 ? boundaries + 1 : 0};
}

WordList keyWords(const CodeArray& records, const SearchScope& scope)
{
    Collector words(1, KeyWordsKinds);
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
