#include "import/ForeignText.h"

#include <QJsonArray>

namespace ForeignText {

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
