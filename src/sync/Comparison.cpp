#include "sync/Comparison.h"

#include "store/Prefetch.h"
#include "store/Slices.h"
#include "store/TextCodec.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <optional>

namespace {

QString lowered(QStringView text)
{
    return TextCodec::lowerJoined({text});
}

QString fullKey(const SnippetRecord& record)
{
    const QString code = record.Code.toString();
    return TextCodec::lowerJoined({record.Language, record.Title, code});
}

// A polynomial hash of the lower-cased text. Fed part by part, it gives the hash of the parts joined,
// which hashOf gives for the joined text lower-cased. Collisions are weeded out by comparing.
constexpr quint64 Base = 0x100000001b3ULL * 0x9E3779B1ULL | 1;
constexpr quint64 Base2 = Base * Base;
constexpr quint64 Base3 = Base2 * Base;
constexpr quint64 Base4 = Base3 * Base;

inline quint64 asciiLower(char16_t c)
{
    return quint64(c) + (char16_t(c - u'A') < 26 ? 32 : 0);
}

struct PolyHash
{
    quint64 hash = 0;
    char16_t seen = 0; // every code unit or-ed: below 0x80 when the text is plain ASCII

    void feed(QStringView text) { feed(text.utf16(), text.size()); }

    template <typename Unit> void feed(const Unit* p, qsizetype n)
    {
        qsizetype i = 0;
        char16_t any = 0;
        quint64 h = hash;
        for (; i + 4 <= n; i += 4) {
            any |= char16_t(p[i] | p[i + 1] | p[i + 2] | p[i + 3]);
            h = h * Base4 + asciiLower(p[i]) * Base3 + asciiLower(p[i + 1]) * Base2 +
                asciiLower(p[i + 2]) * Base + asciiLower(p[i + 3]);
        }
        for (; i < n; ++i) {
            any |= p[i];
            h = h * Base + asciiLower(p[i]);
        }
        hash = h;
        seen |= any;
    }

    bool ascii() const { return seen < 0x80; }
};

// The hash of text that is already lower-cased.
quint64 hashOf(QStringView lowered)
{
    quint64 h = 0;
    for (QChar c : lowered) {
        h = h * Base + c.unicode();
    }
    return h;
}

// Spreads a hash over the slot bits of a table.
inline quint64 mix(quint64 h)
{
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdULL;
    h ^= h >> 33;
    return h;
}

// Whether plain-ASCII parts joined are equal to other parts joined when lower-cased.
bool equalAscii(std::initializer_list<QStringView> a, std::initializer_list<QStringView> b)
{
    qsizetype sizeA = 0;
    qsizetype sizeB = 0;
    for (QStringView part : a) {
        sizeA += part.size();
    }
    for (QStringView part : b) {
        sizeB += part.size();
    }
    if (sizeA != sizeB) {
        return false;
    }
    auto partA = a.begin();
    auto partB = b.begin();
    qsizetype atA = 0;
    qsizetype atB = 0;
    while (partA != a.end() && partB != b.end()) {
        if (atA == partA->size()) {
            ++partA;
            atA = 0;
            continue;
        }
        if (atB == partB->size()) {
            ++partB;
            atB = 0;
            continue;
        }
        const qsizetype span = std::min(partA->size() - atA, partB->size() - atB);
        const char16_t* x = partA->utf16() + atA;
        const char16_t* y = partB->utf16() + atB;
        // Most twins have the same letter case too: compare the bytes first.
        if (std::memcmp(x, y, size_t(span) * sizeof(char16_t)) != 0) {
            for (qsizetype k = 0; k < span; ++k) {
                if (asciiLower(x[k]) != asciiLower(y[k])) {
                    return false;
                }
            }
        }
        atA += span;
        atB += span;
    }
    return true;
}

// Whether the parts joined and lower-cased are equal; asciiA and asciiB say the parts are plain ASCII.
bool equalLowered(std::initializer_list<QStringView> a, bool asciiA, std::initializer_list<QStringView> b,
                  bool asciiB)
{
    if (asciiA && asciiB) {
        return equalAscii(a, b);
    }
    return TextCodec::lowerJoined(a) == TextCodec::lowerJoined(b);
}

// equalAscii for the bytes of two plain-ASCII codes.
bool equalAscii(QByteArrayView a, QByteArrayView b)
{
    if (a.size() != b.size()) {
        return false;
    }
    // Empty code may have no bytes at all to point at, which memcmp must not be given.
    if (a.isEmpty()) {
        return true;
    }
    // Most twins have the same letter case too: compare the bytes first.
    if (std::memcmp(a.data(), b.data(), size_t(a.size())) == 0) {
        return true;
    }
    for (qsizetype k = 0; k < a.size(); ++k) {
        if (asciiLower(uchar(a[k])) != asciiLower(uchar(b[k]))) {
            return false;
        }
    }
    return true;
}

bool equalCode(const CodeText& a, const CodeText& b)
{
    if (a.isAscii() && b.isAscii()) {
        return equalAscii(a.bytes(), b.bytes());
    }
    return lowered(a.toString()) == lowered(b.toString());
}

// Whether language, title and code joined and lower-cased are equal; titlesAscii says both records'
// language and title are plain ASCII.
bool equalFull(const SnippetRecord& a, const SnippetRecord& b, bool titlesAscii)
{
    // Where the titles end at the same place, the joined texts are equal when both parts are.
    if (titlesAscii && a.Language.size() + a.Title.size() == b.Language.size() + b.Title.size() &&
        a.Code.isAscii() && b.Code.isAscii()) {
        return equalAscii({a.Language, a.Title}, {b.Language, b.Title}) &&
               equalAscii(a.Code.bytes(), b.Code.bytes());
    }
    return fullKey(a) == fullKey(b);
}

// The full key's hash is taken from at most this many units at its start and as many at its end.
constexpr qsizetype EndUnits = 64;

quint64 endsHash(QStringView first, QStringView last)
{
    return mix(hashOf(first)) + hashOf(last);
}

// endsHash of the lower-cased full key of r, read in place: the first units come from language, title
// and code, the last from the end of the code. Empty when a unit read is not plain ASCII or the code is
// too short to hold the key's last units.
std::optional<quint64> asciiEndsHash(const SnippetRecord& r)
{
    const QByteArrayView code = r.Code.bytes();
    if (code.size() < EndUnits) {
        return std::nullopt;
    }
    char16_t first[EndUnits];
    char16_t last[EndUnits];
    char16_t seen = 0;
    qsizetype n = 0;
    for (QStringView part : {QStringView(r.Language), QStringView(r.Title)}) {
        for (qsizetype k = 0; k < part.size() && n < EndUnits; ++k) {
            seen |= part[k].unicode();
            first[n++] = char16_t(asciiLower(part[k].unicode()));
        }
    }
    for (qsizetype k = 0; n < EndUnits; ++k) {
        seen |= uchar(code[k]);
        first[n++] = char16_t(asciiLower(uchar(code[k])));
    }
    const char* end = code.data() + code.size() - EndUnits;
    for (qsizetype k = 0; k < EndUnits; ++k) {
        seen |= uchar(end[k]);
        last[k] = char16_t(asciiLower(uchar(end[k])));
    }
    if (seen >= 0x80) {
        return std::nullopt;
    }
    return endsHash(QStringView(first, EndUnits), QStringView(last, EndUnits));
}

} // namespace

void LocalIndex::Heads::reserve(size_t count)
{
    size_t size = 16;
    while (size < count * 2) {
        size *= 2;
    }
    hashes.assign(size, 0);
    first.assign(size, -1);
    mask = size - 1;
}

qsizetype& LocalIndex::Heads::slot(quint64 hash)
{
    for (quint64 at = mix(hash) & mask;; at = (at + 1) & mask) {
        if (first[at] < 0) {
            hashes[at] = hash;
            return first[at];
        }
        if (hashes[at] == hash) {
            return first[at];
        }
    }
}

qsizetype LocalIndex::Heads::find(quint64 hash) const
{
    for (quint64 at = mix(hash) & mask;; at = (at + 1) & mask) {
        if (first[at] < 0 || hashes[at] == hash) {
            return first[at];
        }
    }
}

LocalIndex::LocalIndex(const CodeArray& library) : m_library(library)
{
    // Reading every record's texts is most of the work: a large library is shared out between threads,
    // and the texts of a record some way ahead are asked for before its turn.
    constexpr size_t Ahead = 8;
    std::vector<Keys> keys(library.size());
    runInSlices(library.size(), 65536, [&](size_t, size_t begin, size_t end) {
        for (size_t i = begin; i < end; ++i) {
            if (i + Ahead < end) {
                const SnippetRecord& ahead = library[i + Ahead];
                prefetchForRead(ahead.Title.constData());
                prefetchForRead(ahead.Code.bytes().data());
                prefetchForRead(ahead.Code.bytes().data() +
                                std::max<qsizetype>(0, ahead.Code.bytes().size() - EndUnits));
            }
            if (!library[i].Deleted) {
                keys[i] = keysOf(library[i]);
            }
        }
    });
    m_entries.reserve(library.size());
    for (size_t i = 0; i < library.size(); ++i) {
        if (!library[i].Deleted) {
            m_entries.push_back({qsizetype(i), keys[i]});
        }
    }
    m_byTitle.reserve(m_entries.size());
    m_byFull.reserve(m_entries.size());
    // Backwards, each entry put in front of its chain: every chain runs from the lowest index up.
    for (qsizetype e = qsizetype(m_entries.size()) - 1; e >= 0; --e) {
        Entry& entry = m_entries[size_t(e)];
        qsizetype& title = m_byTitle.slot(entry.keys.titleHash);
        entry.nextSameTitle = title;
        title = e;
        qsizetype& full = m_byFull.slot(entry.keys.fullHash);
        entry.nextSameFull = full;
        full = e;
    }
}

LocalIndex::Keys LocalIndex::keysOf(const SnippetRecord& record)
{
    PolyHash title;
    title.feed(record.Language);
    title.feed(record.Title);
    Keys keys;
    keys.titleAscii = title.ascii();
    // Outside ASCII the hash is taken of the lower-cased joined text, which is what is compared.
    keys.titleHash =
        keys.titleAscii ? title.hash : hashOf(TextCodec::lowerJoined({record.Language, record.Title}));
    if (const std::optional<quint64> ends = asciiEndsHash(record)) {
        keys.fullHash = *ends;
    } else {
        const QString full = fullKey(record);
        const qsizetype units = std::min(full.size(), EndUnits);
        keys.fullHash = endsHash(QStringView(full).first(units), QStringView(full).last(units));
    }
    return keys;
}

bool LocalIndex::isUnique(const SnippetRecord& staged, const Keys& keys) const
{
    for (qsizetype e = m_byFull.find(keys.fullHash); e >= 0; e = m_entries[size_t(e)].nextSameFull) {
        const Entry& entry = m_entries[size_t(e)];
        const SnippetRecord& local = m_library[size_t(entry.index)];
        if (equalFull(local, staged, entry.keys.titleAscii && keys.titleAscii)) {
            return false;
        }
    }
    return true;
}

bool LocalIndex::isMatching(const SnippetRecord& staged, const Keys& keys) const
{
    for (qsizetype e = m_byTitle.find(keys.titleHash); e >= 0; e = m_entries[size_t(e)].nextSameTitle) {
        const Entry& entry = m_entries[size_t(e)];
        const SnippetRecord& local = m_library[size_t(entry.index)];
        if (!equalLowered({local.Language, local.Title}, entry.keys.titleAscii,
                          {staged.Language, staged.Title}, keys.titleAscii)) {
            continue;
        }
        if (!equalCode(local.Code, staged.Code)) {
            return true;
        }
    }
    return false;
}

LocalIndex::Verdict LocalIndex::compare(const SnippetRecord& staged) const
{
    const Keys keys = keysOf(staged);
    return {isUnique(staged, keys), isMatching(staged, keys)};
}

namespace Comparison {

qsizetype FindMatchToRemote(const CodeArray& library, const QString& titleKey)
{
    for (size_t i = 0; i < library.size(); ++i) {
        const SnippetRecord& record = library[i];
        if (!record.Deleted && TextCodec::lowerJoined({record.Language, record.Title}) == titleKey) {
            return qsizetype(i);
        }
    }
    return -1;
}

QString titleKey(const QString& language, const QString& title)
{
    return TextCodec::lowerJoined({language, title});
}

namespace {

template <typename Listed>
std::vector<Row> fill(const LocalIndex& index, const CodeArray& staged, const QString& language,
                      Listed listed)
{
    const QString shown = language.toLower();
    std::vector<Row> rows;
    for (size_t i = 0; i < staged.size(); ++i) {
        const SnippetRecord& record = staged[i];
        if (!shown.isEmpty() && record.Language.toLower() != shown) {
            continue;
        }
        const LocalIndex::Verdict verdict = index.compare(record);
        if (const std::optional<bool> red = listed(verdict)) {
            rows.push_back({qsizetype(i), record.Language, record.Category, record.Title, *red});
        }
    }
    return rows;
}

} // namespace

std::vector<Row> FillListViewRemote(const LocalIndex& index, const CodeArray& staged, const QString& language)
{
    return fill(index, staged, language, [](const LocalIndex::Verdict& v) {
        return v.unique ? std::optional<bool>(v.matching) : std::nullopt;
    });
}

std::vector<Row> FillListViewRemoteMatching(const LocalIndex& index, const CodeArray& staged,
                                            const QString& language)
{
    return fill(index, staged, language, [](const LocalIndex::Verdict& v) {
        return v.matching ? std::optional<bool>(true) : std::nullopt;
    });
}

namespace {

QString statusText(qsizetype listed, qsizetype staged, const char* what, const QString& importFileName)
{
    QString text =
        QString::number(listed) + QLatin1String(" of ") + QString::number(staged) + QLatin1String(what);
    if (!importFileName.isEmpty()) {
        text += QLatin1String("  Local file name:   ") + importFileName;
    }
    return text;
}

} // namespace

QString differencesStatus(qsizetype listed, qsizetype staged, const QString& importFileName)
{
    return importFileName.isEmpty()
               ? statusText(listed, staged, " source code snippet have differences", importFileName)
               : statusText(listed, staged, " source code snippet have differences.", importFileName);
}

QString matchingStatus(qsizetype listed, qsizetype staged, const QString& importFileName)
{
    return statusText(listed, staged,
                      " source code snippets have matching snippet titles but different code.",
                      importFileName);
}

} // namespace Comparison
