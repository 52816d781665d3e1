#include "objects/SafeNames.h"

namespace {

// Extensions longer than this are treated as part of the name when a long name is shortened.
constexpr qsizetype LongestKeptExtension = 16;

qsizetype utf8Size(QStringView text)
{
    return text.toUtf8().size();
}

// Cuts text at the end to at most bytes of UTF-8, never inside a surrogate pair.
QString cutToBytes(const QString& text, qsizetype bytes)
{
    QString cut = text;
    while (!cut.isEmpty() && utf8Size(cut) > bytes) {
        cut.chop(cut.size() >= 2 && cut.back().isLowSurrogate() ? 2 : 1);
    }
    return cut;
}

} // namespace

namespace SafeNames {

QString fileName(const QString& stored)
{
    qsizetype from = 0;
    for (qsizetype i = 0; i < stored.size(); ++i) {
        if (stored[i] == u'/' || stored[i] == u'\\' || stored[i] == u':') {
            from = i + 1;
        }
    }
    QString name;
    for (QChar c : QStringView(stored).mid(from)) {
        if (c.category() != QChar::Other_Control) {
            name += c;
        }
    }
    if (utf8Size(name) > MaxNameBytes) {
        const qsizetype dot = name.lastIndexOf(u'.');
        const QString extension =
            dot > 0 && name.size() - dot <= LongestKeptExtension ? name.mid(dot) : QString();
        name = cutToBytes(name.left(name.size() - extension.size()), MaxNameBytes - utf8Size(extension)) +
               extension;
    }
    // Checked on what is kept: a long name can be blanks up to where it is cut.
    const QString bare = name.trimmed();
    if (bare.isEmpty() || bare.count(u'.') == bare.size()) {
        return {};
    }
    return name;
}

} // namespace SafeNames
