#include "editor/HexDump.h"

#include <QList>

namespace {

// The characters Windows-1252 puts at 0x80..0x9F; the five it leaves undefined keep their own codes.
constexpr char16_t Cp1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                     0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                     0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                     0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Tab, line feed and carriage return show as "."; so do the other control characters and line
// separators, which would otherwise break a line of the dump or shift its columns.
bool shownAsDot(char32_t c)
{
    return c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0) || c == 0x2028 || c == 0x2029;
}

const char HexDigits[] = "0123456789ABCDEF";

} // namespace

namespace HexDump {

uchar byteCode(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        return uchar(c);
    }
    for (int i = 0; i < 32; ++i) {
        if (Cp1252High[i] == c) {
            return uchar(0x80 + i);
        }
    }
    return '?';
}

QString format(QStringView text)
{
    // A character outside the basic plane is one character, not two halves.
    const QList<uint> chars = text.toUcs4();
    QString dump;
    dump.reserve((chars.size() / 8 + 1) * (LineWidth + 2));
    for (qsizetype block = 0; block < chars.size(); block += 8) {
        if (block > 0) {
            dump += QLatin1String("\r\n");
        }
        dump += QStringLiteral("%1 ").arg(block, 6, 16, QLatin1Char('0')).toUpper();
        const qsizetype count = std::min<qsizetype>(8, chars.size() - block);
        for (qsizetype i = 0; i < 8; ++i) {
            if (i < count) {
                const uchar code = byteCode(chars[block + i]);
                dump += QLatin1Char(HexDigits[code >> 4]);
                dump += QLatin1Char(HexDigits[code & 0xF]);
                dump += QLatin1Char(' ');
            } else {
                dump += QLatin1String("   ");
            }
        }
        dump += QLatin1Char(' ');
        for (qsizetype i = 0; i < count; ++i) {
            const char32_t c = char32_t(chars[block + i]);
            if (shownAsDot(c)) {
                dump += QLatin1Char('.');
            } else {
                dump += QString::fromUcs4(&c, 1);
            }
        }
    }
    return dump;
}

} // namespace HexDump
