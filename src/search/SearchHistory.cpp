#include "search/SearchHistory.h"

#include "search/Bookmarks.h"
#include "store/SafeFile.h"
#include "store/TextCodec.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace SearchHistory {

QStringList parse(QByteArrayView bytes)
{
    // Lines may end in CR LF, or in LF or CR alone after editing with another tool.
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    QStringList entries;
    for (const QString& line : TextCodec::decode(bytes).split(lineEnd)) {
        const QString entry = Bookmarks::trimBlanks(line);
        if (!entry.isEmpty()) {
            entries.append(entry);
        }
    }
    return entries;
}

LoadResult LoadComboSearchList(const QString& path)
{
    LoadResult result;
    QFile file(path);
    if (QFileInfo::exists(path)) {
        if (!file.open(QIODevice::ReadOnly)) {
            result.error = file.errorString();
            return result;
        }
        result.entries = parse(file.readAll());
        return result;
    }
    result.created = write(path, {QString::fromLatin1(EmptyFileLine)}, &result.error);
    result.entries = {QString::fromLatin1(PlaceholderEntry)};
    return result;
}

QStringList withTerm(const QString& term, const QStringList& entries)
{
    QStringList result{term};
    // The new term takes slot 0; entries fill slots 1 to 20, of which 1 to 19 are kept.
    for (qsizetype k = 0; k < std::min<qsizetype>(entries.size(), MaxTerms - 1); ++k) {
        const QString& entry = entries[k];
        if (!Bookmarks::trimBlanks(entry).isEmpty() && entry != term) {
            result.append(entry);
        }
    }
    return result;
}

bool write(const QString& path, const QStringList& entries, QString* error)
{
    QByteArray bytes;
    for (const QString& entry : entries) {
        TextCodec::appendUtf8(bytes, entry);
        bytes += "\r\n";
    }
    return SafeFile::writeWhole(path, bytes, error);
}

} // namespace SearchHistory
