#include "store/TextCodec.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F; the five bytes it leaves undefined keep
// their Latin-1 code points so that no byte is lost.
constexpr char16_t Cp1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                     0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                     0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                     0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr quint64 HighBits8 = 0x8080808080808080ULL;

bool isContinuation(uchar c)
{
    return (c & 0xC0) == 0x80;
}

// The length of the valid UTF-8 sequence at p[0] (p[0] >= 0x80), or 0 when there is none: a stray
// continuation byte, an overlong form, a surrogate, a value beyond U+10FFFF or a cut-off sequence.
qsizetype sequenceLength(const uchar* p, qsizetype left)
{
    const uchar c = p[0];
    if (c < 0xC2 || c >= 0xF5) {
        return 0;
    }
    const qsizetype n = c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    if (left < n) {
        return 0;
    }
    for (qsizetype k = 1; k < n; ++k) {
        if (!isContinuation(p[k])) {
            return 0;
        }
    }
    if ((c == 0xE0 && p[1] < 0xA0) || (c == 0xED && p[1] >= 0xA0) || (c == 0xF0 && p[1] < 0x90) ||
        (c == 0xF4 && p[1] >= 0x90)) {
        return 0;
    }
    return n;
}

// Libraries are mostly ASCII: skips it eight bytes at a time, returning the index of the first byte
// that is not ASCII (or n).
qsizetype skipAscii(const uchar* p, qsizetype i, qsizetype n)
{
#if defined(__SSE2__)
    while (i + 32 <= n) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + 16));
        if (_mm_movemask_epi8(_mm_or_si128(a, b)) != 0) {
            break;
        }
        i += 32;
    }
#endif
    while (i + 8 <= n) {
        quint64 word;
        std::memcpy(&word, p + i, 8);
        if (word & HighBits8) {
            break;
        }
        i += 8;
    }
    while (i < n && p[i] < 0x80) {
        ++i;
    }
    return i;
}

bool isValidUtf8(const uchar* p, qsizetype n)
{
    qsizetype i = skipAscii(p, 0, n);
    while (i < n) {
        const qsizetype length = sequenceLength(p + i, n - i);
        if (length == 0) {
            return false;
        }
        i = skipAscii(p, i + length, n);
    }
    return true;
}

char16_t cp1252(uchar c)
{
    return (c >= 0x80 && c < 0xA0) ? Cp1252High[c - 0x80] : char16_t(c);
}

} // namespace

namespace TextCodec {

bool isUtf8(QByteArrayView bytes)
{
    return isValidUtf8(reinterpret_cast<const uchar*>(bytes.data()), bytes.size());
}

bool isAscii(QByteArrayView bytes)
{
    return skipAscii(reinterpret_cast<const uchar*>(bytes.data()), 0, bytes.size()) == bytes.size();
}

QString decodeMixed(QByteArrayView bytes, qsizetype* nonUtf8Bytes)
{
    // Every byte gives at most one UTF-16 unit (four bytes give a surrogate pair).
    QString text(bytes.size(), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    char16_t* const first = out;
    const uchar* in = reinterpret_cast<const uchar*>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype foreign = 0;
    qsizetype i = 0;
    while (i < n) {
        const qsizetype ascii = skipAscii(in, i, n);
        for (; i < ascii; ++i) {
            *out++ = in[i];
        }
        if (i >= n) {
            break;
        }
        const uchar c = in[i];
        const qsizetype length = sequenceLength(in + i, n - i);
        if (length == 0) {
            *out++ = cp1252(c);
            ++foreign;
            ++i;
            continue;
        }
        char32_t code = c & (0x7F >> length);
        for (qsizetype k = 1; k < length; ++k) {
            code = (code << 6) | (in[i + k] & 0x3F);
        }
        if (code >= 0x10000) {
            *out++ = char16_t(0xD800 + ((code - 0x10000) >> 10));
            *out++ = char16_t(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            *out++ = char16_t(code);
        }
        i += length;
    }
    text.truncate(out - first);
    if (nonUtf8Bytes) {
        *nonUtf8Bytes += foreign;
    }
    return text;
}

QString decodeUtf8(QByteArrayView bytes)
{
    QString text = QString::fromUtf8(bytes);
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        text.prepend(QChar(0xFEFF));
    }
    return text;
}

QString decode(QByteArrayView bytes)
{
    return isUtf8(bytes) ? QString::fromUtf8(bytes) : decodeMixed(bytes);
}

void appendUtf8(QByteArray& out, QStringView text)
{
    const qsizetype start = out.size();
    // One UTF-16 unit never needs more than three bytes (a surrogate pair takes four for two units).
    out.resize(start + 3 * text.size());
    uchar* dst = reinterpret_cast<uchar*>(out.data()) + start;
    const char16_t* src = text.utf16();
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        while (i + 4 <= n) {
            quint64 units;
            std::memcpy(&units, src + i, 8);
            if (units & 0xFF80FF80FF80FF80ULL) {
                break;
            }
            dst[0] = uchar(src[i]);
            dst[1] = uchar(src[i + 1]);
            dst[2] = uchar(src[i + 2]);
            dst[3] = uchar(src[i + 3]);
            dst += 4;
            i += 4;
        }
        if (i >= n) {
            break;
        }
        char32_t c = src[i++];
        if (c >= 0xD800 && c < 0xE000) {
            const bool pair = c < 0xDC00 && i < n && src[i] >= 0xDC00 && src[i] < 0xE000;
            // A lone surrogate has no UTF-8 form; U+FFFD keeps the file valid UTF-8.
            c = pair ? 0x10000 + ((c - 0xD800) << 10) + (src[i++] - 0xDC00) : 0xFFFD;
        }
        if (c < 0x80) {
            *dst++ = uchar(c);
        } else if (c < 0x800) {
            *dst++ = uchar(0xC0 | (c >> 6));
            *dst++ = uchar(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            *dst++ = uchar(0xE0 | (c >> 12));
            *dst++ = uchar(0x80 | ((c >> 6) & 0x3F));
            *dst++ = uchar(0x80 | (c & 0x3F));
        } else {
            *dst++ = uchar(0xF0 | (c >> 18));
            *dst++ = uchar(0x80 | ((c >> 12) & 0x3F));
            *dst++ = uchar(0x80 | ((c >> 6) & 0x3F));
            *dst++ = uchar(0x80 | (c & 0x3F));
        }
    }
    out.resize(reinterpret_cast<char*>(dst) - out.data());
}

QList<QStringView> splitLines(QStringView text)
{
    QList<QStringView> lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n') {
            continue;
        }
        lines.append(text.sliced(start, i - start));
        if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n') {
            ++i;
        }
        start = i + 1;
    }
    if (start < n) {
        lines.append(text.sliced(start));
    }
    return lines;
}

QStringView trimBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ') {
        ++begin;
    }
    while (end > begin && text[end - 1] == u' ') {
        --end;
    }
    return text.sliced(begin, end - begin);
}

QString lowerJoined(std::initializer_list<QStringView> parts)
{
    qsizetype size = 0;
    for (QStringView part : parts) {
        size += part.size();
    }
    QString key(size, Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(key.data());
    char16_t seen = 0;
    for (QStringView part : parts) {
        for (QChar qc : part) {
            const char16_t c = qc.unicode();
            seen |= c;
            *out++ = (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
        }
    }
    if (seen < 0x80) {
        return key;
    }
    // Qt's full case mapping is far slower per character, so it is kept for the rest.
    QString joined;
    joined.reserve(size);
    for (QStringView part : parts) {
        joined += part;
    }
    return joined.toLower();
}

} // namespace TextCodec
