#include "import/SourceSplitter.h"

#include "store/TextCodec.h"

#include <array>
#include <QDateTime>
#include <QFile>
#include <QLocale>

namespace {

// Fills the staging array as the import expects: one empty record until the first snippet.
class Staging
{
public:
    explicit Staging(CodeArray& staged) : m_staged(staged) { m_staged.assign(1, SnippetRecord{}); }

    void store(const QString& language, const QString& title, const QString& code)
    {
        ++m_count;
        m_staged.resize(size_t(m_count) + 1);
        SnippetRecord& r = m_staged[size_t(m_count)];
        r = SnippetRecord{};
        r.Language = language;
        r.Title = title;
        r.Category = QLatin1String(SourceSplitter::Category);
        r.Date = now();
        r.Code = code;
    }

    bool found() const { return m_count >= 0; }

private:
    // Staged snippets carry the date in the user's own form; formatting it once a second keeps
    // large files fast.
    QString now()
    {
        const qint64 second = QDateTime::currentSecsSinceEpoch();
        if (second != m_dateSecond) {
            m_dateSecond = second;
            m_date = QLocale::system().toString(QDateTime::currentDateTime(), QLocale::ShortFormat);
        }
        return m_date;
    }

    CodeArray& m_staged;
    qsizetype m_count = -1;
    qint64 m_dateSecond = -1;
    QString m_date;
};

bool readText(const QString& path, QString& text, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) {
            *error = file.errorString();
        }
        return false;
    }
    text = TextCodec::decode(file.readAll());
    return true;
}

bool startsWithLower(QStringView line, QLatin1StringView keyword)
{
    return line.size() >= keyword.size() && line.first(keyword.size()).toString().toLower() == keyword;
}

} // namespace

namespace SourceSplitter {

bool splitVB(CodeArray& staged, QStringView text)
{
    Staging staging(staged);
    const QList<QStringView> lines = TextCodec::splitLines(text);
    const std::array<std::pair<QLatin1StringView, QLatin1StringView>, 6> passes{{
        {QLatin1StringView("sub "), QLatin1StringView("end sub")},
        {QLatin1StringView("private sub "), QLatin1StringView("end sub")},
        {QLatin1StringView("public sub "), QLatin1StringView("end sub")},
        {QLatin1StringView("function "), QLatin1StringView("end function")},
        {QLatin1StringView("private function "), QLatin1StringView("end function")},
        {QLatin1StringView("public function "), QLatin1StringView("end function")},
    }};
    const qsizetype n = lines.size();
    for (const auto& [start, end] : passes) {
        qsizetype i = 0;
        while (i < n) {
            const QStringView line = lines[i++];
            if (!startsWithLower(line, start)) {
                continue;
            }
            qsizetype last = i;
            while (last < n && !startsWithLower(lines[last], end)) {
                ++last;
            }
            if (last == n) {
                break; // a procedure without its end line is dropped
            }
            const QString title = TextCodec::trimBlanks(line.sliced(start.size())).toString();
            QString code = start + u' ' + title;
            for (qsizetype k = i; k < last; ++k) {
                code += QLatin1String("\r\n");
                code += lines[k];
            }
            code += QLatin1String("\r\n") + end;
            staging.store(QStringLiteral("Visual Basic"), title, code);
            i = last + 1;
        }
    }
    return staging.found();
}

bool LoadSourceVB(CodeArray& staged, const QString& path, QString* error)
{
    QString text;
    if (!readText(path, text, error)) {
        staged.assign(1, SnippetRecord{});
        return false;
    }
    return splitVB(staged, text);
}

bool splitHTML(CodeArray& staged, QStringView text)
{
    Staging staging(staged);
    const std::array<std::array<QLatin1StringView, 3>, 4> passes{{
        {QLatin1StringView("<script"), QLatin1StringView("</script>"), QLatin1StringView("JavaScript")},
        {QLatin1StringView("<form"), QLatin1StringView("</form>"), QLatin1StringView("HTML")},
        {QLatin1StringView("<style"), QLatin1StringView("</style>"), QLatin1StringView("HTML")},
        {QLatin1StringView("<table"), QLatin1StringView("</table>"), QLatin1StringView("HTML")},
    }};
    for (const auto& [open, close, language] : passes) {
        const QString title = open + QLatin1String("> ") + close;
        qsizetype start = text.indexOf(open);
        qsizetype end = start >= 0 ? text.indexOf(close, start + open.size()) : -1;
        while (start >= 0 && end >= 0) {
            staging.store(language, title, text.sliced(start, end + close.size() - start).toString());
            start = text.indexOf(open, end + close.size());
            end = start >= 0 ? text.indexOf(close, start + open.size()) : -1;
        }
    }
    return staging.found();
}

bool LoadSourceHTML(CodeArray& staged, const QString& path, QString* error)
{
    QString text;
    if (!readText(path, text, error)) {
        staged.assign(1, SnippetRecord{});
        return false;
    }
    return splitHTML(staged, text);
}

bool splitFunction(CodeArray& staged, QStringView text, const QString& subType, const QString& language)
{
    Staging staging(staged);
    const QString keyword = subType.toLower();
    if (keyword.isEmpty()) {
        return false;
    }
    qsizetype from = 0;
    while (true) {
        const qsizetype p = text.indexOf(keyword, from, Qt::CaseInsensitive);
        if (p < 0) {
            break;
        }
        const qsizetype firstOpen = text.indexOf(u'{', p);
        qsizetype close = text.indexOf(u'}', p);
        if (firstOpen < 0 || close < 0) {
            break;
        }
        // Every opening brace met before the current closing brace pushes the end one brace further.
        qsizetype open = firstOpen;
        while (close >= 0) {
            open = text.indexOf(u'{', open + 1);
            if (open < 0 || open > close) {
                break;
            }
            close = text.indexOf(u'}', close + 1);
        }
        if (close < 0) {
            break; // the block never closes
        }
        const qsizetype titleStart = p + keyword.size() + 1;
        QString title;
        if (firstOpen > titleStart) {
            title.reserve(firstOpen - titleStart);
            const QStringView raw = text.sliced(titleStart, firstOpen - titleStart);
            for (qsizetype i = 0; i < raw.size(); ++i) {
                if (raw[i] == u'\r' || raw[i] == u'\n') {
                    if (raw[i] == u'\r' && i + 1 < raw.size() && raw[i + 1] == u'\n') {
                        ++i;
                    }
                    title += u' ';
                } else {
                    title += raw[i];
                }
            }
            title = TextCodec::trimBlanks(title).toString();
        }
        staging.store(language, title, text.sliced(p, close + 1 - p).toString());
        from = close + 1;
    }
    return staging.found();
}

bool LoadSourceFunction(CodeArray& staged, const QString& path, const QString& subType,
                        const QString& language, QString* error)
{
    QString text;
    if (!readText(path, text, error)) {
        staged.assign(1, SnippetRecord{});
        return false;
    }
    return splitFunction(staged, text, subType, language);
}

} // namespace SourceSplitter
