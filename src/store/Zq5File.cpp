#include "store/Zq5File.h"

#include "store/StagedRecords.h"
#include "store/TextCodec.h"

#include <QFile>
#include <utility>

namespace {

// Walks the lines of the file; running out of lines before the end line is a read failure.
class Zq5Lines
{
public:
    explicit Zq5Lines(QStringView text) : m_lines(TextCodec::splitLines(text)) {}

    bool next(QStringView& line)
    {
        if (m_at >= m_lines.size()) {
            return false;
        }
        line = m_lines[m_at++];
        return true;
    }

    // The lines up to the next one that begins with "----E", joined with CR LF.
    bool block(QString& text)
    {
        text.clear();
        bool first = true;
        QStringView line;
        while (next(line)) {
            if (line.startsWith(QLatin1String("----E"))) {
                return true;
            }
            if (!first) {
                text += QLatin1String("\r\n");
            }
            text += line;
            first = false;
        }
        return false;
    }

private:
    QList<QStringView> m_lines;
    qsizetype m_at = 0;
};

} // namespace

bool ParseZq5CodeData(QStringView text, CodeArray& staged, QString* error)
{
    StagedRecords staging(staged);
    Zq5Lines lines(text);
    QString title;
    QString category;
    QString keywords;
    QString date;
    QString dText;
    QString code;
    QString ignored;
    QStringView line;
    bool ok = true;
    while (ok && lines.next(line)) {
        const QStringView head = line.first(std::min<qsizetype>(5, line.size()));
        if (head == QLatin1String("+++++")) {
            return staging.found();
        }
        if (head == QLatin1String("----T")) {
            QStringView fields[5];
            for (QStringView& field : fields) {
                ok = ok && lines.next(field);
            }
            title = fields[0].toString();
            category = fields[1].toString();
            keywords = fields[2].toString();
            date = fields[3].toString();
        } else if (head == QLatin1String("----O")) {
            ok = lines.block(ignored);
        } else if (head == QLatin1String("----D")) {
            ok = lines.block(dText);
        } else if (head == QLatin1String("----C")) {
            ok = lines.block(code);
        } else if (head == QLatin1String("----H")) {
            ok = lines.block(ignored);
            if (ok) {
                SnippetRecord r;
                r.Language = QLatin1String(Zq5Language);
                r.Title = std::exchange(title, {});
                r.Category = std::exchange(category, {});
                r.Keywords = std::exchange(keywords, {});
                r.Date = std::exchange(date, {});
                r.Code = std::exchange(dText, {}) + QLatin1String("\r\n\r\n") + std::exchange(code, {});
                staging.store(std::move(r));
            }
        }
    }
    // Half a library would list most of its snippets as missing from the library.
    staging.discard();
    if (error) {
        *error = QLatin1String(Zq5CutOffError);
    }
    return false;
}

bool Loadzq5CodeDataFromFile(const QString& fullFileName, CodeArray& staged, QString* error)
{
    QFile file(fullFileName);
    if (!file.open(QIODevice::ReadOnly)) {
        StagedRecords(staged).discard();
        if (error) {
            *error = QStringLiteral("%1: %2").arg(fullFileName, file.errorString());
        }
        return false;
    }
    QString reason;
    const bool found = ParseZq5CodeData(TextCodec::decode(file.readAll()), staged, &reason);
    if (!reason.isEmpty() && error) {
        *error = QStringLiteral("%1 in %2: the file is cut off before its end line \"+++++\", so nothing "
                                "of it was staged.")
                     .arg(reason, fullFileName);
    }
    return found;
}
