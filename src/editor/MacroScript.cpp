#include "editor/MacroScript.h"

namespace {

// Marks the stepped form; the bare form starts with a message number.
const QString Header = QStringLiteral("#steps");
const QString KeysPrefix = QStringLiteral("keys ");
const QString CommandPrefix = QStringLiteral("command ");

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9') {
        return u - '0';
    }
    if (u >= 'a' && u <= 'f') {
        return u - 'a' + 10;
    }
    if (u >= 'A' && u <= 'F') {
        return u - 'A' + 10;
    }
    return -1;
}

} // namespace

namespace MacroScript {

QString toSlot(const QList<Step>& steps)
{
    QList<Step> kept;
    for (const Step& step : steps) {
        if (step.kind == Step::Kind::Command || !step.text.isEmpty()) {
            kept.append(step);
        }
    }
    if (kept.isEmpty()) {
        return {};
    }
    if (kept.size() == 1 && kept[0].kind == Step::Kind::Keys) {
        return kept[0].text;
    }
    // Editor macro text escapes every blank and line break, so one step fits on one line.
    QStringList lines{Header};
    for (const Step& step : kept) {
        lines << (step.kind == Step::Kind::Keys ? KeysPrefix : CommandPrefix) + step.text;
    }
    return lines.join(u'\n');
}

QList<Step> fromSlot(const QString& slot)
{
    if (slot.isEmpty()) {
        return {};
    }
    if (!slot.startsWith(Header + u'\n')) {
        return {{Step::Kind::Keys, slot}};
    }
    QList<Step> steps;
    const QStringList lines = slot.split(u'\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QString& line = lines[i];
        if (line.startsWith(KeysPrefix)) {
            steps.append({Step::Kind::Keys, line.mid(KeysPrefix.size())});
        } else if (line.startsWith(CommandPrefix)) {
            steps.append({Step::Kind::Command, line.mid(CommandPrefix.size())});
        }
    }
    return steps;
}

QStringList messages(const QString& keys)
{
    // Each message is three numbers, the third the length of its text, then the text when there is one.
    const QStringList fields = keys.split(u' ', Qt::SkipEmptyParts);
    QStringList result;
    qsizetype f = 0;
    while (f < fields.size()) {
        const qsizetype length = f + 2 < fields.size() ? fields[f + 2].toLongLong() : 0;
        const qsizetype count = std::min(fields.size() - f, qsizetype(length > 0 ? 4 : 3));
        result << fields.mid(f, count).join(u' ');
        f += count;
    }
    return result;
}

unsigned messageNumber(const QString& message)
{
    return message.section(u' ', 0, 0).toUInt();
}

QByteArray messageText(const QString& message)
{
    const QString text = message.section(u' ', 3, 3);
    QByteArray bytes;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\\' && i + 2 < text.size() && hexDigit(text[i + 1]) >= 0 &&
            hexDigit(text[i + 2]) >= 0) {
            bytes += char(hexDigit(text[i + 1]) * 16 + hexDigit(text[i + 2]));
            i += 2;
        } else {
            bytes += text[i].toLatin1();
        }
    }
    // The stored text ends with the terminating NUL of the recording.
    while (bytes.endsWith('\0')) {
        bytes.chop(1);
    }
    return bytes;
}

} // namespace MacroScript
