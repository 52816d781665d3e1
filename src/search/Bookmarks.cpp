#include "search/Bookmarks.h"

#include "search/SearchScope.h"
#include "store/Slices.h"
#include "store/TextCodec.h"

#include <algorithm>

namespace {

// Fewer records than this are quicker on one thread.
constexpr size_t ParallelFrom = 20000;

} // namespace

namespace Bookmarks {

QString trimBlanks(const QString& text)
{
    return TextCodec::trimBlanks(text).toString();
}

QString added(const QString& keywords)
{
    return trimBlanks(keywords + QStringLiteral(" bookmark"));
}

QString removed(const QString& keywords)
{
    QString text = keywords;
    text = trimBlanks(text.replace(QStringLiteral(" bookmark "), QStringLiteral(" "), Qt::CaseInsensitive));
    text = trimBlanks(text.remove(QStringLiteral(" bookmark"), Qt::CaseInsensitive));
    text = trimBlanks(text.remove(QStringLiteral("bookmark "), Qt::CaseInsensitive));
    return trimBlanks(text.remove(QStringLiteral("bookmark"), Qt::CaseInsensitive));
}

QList<qsizetype> addToAll(CodeArray& records, const SearchScope& scope)
{
    std::vector<QList<qsizetype>> marked(sliceCount(records.size(), ParallelFrom));
    runInSlices(records.size(), ParallelFrom, [&](size_t slice, size_t begin, size_t end) {
        // The scope remembers its last answer, so each slice asks its own copy.
        const SearchScope own = scope;
        for (size_t i = begin; i < end; ++i) {
            SnippetRecord& r = records[i];
            if (r.Deleted || !r.Matched || !own.contains(r) || r.isBookmarked()) {
                continue;
            }
            r.Keywords = added(r.Keywords);
            marked[slice].append(qsizetype(i));
        }
    });
    QList<qsizetype> all;
    for (const QList<qsizetype>& part : marked) {
        all.append(part);
    }
    return all;
}

bool removeFromAll(CodeArray& records)
{
    std::vector<char> changed(sliceCount(records.size(), ParallelFrom), 0);
    runInSlices(records.size(), ParallelFrom, [&](size_t slice, size_t begin, size_t end) {
        for (size_t i = begin; i < end; ++i) {
            SnippetRecord& r = records[i];
            QString keywords = removed(r.Keywords);
            if (keywords != r.Keywords) {
                r.Keywords = std::move(keywords);
                changed[slice] = changed[slice] || !r.Deleted;
            }
        }
    });
    return std::find(changed.begin(), changed.end(), 1) != changed.end();
}

} // namespace Bookmarks
