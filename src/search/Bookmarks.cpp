#include "search/Bookmarks.h"

namespace Bookmarks {

QString trimBlanks(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ') {
        ++begin;
    }
    while (end > begin && text[end - 1] == u' ') {
        --end;
    }
    return text.mid(begin, end - begin);
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

} // namespace Bookmarks
