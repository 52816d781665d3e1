#include "import/ForeignText.h"

#include <QJsonArray>

namespace ForeignText {

QString withCrLf(QStringView text)
{
    QString out;
    out.reserve(text.size() + text.size() / 32);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r') {
            if (i + 1 < text.size() && text[i + 1] == u'\n') {
                ++i;
            }
            out += QLatin1String("\r\n");
        } else if (c == u'\n') {
            out += QLatin1String("\r\n");
        } else {
            out += c;
        }
    }
    return out;
}

QString joined(const QJsonValue& value, QStringView separator)
{
    if (value.isString()) {
        return value.toString();
    }
    QString out;
    bool first = true;
    for (const QJsonValue& item : value.toArray()) {
        if (!item.isString()) {
            continue;
        }
        if (!first) {
            out += separator;
        }
        out += item.toString();
        first = false;
    }
    return out;
}

} // namespace ForeignText
