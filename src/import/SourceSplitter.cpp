#include "import/SourceSplitter.h"

#include "store/StagedRecords.h"
#include "store/TextCodec.h"

#include <array>
#include <QDateTime>
#include <QFile>
#include <QLocale>
#include <vector>

namespace {

// Staged snippets carry the date in the user's own form; formatting it once a second keeps large
// files fast.
class SplitDate
{
public:
    QString now()
    {
        const qint64 second = QDateTime::currentSecsSinceEpoch();
        if (second != m_second) {
            m_second = second;
            m_text = QLocale::system().toString(QDateTime::currentDateTime(), QLocale::ShortFormat);
        }
        return m_text;
    }

private:
    qint64 m_second = -1;
    QString m_text;
};

// Stores one cut-out snippet in the import category.
void store(StagedRecords& staging, SplitDate& date, const QString& language, const QString& title,
           QString code)
{
    SnippetRecord r;
    r.Language = language;
    r.Title = title;
    r.Category = QLatin1String(SourceSplitter::Category);
    r.Date = date.now();
    r.Code = std::move(code);
    staging.store(std::move(r));
}

// Where each character c stands in text, in order.
std::vector<qsizetype> positionsOf(QStringView text, QChar c)
{
    std::vector<qsizetype> positions;
    for (qsizetype i = text.indexOf(c); i >= 0; i = text.indexOf(c, i + 1)) {
        positions.push_back(i);
    }
    return positions;
}

// The index of the first position at or after from, moving at forward; positions.size() when none.
size_t firstFrom(const std::vector<qsizetype>& positions, size_t at, qsizetype from)
{
    while (at < positions.size() && positions[at] < from) {
        ++at;
    }
    return at;
}

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
    StagedRecords staging(staged);
    SplitDate date;
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
            store(staging, date, QStringLiteral("Visual Basic"), title, std::move(code));
            i = last + 1;
        }
    }
    return staging.found();
}

bool LoadSourceVB(CodeArray& staged, const QString& path, QString* error)
{
    QString text;
    if (!readText(path, text, error)) {
        StagedRecords(staged).discard();
        return false;
    }
    return splitVB(staged, text);
}

bool splitHTML(CodeArray& staged, QStringView text)
{
    StagedRecords staging(staged);
    SplitDate date;
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
            store(staging, date, language, title, text.sliced(start, end + close.size() - start).toString());
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
        StagedRecords(staged).discard();
        return false;
    }
    return splitHTML(staged, text);
}

bool splitFunction(CodeArray& staged, QStringView text, const QString& subType, const QString& language)
{
    StagedRecords staging(staged);
    SplitDate date;
    const QString keyword = subType.toLower();
    if (keyword.isEmpty()) {
        return false;
    }
    // Every brace is found once: a file of many keywords before one far brace would otherwise be
    // searched up to that brace again for each keyword.
    const std::vector<qsizetype> opens = positionsOf(text, u'{');
    const std::vector<qsizetype> closes = positionsOf(text, u'}');
    size_t firstOpenAt = 0;
    size_t firstCloseAt = 0;
    qsizetype from = 0;
    while (true) {
        const qsizetype p = text.indexOf(keyword, from, Qt::CaseInsensitive);
        if (p < 0) {
            break;
        }
        firstOpenAt = firstFrom(opens, firstOpenAt, p);
        firstCloseAt = firstFrom(closes, firstCloseAt, p);
        if (firstOpenAt == opens.size() || firstCloseAt == closes.size()) {
            break;
        }
        // Every opening brace met before the current closing brace pushes the end one brace further.
        size_t open = firstOpenAt;
        size_t close = firstCloseAt;
        while (close < closes.size()) {
            ++open;
            if (open == opens.size() || opens[open] > closes[close]) {
                break;
            }
            ++close;
        }
        if (close == closes.size()) {
            break; // the block never closes
        }
        const qsizetype end = closes[close];
        const qsizetype firstOpen = opens[firstOpenAt];
        const qsizetype titleStart = p + keyword.size() + 1;
        QString title;
        if (firstOpen > titleStart) {
            // A line end counts as a blank; only the first TitleLimit characters after the leading
            // blanks are kept, since the "{" may lie at the far end of the file.
            const QStringView raw = text.sliced(titleStart, firstOpen - titleStart);
            for (qsizetype i = 0; i < raw.size() && title.size() < TitleLimit; ++i) {
                QChar c = raw[i];
                if (c == u'\r' || c == u'\n') {
                    if (c == u'\r' && i + 1 < raw.size() && raw[i + 1] == u'\n') {
                        ++i;
                    }
                    c = u' ';
                }
                if (c != u' ' || !title.isEmpty()) {
                    title += c;
                }
            }
            title = TextCodec::trimBlanks(title).toString();
        }
        store(staging, date, language, title, text.sliced(p, end + 1 - p).toString());
        from = end + 1;
    }
    return staging.found();
}

bool LoadSourceFunction(CodeArray& staged, const QString& path, const QString& subType,
                        const QString& language, QString* error)
{
    QString text;
    if (!readText(path, text, error)) {
        StagedRecords(staged).discard();
        return false;
    }
    return splitFunction(staged, text, subType, language);
}

} // namespace SourceSplitter
