#include "store/LineEnds.h"

QString withCrLf(QString text)
{
    // Most code already has CR LF throughout: then the text is returned without a copy.
    qsizetype bare = 0;
    const qsizetype n = text.size();
    const QChar* p = text.constData();
    for (qsizetype i = 0; i < n; ++i) {
        if (p[i] == u'\r') {
            if (i + 1 < n && p[i + 1] == u'\n') {
                ++i;
            } else {
                ++bare;
            }
        } else if (p[i] == u'\n') {
            ++bare;
        }
    }
    if (bare == 0) {
        return text;
    }
    QString fixed;
    fixed.reserve(n + bare);
    for (qsizetype i = 0; i < n; ++i) {
        if (p[i] == u'\r' || p[i] == u'\n') {
            if (p[i] == u'\r' && i + 1 < n && p[i + 1] == u'\n') {
                ++i;
            }
            fixed += QLatin1String("\r\n");
        } else {
            fixed += p[i];
        }
    }
    return fixed;
}
