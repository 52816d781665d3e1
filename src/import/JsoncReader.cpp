#include "import/JsoncReader.h"

#include <QJsonArray>
#include <QJsonParseError>
#include <QSet>

namespace {

// "line L, column C" of a byte offset, counted from 1 as editors count.
QString position(QByteArrayView bytes, qsizetype offset)
{
    offset = std::clamp<qsizetype>(offset, 0, bytes.size());
    const QByteArrayView before = bytes.first(offset);
    const qsizetype line = before.count('\n') + 1;
    const qsizetype column = offset - (before.lastIndexOf('\n') + 1) + 1;
    return QStringLiteral("line %1, column %2").arg(line).arg(column);
}

// The end of the string literal that opens at start (one past its closing quote), or -1.
qsizetype stringEnd(const QByteArray& text, qsizetype start)
{
    for (qsizetype i = start + 1; i < text.size(); ++i) {
        if (text[i] == '\\') {
            ++i;
        } else if (text[i] == '"') {
            return i + 1;
        }
    }
    return -1;
}

// The text with comments and trailing commas turned into blanks; line ends inside block comments
// stay, so line numbers do not move. False with the offset of an unclosed block comment.
bool blankOut(QByteArray& text, qsizetype* unclosedAt)
{
    qsizetype pendingComma = -1;
    qsizetype i = 0;
    if (text.startsWith("\xEF\xBB\xBF")) {
        text.replace(0, 3, "   ");
        i = 3;
    }
    const qsizetype n = text.size();
    char* d = text.data(); // detached once, not at every write
    while (i < n) {
        const char c = d[i];
        if (c == '"') {
            const qsizetype end = stringEnd(text, i);
            pendingComma = -1;
            if (end < 0) {
                return true; // the parser reports the open string
            }
            i = end;
            continue;
        }
        if (c == '/' && i + 1 < n && d[i + 1] == '/') {
            while (i < n && d[i] != '\n' && d[i] != '\r') {
                d[i++] = ' ';
            }
            continue;
        }
        if (c == '/' && i + 1 < n && d[i + 1] == '*') {
            const qsizetype close = text.indexOf("*/", i + 2);
            if (close < 0) {
                *unclosedAt = i;
                return false;
            }
            for (qsizetype k = i; k < close + 2; ++k) {
                if (d[k] != '\n' && d[k] != '\r') {
                    d[k] = ' ';
                }
            }
            i = close + 2;
            continue;
        }
        if (c == ',') {
            pendingComma = i;
        } else if (c == '}' || c == ']') {
            if (pendingComma >= 0) {
                d[pendingComma] = ' ';
            }
            pendingComma = -1;
        } else if (c != ' ' && c != '\t' && c != '\n' && c != '\r') {
            pendingComma = -1;
        }
        ++i;
    }
    return true;
}

QString decodeKey(const QByteArray& text, qsizetype start, qsizetype end)
{
    const QByteArrayView literal(text.constData() + start, end - start);
    if (!literal.contains('\\')) {
        return QString::fromUtf8(literal.sliced(1, literal.size() - 2));
    }
    const QByteArray wrapped = '[' + literal.toByteArray() + ']';
    return QJsonDocument::fromJson(wrapped).array().at(0).toString();
}

// The member names of the top-level object of a text the parser has accepted, in file order.
QStringList memberOrder(const QByteArray& text)
{
    QStringList names;
    QSet<QString> seen;
    int depth = 0;
    bool expectKey = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            const qsizetype end = stringEnd(text, i);
            if (end < 0) {
                break;
            }
            if (depth == 1 && expectKey) {
                const QString name = decodeKey(text, i, end);
                if (!seen.contains(name)) {
                    seen.insert(name);
                    names.append(name);
                }
                expectKey = false;
            }
            i = end - 1;
        } else if (c == '{' || c == '[') {
            ++depth;
            expectKey = depth == 1 && c == '{';
        } else if (c == '}' || c == ']') {
            --depth;
        } else if (c == ',' && depth == 1) {
            expectKey = true;
        }
    }
    return names;
}

} // namespace

namespace JsoncReader {

bool parse(QByteArrayView bytes, Document& document, QString* error)
{
    QByteArray text = bytes.toByteArray();
    qsizetype unclosedAt = 0;
    if (!blankOut(text, &unclosedAt)) {
        if (error) {
            *error = position(bytes, unclosedAt) + QStringLiteral(" (a comment is never closed)");
        }
        return false;
    }
    QJsonParseError parseError;
    document.json = QJsonDocument::fromJson(text, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        if (error) {
            *error =
                position(bytes, parseError.offset) + QStringLiteral(" (") + parseError.errorString() + u')';
        }
        document = Document{};
        return false;
    }
    document.memberOrder = document.json.isObject() ? memberOrder(text) : QStringList();
    return true;
}

} // namespace JsoncReader
