#include "store/DatabaseFile.h"

#include "store/CodeArena.h"
#include "store/DateStamp.h"
#include "store/Prefetch.h"
#include "store/SafeFile.h"
#include "store/Slices.h"
#include "store/TextCodec.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <iterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QtAlgorithms>
#include <thread>
#include <tuple>
#include <type_traits>

#if defined(Q_OS_UNIX)
#include <sys/mman.h>
#include <unistd.h>
#endif

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr char Crlf[] = "\r\n";
constexpr qsizetype FlushSize = 4 * 1024 * 1024;

// A piece of the file's bytes. Markers are ASCII, so the file is split into lines and blocks on its
// bytes, and only the field values are decoded, each on its own.
struct Slice
{
    qsizetype begin = 0;
    qsizetype size = 0;
    bool mixedBreaks = false; // holds line breaks other than CR LF, to be rewritten as CR LF
};

struct Collected
{
    Slice title, language, category, keywords, date;
    Slice objectName, objectFlag, objectStart, objectLength;
    Slice dText, code, hText;
};

class LineReader
{
public:
    explicit LineReader(QByteArrayView bytes) : m_data(bytes.data()), m_size(bytes.size())
    {
        // Libraries edited with Unix tools have no CR at all; then LF ends a line.
        m_lfMode = !bytes.contains('\r') && bytes.contains('\n');
    }

    bool lfMode() const { return m_lfMode; }

    // The next line as [begin, end) without its line end; crlf tells whether that end was CR LF.
    bool next(qsizetype& begin, qsizetype& end, bool& crlf)
    {
        if (m_pos >= m_size) {
            return false;
        }
        begin = m_pos;
        end = findStop(m_pos);
        if (end < 0) {
            end = m_size;
            m_pos = m_size;
            crlf = false;
            return true;
        }
        crlf = stepOver(end);
        return true;
    }

    // Moves past the lines before the next one that begins with "----" (none of which ends a block or
    // starts a record), with one search per line and no other test. [begin, end) spans them; lastCrlf
    // tells how the last one ended, loneBreak whether another one did not end with CR LF. False when
    // the next line begins with "----" or there is none.
    bool skipPlainLines(qsizetype& begin, qsizetype& end, bool& lastCrlf, bool& loneBreak)
    {
        if (m_pos >= m_size || startsWithDashes(m_pos)) {
            return false;
        }
        begin = m_pos;
        loneBreak = false;
        bool any = false;
#if defined(__SSE2__)
        // Sixty-four bytes at a time, every line end in them taken from one mask: no search per line.
        const __m128i stops = _mm_set1_epi8(m_lfMode ? '\n' : '\r');
        for (qsizetype block = m_pos; block + 64 <= m_size; block += 64) {
            quint64 mask = 0;
            for (int k = 0; k < 4; ++k) {
                const __m128i bytes =
                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(m_data + block + 16 * k));
                m_high |= unsigned(_mm_movemask_epi8(bytes));
                mask |= quint64(unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, stops)))) << (16 * k);
            }
            for (; mask != 0; mask &= mask - 1) {
                if (any && !lastCrlf) {
                    loneBreak = true;
                }
                any = true;
                end = block + __builtin_ctzll(mask);
                lastCrlf = stepOver(end);
                if (m_pos >= m_size || startsWithDashes(m_pos)) {
                    return true;
                }
            }
        }
#endif
        for (;;) {
            if (any && !lastCrlf) {
                loneBreak = true;
            }
            any = true;
            qsizetype lineBegin = 0;
            next(lineBegin, end, lastCrlf);
            if (m_pos >= m_size || startsWithDashes(m_pos)) {
                return true;
            }
        }
    }

    // The next line, without moving on.
    bool peek(qsizetype& begin, qsizetype& end) const
    {
        LineReader ahead = *this;
        bool crlf = false;
        return ahead.next(begin, end, crlf);
    }

    template <size_t N> bool startsWith(qsizetype begin, qsizetype end, const char (&marker)[N]) const
    {
        return end - begin >= qsizetype(N - 1) && std::memcmp(m_data + begin, marker, N - 1) == 0;
    }

    // Goes on from at, a line start.
    void seek(qsizetype at)
    {
        m_pos = at;
    }

    // Goes on where other, a reader of the same bytes further on, stands, with what it has seen.
    void takeOver(const LineReader& other)
    {
        m_pos = other.m_pos;
        m_high |= other.m_high;
    }

    // Whether some byte the reader looked at is beyond ASCII: every byte before position(), and the
    // few past it that a sixteen- or sixty-four-byte load took in. False means all before are ASCII.
    bool sawHighBytes() const
    {
        return m_high != 0;
    }

    // Where the next line begins.
    qsizetype position() const
    {
        return m_pos;
    }

    // The writer starts every record with a line that is exactly "----T".
    bool isRecordStart(qsizetype begin, qsizetype end) const
    {
        return end - begin == 5 && std::memcmp(m_data + begin, "----T", 5) == 0;
    }

private:
    // Moves past the line end at end; true when it was CR LF.
    bool stepOver(qsizetype end)
    {
        const bool crlf = !m_lfMode && end + 1 < m_size && m_data[end + 1] == '\n';
        m_pos = end + (crlf ? 2 : 1);
        return crlf;
    }

    // The first byte from at on that ends a line, or -1. Lines are short, so an inline search of
    // sixteen bytes at a time beats a call per line.
    qsizetype findStop(qsizetype at)
    {
        const char stop = m_lfMode ? '\n' : '\r';
#if defined(__SSE2__)
        const __m128i stops = _mm_set1_epi8(stop);
        for (; at + 16 <= m_size; at += 16) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(m_data + at));
            m_high |= unsigned(_mm_movemask_epi8(bytes));
            const unsigned mask = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, stops)));
            if (mask != 0) {
                return at + __builtin_ctz(mask);
            }
        }
#endif
        const void* hit = std::memchr(m_data + at, stop, size_t(m_size - at));
        const qsizetype found = hit ? static_cast<const char*>(hit) - m_data : -1;
        for (qsizetype i = at; i < (hit ? found : m_size); ++i) {
            m_high |= uchar(m_data[i]) & 0x80;
        }
        return found;
    }

    bool startsWithDashes(qsizetype at) const
    {
        return m_size - at >= 4 && std::memcmp(m_data + at, "----", 4) == 0;
    }

    const char* m_data;
    qsizetype m_size;
    qsizetype m_pos = 0;
    bool m_lfMode = false;
    unsigned m_high = 0; // the high bits of bytes looked at, ORed
};

// A text block's value, decoded or as UTF-8 bytes, with every line break made CR LF. Line breaks are
// ASCII in both, so the two give the same text.
template <typename Text> Text joinBreaks(Text value, bool lfMode)
{
    using Unit = typename Text::value_type;
    if (lfMode) {
        if constexpr (std::is_same_v<Text, QString>) {
            return value.replace(u'\n', QLatin1String(Crlf));
        } else {
            return value.replace('\n', Crlf);
        }
    }
    Text joined;
    joined.reserve(value.size() + value.size() / 16);
    for (qsizetype i = 0; i < value.size(); ++i) {
        joined += value[i];
        if (value[i] == Unit('\r') && (i + 1 >= value.size() || value[i + 1] != Unit('\n'))) {
            joined += Unit('\n');
        }
    }
    return joined;
}

// Valid UTF-8 bytes without the byte order mark at their start that QString::fromUtf8 drops.
QByteArrayView withoutByteOrderMark(QByteArrayView bytes)
{
    return bytes.startsWith("\xEF\xBB\xBF") ? bytes.sliced(3) : bytes;
}

// The code of a text block from its valid UTF-8 bytes, as joinBreaks reads the decoded text.
CodeText utf8Code(QByteArrayView bytes, bool mixedBreaks, bool lfMode)
{
    if (bytes.isEmpty()) {
        return CodeText();
    }
    return CodeText::fromValidUtf8(mixedBreaks ? joinBreaks(bytes.toByteArray(), lfMode)
                                               : bytes.toByteArray());
}

// Gives the pages of a mapped file's bytes back as the reader passes them, so that a large library
// is not resident twice, once mapped and once read, at its peak. The pages stay mapped: touching one
// again reads it back in.
class PageRelease
{
public:
    PageRelease() = default;
    PageRelease(const char* mapped, qsizetype from) : m_mapped(mapped)
    {
#if defined(Q_OS_UNIX)
        m_page = qsizetype(sysconf(_SC_PAGESIZE));
#endif
        m_released = m_page > 0 ? (from + m_page - 1) / m_page * m_page : 0;
    }

    // Every byte before at has been read.
    void passed(qsizetype at)
    {
#if defined(Q_OS_UNIX)
        if (m_mapped && m_page > 0 && at - m_released >= Step) {
            const qsizetype end = at / m_page * m_page;
            madvise(const_cast<char*>(m_mapped) + m_released, size_t(end - m_released), MADV_DONTNEED);
            m_released = end;
        }
#else
        Q_UNUSED(at);
#endif
    }

private:
    static constexpr qsizetype Step = 4 * 1024 * 1024;
    const char* m_mapped = nullptr;
    qsizetype m_page = 0;
    qsizetype m_released = 0;
};

class Parser
{
public:
    // A walk that decodes nothing: it only counts the records, for a check that needs no values, or
    // with spans keeps each record's places there.
    explicit Parser(QByteArrayView bytes, std::vector<DatabaseFile::RecordSpans>* spans = nullptr)
        : m_bytes(bytes), m_lines(bytes), m_utf8(true), m_decode(false), m_spans(spans)
    {}

    // A reader of the records, whose bytes are UTF-8 or not as utf8 says; mapped bytes give their pages
    // back through release as the records are read from them.
    Parser(QByteArrayView bytes, bool utf8, PageRelease release)
        : m_bytes(bytes), m_lines(bytes), m_utf8(utf8), m_decode(true), m_spans(nullptr), m_release(release)
    {}

    // Copies the code of the records into one block from the line start at on; without this each
    // code has an allocation of its own.
    void collectCodeFrom(qsizetype at) { m_arena = std::make_shared<CodeArena>(m_bytes.size() - at); }

    bool lfMode() const { return m_lines.lfMode(); }
    bool sawHighBytes() const { return m_lines.sawHighBytes(); }
    qsizetype position() const { return m_lines.position(); }

    qsizetype counted() const { return m_counted; }

    void run(DatabaseFile::ReadResult& result)
    {
        read(result);
        finish(result);
    }

    // Reads the records from the line start at on, without the header, as if the records before it
    // had all been whole; the first half's parser takes over what this one finds (takeOver).
    void startAt(qsizetype at) { m_from = at; }

    // Stops at the line start at when it gets there between two records, as a parser that
    // startAt(at) begins; otherwise reads on to the end.
    void stopAt(qsizetype at) { m_joinAt = at; }

    // Whether the parser stopped at its stopAt() point.
    bool joined() const { return m_joined; }

    void read(DatabaseFile::ReadResult& result)
    {
        readRecords(result);
        if (m_arena) {
            m_arena->close();
        }
    }

    // Carries on with what the parser that started at this one's stopping point found.
    void takeOver(Parser& after, DatabaseFile::ReadResult& result,
                  const DatabaseFile::ReadResult& afterResult)
    {
        m_counted += after.m_counted;
        m_starts += after.m_starts;
        m_startedRecords += after.m_startedRecords;
        m_lostTitles += after.m_lostTitles;
        m_nonUtf8 += after.m_nonUtf8;
        m_open = after.m_open;
        m_openCounted = after.m_openCounted;
        m_lines.takeOver(after.m_lines);
        result.complete = afterResult.complete;
    }

    void finish(DatabaseFile::ReadResult& result)
    {
        // A record still open when the file ends is cut off, which the missing end marker tells.
        const qsizetype cutOff = !result.complete && m_open && m_openCounted ? 1 : 0;
        result.recordStarts = m_starts;
        result.lostRecords = std::max<qsizetype>(0, m_starts - cutOff - m_startedRecords);
        result.lostTitles = std::move(m_lostTitles);
        result.nonUtf8Bytes = m_nonUtf8;
    }

private:
    void readRecords(DatabaseFile::ReadResult& result)
    {
        Slice ignored;
        if (m_from >= 0) {
            m_lines.seek(m_from);
        }
        for (int i = 0; i < 4 && m_from < 0; ++i) {
            if (!line(ignored)) {
                return;
            }
        }
        Collected values;
        bool between = true; // no part of a record read since the last one ended
        qsizetype begin = 0, end = 0;
        bool crlf = false;
        for (;;) {
            if (m_joinAt >= 0 && m_lines.position() >= m_joinAt) {
                if (m_lines.position() == m_joinAt && between) {
                    m_joined = true;
                    return;
                }
                m_joinAt = -1;
            }
            if (!m_lines.next(begin, end, crlf)) {
                return;
            }
            if (m_lines.startsWith(begin, end, "+++++")) {
                result.complete = true;
                return;
            }
            const char kind =
                end - begin >= 5 && m_lines.startsWith(begin, end, "----") ? m_bytes[begin + 4] : 0;
            between = between && kind != 'T' && kind != 'O' && kind != 'D' && kind != 'C' && kind != 'H';
            switch (kind) {
            case 'T':
                if (m_open && m_openCounted) {
                    // The previous record never reached its "----H": a damaged block ended early.
                    m_lostTitles.append(text(values.title));
                }
                m_open = true;
                m_openCounted = m_lines.isRecordStart(begin, end);
                m_starts += m_openCounted ? 1 : 0;
                if (!recordLine(values.title) || !recordLine(values.language) ||
                    !recordLine(values.category) || !recordLine(values.keywords) ||
                    !recordLine(values.date) || !recordLine(ignored)) {
                    return;
                }
                break;
            case 'O':
                if (!objectBlock(values)) {
                    return;
                }
                break;
            case 'D':
                if (!textBlock(values.dText)) {
                    return;
                }
                break;
            case 'C':
                if (!textBlock(values.code)) {
                    return;
                }
                break;
            case 'H':
                if (!textBlock(values.hText)) {
                    return;
                }
                if (m_decode) {
                    result.records.push_back(record(values));
                    m_release.passed(m_lines.position());
                } else if (m_spans) {
                    m_spans->push_back(spans(values));
                }
                ++m_counted;
                values = Collected();
                between = true;
                // A record without a start of its own is the rest of one whose start a block read on into.
                m_startedRecords += m_open && m_openCounted ? 1 : 0;
                m_open = false;
                break;
            default: // any other line is skipped
                break;
            }
        }
    }

    bool line(Slice& slice)
    {
        qsizetype end = 0;
        bool crlf = false;
        if (!m_lines.next(slice.begin, end, crlf)) {
            return false;
        }
        slice.size = end - slice.begin;
        slice.mixedBreaks = false;
        return true;
    }

    bool recordLine(Slice& slice)
    {
        if (!line(slice)) {
            return false;
        }
        noteSwallowedStart(slice.begin, slice.begin + slice.size);
        return true;
    }

    // A "----T" line read as part of a record is most likely the start of the next record, which a
    // block without its "----E" read on into; its title is the line after it.
    void noteSwallowedStart(qsizetype begin, qsizetype end)
    {
        if (!m_lines.isRecordStart(begin, end)) {
            return;
        }
        ++m_starts;
        qsizetype titleBegin = 0, titleEnd = 0;
        if (m_lines.peek(titleBegin, titleEnd)) {
            m_lostTitles.append(text(Slice{titleBegin, titleEnd - titleBegin, false}));
        }
    }

    bool objectBlock(Collected& values)
    {
        Slice* fields[] = {&values.objectName, &values.objectFlag, &values.objectStart, &values.objectLength};
        qsizetype begin = 0, end = 0;
        bool crlf = false;
        for (int n = 0;; ++n) {
            if (!m_lines.next(begin, end, crlf)) {
                return false;
            }
            if (m_lines.startsWith(begin, end, "----E")) {
                return true;
            }
            noteSwallowedStart(begin, end);
            if (n < 4) {
                *fields[n] = Slice{begin, end - begin, false};
            }
        }
    }

    // The lines up to "----E" joined with CR LF. When every line in between ended with CR LF that
    // is exactly the bytes they occupy, so the value stays one slice of the file.
    bool textBlock(Slice& slice)
    {
        slice = Slice();
        qsizetype begin = 0, end = 0;
        bool crlf = false;
        bool first = true;
        bool previousCrlf = true;
        for (;;) {
            // Most lines of a block are plain text, passed over in one go.
            bool loneBreak = false;
            if (m_lines.skipPlainLines(begin, end, crlf, loneBreak)) {
                if (first) {
                    slice.begin = begin;
                    first = false;
                } else if (!previousCrlf) {
                    slice.mixedBreaks = true;
                }
                slice.mixedBreaks = slice.mixedBreaks || loneBreak;
                slice.size = end - slice.begin;
                previousCrlf = crlf;
            }
            if (!m_lines.next(begin, end, crlf)) {
                return false;
            }
            if (m_lines.startsWith(begin, end, "----E")) {
                return true;
            }
            noteSwallowedStart(begin, end);
            if (first) {
                slice.begin = begin;
                first = false;
            } else if (!previousCrlf) {
                slice.mixedBreaks = true;
            }
            slice.size = end - slice.begin;
            previousCrlf = crlf;
        }
    }

    // The value of a slice; bytes that are not UTF-8 are added to nonUtf8.
    QString text(const Slice& slice, qsizetype* nonUtf8 = nullptr) const
    {
        if (slice.size == 0) {
            return QString();
        }
        const QByteArrayView bytes = m_bytes.sliced(slice.begin, slice.size);
        QString value = m_utf8 ? QString::fromUtf8(bytes) : TextCodec::decodeMixed(bytes, nonUtf8);
        return slice.mixedBreaks ? joinBreaks(std::move(value), m_lines.lfMode()) : value;
    }

    // The value text() gives, kept as UTF-8: bytes that are UTF-8 are taken as they are.
    CodeText code(const Slice& slice)
    {
        const QByteArrayView bytes = m_bytes.sliced(slice.begin, slice.size);
        if (m_utf8) {
            return utf8Code(withoutByteOrderMark(bytes), slice.mixedBreaks);
        }
        // A file that is not UTF-8 throughout is read with decodeMixed, which keeps a byte order mark.
        if (TextCodec::isUtf8(bytes)) {
            return utf8Code(bytes, slice.mixedBreaks);
        }
        return CodeText(text(slice, &m_nonUtf8));
    }

    // utf8Code, with bytes that need no change copied into the arena where there is one.
    CodeText utf8Code(QByteArrayView bytes, bool mixedBreaks)
    {
        if (m_arena && !mixedBreaks) {
            const QByteArrayView copied = m_arena->add(bytes);
            if (!copied.isEmpty()) {
                return CodeText::fromValidUtf8(copied, m_arena);
            }
        }
        return ::utf8Code(bytes, mixedBreaks, m_lines.lfMode());
    }

    static DatabaseFile::Span span(const Slice& slice)
    {
        return {slice.begin, slice.size, slice.mixedBreaks};
    }

    static DatabaseFile::RecordSpans spans(const Collected& v)
    {
        return {span(v.title),        span(v.language),   span(v.category),   span(v.keywords),
                span(v.date),         span(v.objectName), span(v.objectFlag), span(v.objectStart),
                span(v.objectLength), span(v.dText),      span(v.code),       span(v.hText)};
    }

    qint32 number(const Slice& slice) const { return LeadingNumber(m_bytes.sliced(slice.begin, slice.size)); }

    // Neighbouring records mostly share language, category, keywords and date: when the bytes match
    // the previous record's, its string is shared instead of decoded again. A library has few
    // languages, categories and sets of keywords, so the values seen are also kept by their bytes,
    // up to a limit, and shared by every record that has them.
    struct Repeated
    {
        Slice slice;
        QString value;
        qsizetype nonUtf8 = 0;
        QHash<QByteArray, std::pair<QString, qsizetype>> seen; // bytes: value, bytes not UTF-8
    };
    static constexpr qsizetype KeptValues = 1024;

    QString shared(const Slice& slice, Repeated& last, bool keep = true)
    {
        if (slice.size != last.slice.size ||
            std::memcmp(m_bytes.data() + slice.begin, m_bytes.data() + last.slice.begin,
                        size_t(slice.size)) != 0) {
            last.slice = slice;
            const QByteArray bytes = QByteArray::fromRawData(m_bytes.data() + slice.begin, slice.size);
            const auto found = keep ? last.seen.constFind(bytes) : last.seen.constEnd();
            if (found != last.seen.constEnd()) {
                std::tie(last.value, last.nonUtf8) = found.value();
            } else {
                last.nonUtf8 = 0;
                last.value = text(slice, &last.nonUtf8);
                if (keep && last.seen.size() < KeptValues) {
                    last.seen.insert(QByteArray(bytes.constData(), bytes.size()), {last.value, last.nonUtf8});
                }
            }
        }
        m_nonUtf8 += last.nonUtf8;
        return last.value;
    }

    SnippetRecord record(const Collected& v)
    {
        SnippetRecord r;
        r.Title = text(v.title, &m_nonUtf8);
        r.Language = shared(v.language, m_lastLanguage);
        r.Category = shared(v.category, m_lastCategory);
        r.Keywords = shared(v.keywords, m_lastKeywords);
        r.Date = shared(v.date, m_lastDate, false);
        r.ObjectName = text(v.objectName, &m_nonUtf8);
        r.ObjectFlag = number(v.objectFlag);
        r.ObjectStart = number(v.objectStart);
        r.ObjectLength = number(v.objectLength);
        r.DText = text(v.dText, &m_nonUtf8);
        r.Code = code(v.code);
        r.HText = text(v.hText, &m_nonUtf8);
        return r;
    }

    QByteArrayView m_bytes;
    LineReader m_lines;
    bool m_utf8;
    bool m_decode;
    std::vector<DatabaseFile::RecordSpans>* m_spans;
    qsizetype m_counted = 0;
    Repeated m_lastLanguage, m_lastCategory, m_lastKeywords, m_lastDate;
    qsizetype m_nonUtf8 = 0;
    qsizetype m_starts = 0;
    qsizetype m_startedRecords = 0; // records read that began with a counted start
    bool m_open = false;            // a record has begun and not reached its "----H" yet
    bool m_openCounted = false;     // and its start line was counted
    qsizetype m_from = -1;          // startAt()
    qsizetype m_joinAt = -1;        // stopAt(), until passed
    bool m_joined = false;
    QStringList m_lostTitles;
    PageRelease m_release;
    std::shared_ptr<CodeArena> m_arena;
};

// Builds the file's bytes in a buffer and, when writing to a file, hands them on every few MB so a
// large library never needs a second full copy in memory. A full buffer is written on a thread of its
// own while the next one is built: copying a large library into the system's file cache takes about
// as long as building its bytes. The file sees the same writes in the same order as without it.
class Emitter
{
public:
    explicit Emitter(SafeFile* file = nullptr) : m_file(file) {}
    ~Emitter() { waitForWrite(); }
    Emitter(const Emitter&) = delete;
    Emitter& operator=(const Emitter&) = delete;

    void raw(const char* text) { m_buffer.append(text); }

    void line(QStringView text)
    {
        TextCodec::appendUtf8(m_buffer, text);
        m_buffer.append(Crlf, 2);
    }

    void line(const CodeText& code)
    {
        m_buffer.append(code.bytes());
        m_buffer.append(Crlf, 2);
    }

    // " 1 " for a value that is not negative, "-1 " for a negative one.
    void number(qint32 value)
    {
        char digits[16] = {' '};
        char* first = value >= 0 ? digits + 1 : digits;
        char* last = std::to_chars(first, digits + sizeof digits, value).ptr;
        m_buffer.append(digits, last - digits);
        m_buffer.append(" \r\n", 3);
    }

    void record(const SnippetRecord& r)
    {
        raw("----T\r\n");
        line(r.Title);
        line(r.Language);
        line(r.Category);
        line(r.Keywords);
        line(r.Date);
        raw("<reserved>\r\n----O\r\n");
        line(r.ObjectName);
        number(r.ObjectFlag);
        number(r.ObjectStart);
        number(r.ObjectLength);
        raw("----E\r\n----D\r\n");
        line(r.DText);
        raw("----E\r\n----C\r\n");
        line(r.Code);
        raw("----E\r\n----H\r\n");
        line(r.HText);
        raw("----E\r\n");
        if (m_file && m_buffer.size() >= FlushSize) {
            handOver();
        }
    }

    void all(const CodeArray& records, const QString& savedAt)
    {
        raw(DatabaseFile::HeaderLine);
        raw(Crlf);
        raw(DatabaseFile::PublisherLine);
        raw(Crlf);
        raw(DatabaseFile::WebAddressLine);
        raw(Crlf);
        line(savedAt);
        // Records in library order lie all over memory: the texts of one some way ahead are asked for
        // before its turn.
        constexpr size_t Ahead = 8;
        for (size_t i = 0; i < records.size(); ++i) {
            if (i + Ahead < records.size()) {
                prefetchFields(records[i + Ahead]);
            }
            if (!records[i].Deleted) {
                record(records[i]);
            }
            if (!m_ok) {
                return;
            }
        }
        raw(DatabaseFile::EndMarker);
        raw(Crlf);
    }

    // Writes what is left once the write before has ended; false when any write failed.
    bool flush()
    {
        if (waitForWrite() && !m_buffer.isEmpty() && !m_file->write(m_buffer)) {
            m_ok = false;
        }
        m_buffer.resize(0);
        return m_ok;
    }

    QByteArray take() { return std::move(m_buffer); }

private:
    // Starts writing the buffer on the writing thread, once the write before has ended, and goes on
    // in the buffer that one used.
    void handOver()
    {
        if (waitForWrite()) {
            std::swap(m_buffer, m_writing);
            m_writer = std::thread([this] { m_written = m_file->write(m_writing); });
        }
        m_buffer.resize(0);
    }

    // Whether every write so far succeeded, after the one under way has ended.
    bool waitForWrite()
    {
        if (m_writer.joinable()) {
            m_writer.join();
            m_ok = m_ok && m_written;
        }
        return m_ok;
    }

    SafeFile* m_file;
    QByteArray m_buffer;
    QByteArray m_writing; // the writing thread's alone while it runs
    bool m_written = true;
    std::thread m_writer;
    bool m_ok = true;
};

// The reader takes a line that is exactly "----T" inside a record for the start of a record that a
// block without its "----E" read on into, and reports the library damaged; no value may hold one.
bool isRecordStartLine(QStringView text, qsizetype at)
{
    const QStringView rest = text.sliced(at);
    return rest.startsWith(QLatin1String("----T")) && (rest.size() == 5 || rest[5] == u'\r');
}

// A value read from a UTF-8 file loses a byte-order mark it begins with, so one saved with it would
// come back without it; it goes now, where it is seen.
bool dropLeadingMarks(QString& value)
{
    qsizetype marks = 0;
    while (marks < value.size() && value[marks] == QChar(0xFEFF)) {
        ++marks;
    }
    value.remove(0, marks);
    return marks > 0;
}

// Whether a one-line value can be written as it is. Every save asks this of every field, so it
// looks at the value once.
bool lineFits(QStringView value)
{
    if (value.isEmpty()) {
        return true;
    }
    if (value.front() == QChar(0xFEFF) || value == QLatin1String("----T")) {
        return false;
    }
    return std::none_of(value.begin(), value.end(), [](QChar c) { return c == u'\r' || c == u'\n'; });
}

bool fitLine(QString& value)
{
    if (lineFits(value)) {
        return false;
    }
    bool changed = dropLeadingMarks(value);
    if (value.contains(u'\r') || value.contains(u'\n')) {
        value.replace(QLatin1String(Crlf), QLatin1String(" "));
        value.replace(u'\r', u' ');
        value.replace(u'\n', u' ');
        changed = true;
    }
    if (value == QLatin1String("----T")) {
        value.prepend(u' ');
        changed = true;
    }
    return changed;
}

// The object block is read until "----E", so an object name must not look like its end.
bool fitObjectName(QString& value)
{
    bool changed = fitLine(value);
    if (value.startsWith(QLatin1String("----E"))) {
        value.prepend(u' ');
        changed = true;
    }
    return changed;
}

// A line beginning at this point would end its block, or be taken for a record start.
bool breaksBlock(QStringView text, qsizetype at)
{
    return text.sliced(at).startsWith(QLatin1String("----E")) || isRecordStartLine(text, at);
}

bool breaksBlock(QByteArrayView text, qsizetype at)
{
    const QByteArrayView rest = text.sliced(at);
    return rest.startsWith("----E") || (rest.startsWith("----T") && (rest.size() == 5 || rest[5] == '\r'));
}

// Whether the CR at i in UTF-8 text is followed by LF and the line after it leaves the block open.
bool breakFits(QByteArrayView text, qsizetype i)
{
    const qsizetype n = text.size();
    return i + 1 < n && text[i + 1] == '\n' && !(i + 2 < n && text[i + 2] == '-' && breaksBlock(text, i + 2));
}

// blockFits on UTF-8 bytes, where the line breaks are the same bytes. Every save runs it over the
// whole library's code, so it finds the CRs sixteen bytes at a time.
bool blockFits(QByteArrayView text)
{
    if (breaksBlock(text, 0)) {
        return false;
    }
    const char* p = text.data();
    const qsizetype n = text.size();
    qsizetype i = 0;
#if defined(__SSE2__)
    const __m128i crs = _mm_set1_epi8('\r');
    for (; i + 16 <= n; i += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        for (unsigned mask = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, crs))); mask != 0;
             mask &= mask - 1) {
            if (!breakFits(text, i + qCountTrailingZeroBits(mask))) {
                return false;
            }
        }
    }
#endif
    for (; i < n; ++i) {
        if (p[i] == '\r' && !breakFits(text, i)) {
            return false;
        }
    }
    return true;
}

// Whether every CR in text is followed by LF and no line breaks its block (breaksBlock). Runs on every save
// over the whole library, so it skips four UTF-16 units at a time while none of them is a CR.
bool blockFits(QStringView text)
{
    if (breaksBlock(text, 0)) {
        return false;
    }
    const char16_t* p = text.utf16();
    const qsizetype n = text.size();
    constexpr quint64 Ones = 0x0001000100010001ULL;
    constexpr quint64 Highs = 0x8000800080008000ULL;
    constexpr quint64 Crs = 0x000D000D000D000DULL;
    qsizetype i = 0;
    while (i < n) {
        while (i + 4 <= n) {
            quint64 units;
            std::memcpy(&units, p + i, 8);
            const quint64 x = units ^ Crs;
            if ((x - Ones) & ~x & Highs) {
                break;
            }
            i += 4;
        }
        const qsizetype stop = std::min(n, i + 4);
        for (; i < stop; ++i) {
            if (p[i] == u'\r') {
                if (i + 1 >= n || p[i + 1] != u'\n' ||
                    (i + 2 < n && p[i + 2] == u'-' && breaksBlock(text, i + 2))) {
                    return false;
                }
                ++i;
            }
        }
    }
    return true;
}

// A text block must not hold a lone CR (it would read back as CR LF), a line that begins with
// "----E" (it would end the block) nor a line "----T" (it would read as a lost record's start).
bool fitBlock(QString& value)
{
    const bool marks = dropLeadingMarks(value);
    if (blockFits(value)) {
        return marks;
    }
    QString fixed;
    fixed.reserve(value.size() + value.size() / 32 + 8);
    bool lineStart = true;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (lineStart && breaksBlock(value, i)) {
            fixed += u' ';
        }
        const QChar c = value[i];
        fixed += c;
        lineStart = false;
        if (c == u'\r') {
            fixed += u'\n';
            if (i + 1 < value.size() && value[i + 1] == u'\n') {
                ++i;
            }
            lineStart = true;
        }
    }
    value = std::move(fixed);
    return true;
}

// fitBlock for code, which mostly fits already: that is found on its bytes, without decoding it.
bool fitCode(CodeText& code)
{
    if (blockFits(code.bytes()) && !code.bytes().startsWith("\xEF\xBB\xBF")) {
        return false;
    }
    QString value = code.toString();
    fitBlock(value);
    code = value;
    return true;
}

} // namespace

namespace DatabaseFile {

namespace {

// Opens path and hands its bytes, mapped where possible, to parse(bytes, mapped).
template <typename Parse> ReadResult readWith(const QString& path, Parse parse)
{
    ReadResult result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = file.errorString();
        result.fileSize = QFileInfo(path).isFile() ? QFileInfo(path).size() : 0;
        return result;
    }
    result.fileSize = file.size();
    // Mapping spares a copy of a file that can be 150 MB and more; every value is copied or decoded
    // into its own string, so nothing refers to the mapping once parsing is done.
    QByteArray bytes;
    uchar* mapped = result.fileSize > 0 ? file.map(0, result.fileSize) : nullptr;
    if (mapped) {
        bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(mapped), result.fileSize);
    } else {
        bytes = file.readAll();
        if (file.error() != QFileDevice::NoError) {
            result.error = file.errorString();
            return result;
        }
    }
    result.opened = true;
    return parse(bytes, mapped != nullptr);
}

// Where a cut at or after at splits no character: the next byte that is not a continuation byte.
qsizetype characterStart(QByteArrayView bytes, qsizetype at)
{
    while (at < bytes.size() && (uchar(bytes[at]) & 0xC0) == 0x80) {
        ++at;
    }
    return at;
}

// Whether bytes from begin to end are valid UTF-8, giving mapped pages back as it goes: checked a few
// MB at a time, each piece cut so that no character is split.
bool isUtf8Between(QByteArrayView bytes, bool mapped, qsizetype begin, qsizetype end)
{
    PageRelease release = mapped ? PageRelease(bytes.data(), begin) : PageRelease();
    constexpr qsizetype Piece = 4 * 1024 * 1024;
    for (qsizetype from = begin; from < end;) {
        const qsizetype to = std::min(end, characterStart(bytes, std::min(end, from + Piece)));
        if (!TextCodec::isUtf8(bytes.sliced(from, to - from))) {
            return false;
        }
        release.passed(to);
        from = to;
    }
    return true;
}

// Where a second parser can start on bytes of at least splitFrom: the line start of a record start
// past the middle; -1 when the bytes are smaller or there is none.
qsizetype splitPoint(QByteArrayView bytes, qsizetype splitFrom)
{
    if (bytes.size() < splitFrom) {
        return -1;
    }
    const bool lf = !bytes.contains('\r') && bytes.contains('\n');
    const QByteArrayView start = lf ? QByteArrayView("\n----T\n") : QByteArrayView("\r\n----T\r\n");
    const qsizetype hit = bytes.indexOf(start, bytes.size() / 2);
    return hit < 0 ? -1 : hit + (lf ? 1 : 2);
}

// Reads bytes with parser to the end. From splitFrom bytes on, the part from a record start past the
// middle is read at the same time on a second thread, by the parser later(middle) makes. When parser
// gets there between two records, it takes over what that one found and joined(laterResult) adds its
// records; otherwise (a damaged block read on over the middle) parser has read on alone.
template <typename Later, typename Joined>
void readAll(QByteArrayView bytes, qsizetype splitFrom, Parser& parser, ReadResult& result, Later later,
             Joined joined)
{
    const qsizetype middle = splitPoint(bytes, splitFrom);
    if (middle < 0) {
        parser.run(result);
        return;
    }
    Parser second = later(middle);
    second.startAt(middle);
    ReadResult secondResult;
    std::thread thread([&] { second.read(secondResult); });
    parser.stopAt(middle);
    parser.read(result);
    thread.join();
    if (parser.joined()) {
        parser.takeOver(second, result, secondResult);
        joined(secondResult);
    }
    parser.finish(result);
}

// The records of bytes whose UTF-8 validity is known; mapped bytes give their pages back as they are
// read. From splitFrom bytes on, two threads read a half each.
ReadResult parseDecoded(QByteArrayView bytes, bool utf8, bool mapped, qsizetype splitFrom)
{
    ReadResult result;
    result.opened = true;
    result.fileSize = bytes.size();
    auto release = [&](qsizetype from) {
        return mapped ? PageRelease(bytes.constData(), from) : PageRelease();
    };
    // A file large enough for two threads has its code copied into a block for each of them.
    const bool large = bytes.size() >= splitFrom;
    Parser parser(bytes, utf8, release(0));
    if (large) {
        parser.collectCodeFrom(0);
    }
    readAll(
        bytes, splitFrom, parser, result,
        [&](qsizetype middle) {
            Parser later(bytes, utf8, release(middle));
            if (large) {
                later.collectCodeFrom(middle);
            }
            return later;
        },
        [&](ReadResult& second) {
            // With room for the snippets a session adds: the first of them then does not move every
            // record of a large library to a larger block.
            const size_t total = result.records.size() + second.records.size();
            result.records.reserve(total + total / 16);
            std::move(second.records.begin(), second.records.end(), std::back_inserter(result.records));
        });
    return result;
}

} // namespace

bool isUtf8(QByteArrayView bytes, bool mapped, qsizetype splitFrom)
{
    if (bytes.size() < splitFrom) {
        return isUtf8Between(bytes, mapped, 0, bytes.size());
    }
    const qsizetype middle = characterStart(bytes, bytes.size() / 2);
    bool second = true;
    std::thread other([&] { second = isUtf8Between(bytes, mapped, middle, bytes.size()); });
    const bool first = isUtf8Between(bytes, mapped, 0, middle);
    other.join();
    return first && second;
}

ReadResult read(const QString& path, qsizetype splitFrom)
{
    return readWith(path, [splitFrom](const QByteArray& bytes, bool mapped) {
        return parseDecoded(bytes, isUtf8(bytes, mapped, splitFrom), mapped, splitFrom);
    });
}

Shape scan(const QString& path)
{
    Shape shape;
    const ReadResult read = readWith(path, [&shape](const QByteArray& bytes, bool) {
        shape = scanBytes(bytes);
        ReadResult walked;
        walked.opened = true;
        return walked;
    });
    if (!read.opened) {
        shape.fileSize = read.fileSize;
        shape.error = read.error;
    }
    return shape;
}

Shape scanBytes(QByteArrayView bytes)
{
    ReadResult result;
    Parser parser(bytes);
    parser.run(result);
    Shape shape;
    shape.opened = true;
    shape.complete = result.complete;
    shape.fileSize = bytes.size();
    shape.records = parser.counted();
    return shape;
}

ReadResult parse(const QByteArray& bytes, qsizetype splitFrom)
{
    return parseDecoded(bytes, TextCodec::isUtf8(bytes), false, splitFrom);
}

ReadResult parseSpans(QByteArrayView bytes, std::vector<RecordSpans>* spans, Walk& walk, qsizetype splitFrom)
{
    ReadResult result;
    result.opened = true;
    result.fileSize = bytes.size();
    Parser parser(bytes, spans);
    std::vector<RecordSpans> laterSpans;
    readAll(
        bytes, splitFrom, parser, result,
        [&](qsizetype) { return Parser(bytes, spans ? &laterSpans : nullptr); },
        [&](const ReadResult&) {
            if (spans) {
                spans->insert(spans->end(), laterSpans.begin(), laterSpans.end());
            }
        });
    walk.records = parser.counted();
    walk.lfMode = parser.lfMode();
    walk.ascii = !parser.sawHighBytes();
    walk.end = parser.position();
    return result;
}

QString spanText(QByteArrayView bytes, const Span& span, bool lfMode)
{
    if (span.size == 0) {
        return QString();
    }
    QString value = QString::fromUtf8(bytes.sliced(span.begin, span.size));
    return span.mixedBreaks ? joinBreaks(std::move(value), lfMode) : value;
}

CodeText spanCode(QByteArrayView bytes, const Span& span, bool lfMode)
{
    return utf8Code(withoutByteOrderMark(bytes.sliced(span.begin, span.size)), span.mixedBreaks, lfMode);
}

bool write(const QString& path, const CodeArray& records, QString* error)
{
    SafeFile file(path);
    auto fail = [&](const QString& why) {
        if (error) {
            *error = QStringLiteral("Could not write %1: %2").arg(path, why);
        }
        return false;
    };
    if (!file.open()) {
        return fail(file.errorString());
    }
    Emitter emitter(&file);
    emitter.all(records, DateStamp::now());
    if (!emitter.flush() || !file.commit()) {
        return fail(file.errorString());
    }
    return true;
}

QByteArray serialize(const CodeArray& records, const QString& savedAt)
{
    Emitter emitter;
    emitter.all(records, savedAt);
    return emitter.take();
}

QList<qsizetype> fitToFormat(CodeArray& records)
{
    // A save runs this over the whole library. Records in library order lie all over memory, so the
    // texts of a record some way ahead are asked for before its turn, and a large library is shared
    // out between threads, each fitting the records of its own slice.
    constexpr size_t Ahead = 8;
    constexpr size_t ParallelFrom = 65536;
    std::vector<QList<qsizetype>> changed(sliceCount(records.size(), ParallelFrom));
    runInSlices(records.size(), ParallelFrom, [&](size_t slice, size_t begin, size_t end) {
        for (size_t i = begin; i < end; ++i) {
            if (i + Ahead < end) {
                prefetchFields(records[i + Ahead]);
            }
            SnippetRecord& r = records[i];
            if (r.Deleted) {
                continue;
            }
            bool c = fitLine(r.Title);
            c |= fitLine(r.Language);
            c |= fitLine(r.Category);
            c |= fitLine(r.Keywords);
            c |= fitLine(r.Date);
            c |= fitObjectName(r.ObjectName);
            c |= fitBlock(r.DText);
            c |= fitCode(r.Code);
            c |= fitBlock(r.HText);
            if (c) {
                changed[slice].append(qsizetype(i));
            }
        }
    });
    QList<qsizetype> all;
    for (const QList<qsizetype>& part : changed) {
        all.append(part);
    }
    return all;
}

} // namespace DatabaseFile
