#include "LibraryGenerator.h"

#include <QStringList>
#include <random>

namespace LibraryGenerator {

namespace {

const QStringList Languages = {
    "C++",  "C",   "C#",   "Java", "JavaScript", "TypeScript", "Python",       "Perl",   "Ruby", "Go",
    "Rust", "SQL", "HTML", "CSS",  "Bash",       "PowerShell", "Visual Basic", "Pascal", "Lua",  "PHP",
};
const QStringList Categories = {"Strings", "Files",   "Network",  "Dates",    "Math",
                                "Arrays",  "Threads", "Database", "Graphics", "Utilities"};
const QStringList Words = {"read",   "write", "parse",  "format", "buffer", "value", "index", "count",
                           "result", "list",  "string", "number", "stream", "table", "query", "node"};

} // namespace

CodeArray generate(qsizetype snippets)
{
    std::mt19937 random(20261206);
    auto pick = [&random](const QStringList& from) { return from[int(random() % from.size())]; };

    CodeArray records;
    records.reserve(size_t(snippets));
    for (qsizetype i = 0; i < snippets; ++i) {
        SnippetRecord r;
        r.Language = pick(Languages);
        r.Category = pick(Categories);
        r.Title = pick(Words) + QLatin1Char(' ') + pick(Words) + QLatin1Char(' ') + QString::number(i);
        r.Keywords = pick(Words) + QLatin1Char(' ') + pick(Words) + (i % 97 == 0 ? " bookmark" : "");
        r.Date = QStringLiteral("2026-%1-%2 12:%3:00")
                     .arg(1 + i % 12, 2, 10, QLatin1Char('0'))
                     .arg(1 + i % 28, 2, 10, QLatin1Char('0'))
                     .arg(i % 60, 2, 10, QLatin1Char('0'));
        const int lines = 5 + int(random() % 56);
        QString code;
        for (int l = 0; l < lines; ++l) {
            if (l > 0) {
                code += QStringLiteral("\r\n");
            }
            code += QString(int(random() % 4) * 4, QLatin1Char(' '));
            code += pick(Words) + QStringLiteral(" = ") + pick(Words) + QLatin1Char('(') + pick(Words) +
                    QStringLiteral(", ") + QString::number(int(random() % 1000)) + QStringLiteral(");  // ") +
                    pick(Words) + QLatin1Char(' ') + pick(Words);
        }
        if (i % 10 == 0) {
            code += QStringLiteral("\r\n");
        }
        r.Code = code;
        if (i % 25 == 0) {
            r.DText = QStringLiteral("note ") + QString::number(i) + QStringLiteral("\r\nsecond line\r\n");
            r.HText = QStringLiteral("history");
        }
        if (i % 50 == 0) {
            r.ObjectName = QStringLiteral("attachment%1.zip").arg(i);
            r.ObjectFlag = 1;
            r.ObjectStart = 1 + int(i) * 100;
            r.ObjectLength = 100;
        }
        records.push_back(std::move(r));
    }
    return records;
}

} // namespace LibraryGenerator
