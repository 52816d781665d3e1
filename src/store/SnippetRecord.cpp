#include "store/SnippetRecord.h"

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <QByteArray>

namespace {

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

// Reads the number the way Basic's Val does (blanks, sign, digits, fraction, exponent) and rounds
// it like a conversion to a 32-bit integer would, halves to even. Works on UTF-16 and bytes alike,
// since a number is plain ASCII in every encoding the program reads.
template <typename Ch> qint32 leadingNumber(const Ch* p, qsizetype n)
{
    auto at = [&](qsizetype i) -> char16_t { return i < n ? char16_t(p[i]) : u'\0'; };
    qsizetype i = 0;
    while (at(i) == u' ' || at(i) == u'\t') {
        ++i;
    }
    QByteArray number;
    if (at(i) == u'+' || at(i) == u'-') {
        number += char(at(i));
        ++i;
    }
    bool anyDigit = false;
    while (isDigit(at(i))) {
        number += char(at(i++));
        anyDigit = true;
    }
    if (at(i) == u'.') {
        number += '.';
        ++i;
        while (isDigit(at(i))) {
            number += char(at(i++));
            anyDigit = true;
        }
    }
    if (!anyDigit) {
        return 0;
    }
    const char16_t e = at(i);
    if (e == u'e' || e == u'E' || e == u'd' || e == u'D') {
        qsizetype j = i + 1;
        QByteArray exponent("e");
        if (at(j) == u'+' || at(j) == u'-') {
            exponent += char(at(j++));
        }
        if (isDigit(at(j))) {
            while (isDigit(at(j))) {
                exponent += char(at(j++));
            }
            number += exponent;
        }
    }
    // strtod in the C locale, so a decimal comma setting cannot change what the file means, and an
    // overflow gives infinity rather than 0.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
    const double value = std::nearbyint(strtod_l(number.constData(), nullptr, cLocale));
    if (value >= double(std::numeric_limits<qint32>::max())) {
        return std::numeric_limits<qint32>::max();
    }
    if (value <= double(std::numeric_limits<qint32>::min())) {
        return std::numeric_limits<qint32>::min();
    }
    return qint32(value);
}

} // namespace

bool SnippetRecord::isBookmarked() const
{
    // Keywords are mostly plain ASCII, where ignoring case is lower-casing A to Z; anything else goes
    // to Qt's case folding, under which the Kelvin sign matches k.
    static constexpr char16_t Word[] = u"bookmark";
    constexpr qsizetype Length = 8;
    const char16_t* units = reinterpret_cast<const char16_t*>(Keywords.utf16());
    const qsizetype size = Keywords.size();
    if (std::any_of(units, units + size, [](char16_t c) { return c >= 0x80; })) {
        return Keywords.contains(QLatin1String("bookmark"), Qt::CaseInsensitive);
    }
    for (qsizetype at = 0; at + Length <= size; ++at) {
        qsizetype k = 0;
        while (k < Length && (units[at + k] | 0x20) == Word[k]) {
            ++k;
        }
        if (k == Length) {
            return true;
        }
    }
    return false;
}

qint32 LeadingNumber(const QString& text)
{
    return leadingNumber(QStringView(text).utf16(), text.size());
}

qint32 LeadingNumber(QByteArrayView text)
{
    return leadingNumber(text.data(), text.size());
}

void SetCodeElement(CodeArray& array, qsizetype index, const QString& language, const QString& title,
                    const QString& category, const QString& keywords, const QString& date,
                    const QString& objectName, const QString& objectFlag, const QString& objectStart,
                    const QString& objectLength, const QString& dText, const QString& code,
                    const QString& hText)
{
    SnippetRecord& r = array[size_t(index)];
    r.Title = title;
    r.Language = language;
    r.Category = category;
    r.Keywords = keywords;
    r.Date = date;
    r.ObjectName = objectName;
    r.ObjectFlag = LeadingNumber(objectFlag);
    r.ObjectStart = LeadingNumber(objectStart);
    r.ObjectLength = LeadingNumber(objectLength);
    r.DText = dText;
    r.Code = code;
    r.HText = hText;
}
