#include "store/Zq5File.h"

#include "store/TextCodec.h"

#include <QFile>

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
    staged.assign(1, SnippetRecord{});
    qsizetype count = -1;
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
            return count >= 0;
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
                ++count;
                staged.resize(size_t(count) + 1);
                SetCodeElement(staged, count, QLatin1String(Zq5Language), title, category, keywords, date, {},
                               {}, {}, {}, {}, dText + QLatin1String("\r\n\r\n") + code, {});
                title.clear();
                category.clear();
                keywords.clear();
                date.clear();
                dText.clear();
                code.clear();
            }
        }
    }
    if (error) {
        *error = QStringLiteral("Input past end of file");
    }
    return false;
}

bool Loadzq5CodeDataFromFile(const QString& fullFileName, CodeArray& staged, QString* error)
{
    QFile file(fullFileName);
    if (!file.open(QIODevice::ReadOnly)) {
        staged.assign(1, SnippetRecord{});
        if (error) {
            *error = file.errorString();
        }
        return false;
    }
    return ParseZq5CodeData(TextCodec::decode(file.readAll()), staged, error);
}
