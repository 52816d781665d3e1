#include "editor/LineCommands.h"

#include <algorithm>

namespace {

qsizetype indentOf(const QString& line)
{
    qsizetype i = 0;
    while (i < line.size() && line[i].isSpace()) {
        ++i;
    }
    return i;
}

// A marker that is a word, such as REM, needs a blank after it.
QString withSeparator(const QString& marker)
{
    const QChar last = marker.back();
    return (last.isLetterOrNumber() || last == u'_') ? marker + u' ' : marker;
}

} // namespace

namespace LineCommands {

bool canComment(const LanguageDefinition& definition)
{
    return !definition.lineComments.isEmpty() || !definition.blockCommentStart.isEmpty();
}

QStringList comment(const QStringList& lines, const LanguageDefinition& definition)
{
    if (!canComment(definition)) {
        return lines;
    }
    QStringList result;
    result.reserve(lines.size());
    for (const QString& line : lines) {
        if (line.trimmed().isEmpty()) {
            result.append(line);
        } else if (!definition.lineComments.isEmpty()) {
            result.append(withSeparator(definition.lineComments.first()) + line);
        } else {
            result.append(definition.blockCommentStart + line + definition.blockCommentEnd);
        }
    }
    return result;
}

QStringList uncomment(const QStringList& lines, const LanguageDefinition& definition)
{
    QStringList result;
    result.reserve(lines.size());
    for (QString line : lines) {
        const qsizetype indent = indentOf(line);
        const QStringView rest = QStringView(line).mid(indent);
        qsizetype markerLength = 0;
        for (const QString& marker : definition.lineComments) {
            const QString spaced = withSeparator(marker);
            if (rest.startsWith(spaced, Qt::CaseInsensitive)) {
                markerLength = spaced.size();
            } else if (rest.compare(marker, Qt::CaseInsensitive) == 0) {
                markerLength = marker.size();
            }
            if (markerLength > 0) {
                break;
            }
        }
        const QString& start = definition.blockCommentStart;
        const QString& end = definition.blockCommentEnd;
        if (markerLength > 0) {
            line.remove(indent, markerLength);
        } else if (!start.isEmpty() && rest.startsWith(start)) {
            QString body = line.mid(indent + start.size());
            qsizetype bodyEnd = body.size();
            while (bodyEnd > 0 && body[bodyEnd - 1].isSpace()) {
                --bodyEnd;
            }
            if (QStringView(body).left(bodyEnd).endsWith(end)) {
                body.remove(bodyEnd - end.size(), end.size());
                line = line.left(indent) + body;
            }
        }
        result.append(line);
    }
    return result;
}

QStringList sorted(QStringList lines, bool descending)
{
    auto less = [](const QString& a, const QString& b) {
        const int byCase = a.compare(b, Qt::CaseInsensitive);
        return byCase != 0 ? byCase < 0 : a < b;
    };
    if (descending) {
        std::stable_sort(lines.begin(), lines.end(),
                         [&](const QString& a, const QString& b) { return less(b, a); });
    } else {
        std::stable_sort(lines.begin(), lines.end(), less);
    }
    return lines;
}

} // namespace LineCommands
