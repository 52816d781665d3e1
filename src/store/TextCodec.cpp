#include "store/TextCodec.h"

#include <cstring>

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

bool isValidUtf8(const uchar* p, qsizetype n)
{
    qsizetype i = 0;
    while (i < n) {
        // Libraries are mostly ASCII: skip it eight bytes at a time.
        while (i + 8 <= n) {
            quint64 word;
            std::memcpy(&word, p + i, 8);
            if (word & HighBits8) {
                break;
            }
            i += 8;
        }
        if (i >= n) {
            break;
        }
        const uchar c = p[i];
        if (c < 0x80) {
            ++i;
        } else if (c < 0xC2) {
            return false;
        } else if (c < 0xE0) {
            if (i + 1 >= n || !isContinuation(p[i + 1])) {
                return false;
            }
            i += 2;
        } else if (c < 0xF0) {
            if (i + 2 >= n || !isContinuation(p[i + 1]) || !isContinuation(p[i + 2])) {
                return false;
            }
            // Overlong forms and UTF-16 surrogates are not valid UTF-8.
            if ((c == 0xE0 && p[i + 1] < 0xA0) || (c == 0xED && p[i + 1] >= 0xA0)) {
                return false;
            }
            i += 3;
        } else if (c < 0xF5) {
            if (i + 3 >= n || !isContinuation(p[i + 1]) || !isContinuation(p[i + 2]) ||
                !isContinuation(p[i + 3])) {
                return false;
            }
            if ((c == 0xF0 && p[i + 1] < 0x90) || (c == 0xF4 && p[i + 1] >= 0x90)) {
                return false;
            }
            i += 4;
        } else {
            return false;
        }
    }
    return true;
}

QString decodeCp1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    const uchar* in = reinterpret_cast<const uchar*>(bytes.data());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const uchar c = in[i];
        out[i] = (c >= 0x80 && c < 0xA0) ? Cp1252High[c - 0x80] : char16_t(c);
    }
    return text;
}

} // namespace

namespace TextCodec {

Encoding detect(QByteArrayView bytes)
{
    return isValidUtf8(reinterpret_cast<const uchar*>(bytes.data()), bytes.size()) ? Encoding::Utf8
                                                                                   : Encoding::Windows1252;
}

QString decode(QByteArrayView bytes, Encoding encoding)
{
    if (encoding == Encoding::Utf8) {
        return QString::fromUtf8(bytes);
    }
    return decodeCp1252(bytes);
}

QString decode(QByteArrayView bytes)
{
    return decode(bytes, detect(bytes));
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
            // A lone surrogate would make the file invalid UTF-8 and send it to the fallback decoder.
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

} // namespace TextCodec
