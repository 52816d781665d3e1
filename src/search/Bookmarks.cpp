#include "search/Bookmarks.h"

#include "store/TextCodec.h"

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

} // namespace Bookmarks
