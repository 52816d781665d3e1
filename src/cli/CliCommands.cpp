#include "cli/CliCommands.h"

#include "app/ProgramFolder.h"
#include "library/Workspace.h"
#include "store/DatabaseFile.h"
#include "store/LibraryOrdering.h"

#include <algorithm>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

constexpr char Usage[] = "usage: zorbeth-cli [--folder DIR] COMMAND [ARGS] [--json]\n"
                         "commands:\n"
                         "  check FILE              parse a database file, changing nothing\n"
                         "  list [--language L]     the library's snippets in library order\n"
                         "  show INDEX              one snippet with every field\n";

QJsonObject toJson(const SnippetRecord& r, qsizetype index, bool withTexts)
{
    QJsonObject o{{"index", qint64(index)},       {"language", r.Language},
                  {"category", r.Category},       {"title", r.Title},
                  {"keywords", r.Keywords},       {"date", r.Date},
                  {"objectName", r.ObjectName},   {"objectFlag", r.ObjectFlag},
                  {"objectStart", r.ObjectStart}, {"objectLength", r.ObjectLength}};
    if (withTexts) {
        o.insert("dtext", r.DText);
        o.insert("code", r.Code);
        o.insert("htext", r.HText);
    }
    return o;
}

// Terminals want LF; the records keep CR LF.
QString forTerminal(QString text)
{
    return text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

QString table(const QList<QStringList>& rows)
{
    QList<qsizetype> widths;
    for (const QStringList& row : rows) {
        for (qsizetype c = 0; c < row.size(); ++c) {
            if (widths.size() <= c) {
                widths.append(0);
            }
            widths[c] = std::max(widths[c], row[c].size());
        }
    }
    QString text;
    for (const QStringList& row : rows) {
        QString line;
        for (qsizetype c = 0; c < row.size(); ++c) {
            line += c + 1 < row.size() ? row[c].leftJustified(widths[c] + 2) : row[c];
        }
        text += line + u'\n';
    }
    return text;
}

} // namespace

CliCommands::CliCommands(QIODevice& out, QIODevice& err) : m_out(out), m_err(err) {}

int CliCommands::run(const QStringList& arguments)
{
    QStringList positional;
    QString language;
    bool languageGiven = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (arg == QLatin1String("--json")) {
            m_json = true;
        } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            print(QLatin1String(Usage));
            return Success;
        } else if (arg == QLatin1String("--folder") || arg == QLatin1String("--language")) {
            if (i + 1 >= arguments.size()) {
                return usageError(arg + QLatin1String(" needs a value"));
            }
            if (arg == QLatin1String("--folder")) {
                m_folder = arguments[++i];
            } else {
                language = arguments[++i];
                languageGiven = true;
            }
        } else if (arg.startsWith(QLatin1String("--folder="))) {
            m_folder = arg.mid(9);
        } else if (arg.startsWith(QLatin1String("--language="))) {
            language = arg.mid(11);
            languageGiven = true;
        } else if (arg.startsWith(u'-') && arg.size() > 1) {
            return usageError(QLatin1String("unknown option ") + arg);
        } else {
            positional.append(arg);
        }
    }
    if (positional.isEmpty()) {
        return usageError(QLatin1String("no command given"));
    }
    const QString command = positional.takeFirst();
    if (languageGiven && command != QLatin1String("list")) {
        return usageError(QLatin1String("--language belongs to the list command"));
    }
    if (command == QLatin1String("check") && positional.size() == 1) {
        return check(positional[0]);
    }
    if (command == QLatin1String("list") && positional.isEmpty()) {
        return list(language);
    }
    if (command == QLatin1String("show") && positional.size() == 1) {
        return show(positional[0]);
    }
    if (command == QLatin1String("check") || command == QLatin1String("list") ||
        command == QLatin1String("show")) {
        return usageError(QLatin1String("wrong arguments for ") + command);
    }
    return usageError(QLatin1String("unknown command ") + command);
}

int CliCommands::check(const QString& file)
{
    if (!QFileInfo(file).isFile()) {
        printError(QStringLiteral("zorbeth-cli: %1: no such file\n").arg(file));
        return Failure;
    }
    const DatabaseFile::ReadResult result = DatabaseFile::read(file);
    if (!result.opened) {
        printError(QStringLiteral("zorbeth-cli: %1: %2\n").arg(file, result.error));
        return Failure;
    }
    const qsizetype count = qsizetype(result.records.size());
    if (m_json) {
        const QJsonObject o{{"records", qint64(count)}, {"complete", result.complete}};
        m_out.write(QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n');
    } else {
        print(QStringLiteral("records:  %1\ncomplete: %2\n")
                  .arg(count)
                  .arg(result.complete ? QLatin1String("yes") : QLatin1String("no (no end marker)")));
    }
    return result.complete ? Success : Problems;
}

int CliCommands::list(const QString& language)
{
    CodeArray records;
    const int status = loadLibrary(records);
    if (status == Failure) {
        return status;
    }
    QJsonArray array;
    QList<QStringList> rows{{"index", "language", "category", "title", "date"}};
    for (size_t i = 0; i < records.size(); ++i) {
        const SnippetRecord& r = records[i];
        if (!language.isEmpty() && r.Language.compare(language, Qt::CaseInsensitive) != 0) {
            continue;
        }
        if (m_json) {
            array.append(toJson(r, qsizetype(i), false));
        } else {
            rows.append({QString::number(i), r.Language, r.Category, r.Title, r.Date});
        }
    }
    if (m_json) {
        m_out.write(QJsonDocument(array).toJson(QJsonDocument::Compact) + '\n');
    } else {
        print(table(rows));
    }
    return status;
}

int CliCommands::show(const QString& index)
{
    bool ok = false;
    const qlonglong wanted = index.toLongLong(&ok);
    if (!ok) {
        return usageError(QLatin1String("INDEX must be a number: ") + index);
    }
    CodeArray records;
    const int status = loadLibrary(records);
    if (status == Failure) {
        return status;
    }
    if (wanted < 0 || wanted >= qlonglong(records.size())) {
        printError(QStringLiteral("zorbeth-cli: no snippet with index %1 (the library has %2)\n")
                       .arg(wanted)
                       .arg(records.size()));
        return Failure;
    }
    const SnippetRecord& r = records[size_t(wanted)];
    if (m_json) {
        m_out.write(QJsonDocument(toJson(r, qsizetype(wanted), true)).toJson(QJsonDocument::Compact) + '\n');
    } else {
        print(table({{"index:", QString::number(wanted)},
                     {"language:", r.Language},
                     {"category:", r.Category},
                     {"title:", r.Title},
                     {"keywords:", r.Keywords},
                     {"date:", r.Date},
                     {"objectName:", r.ObjectName},
                     {"objectFlag:", QString::number(r.ObjectFlag)},
                     {"objectStart:", QString::number(r.ObjectStart)},
                     {"objectLength:", QString::number(r.ObjectLength)}}));
        print(QStringLiteral("dtext:\n%1\ncode:\n%2\nhtext:\n%3\n")
                  .arg(forTerminal(r.DText), forTerminal(r.Code), forTerminal(r.HText)));
    }
    return status;
}

int CliCommands::loadLibrary(CodeArray& records)
{
    Workspace ws;
    ws.programFolder = ProgramFolder::resolve(m_folder);
    const QString path = ws.databasePath();
    if (!QFileInfo(path).isFile()) {
        printError(QStringLiteral("zorbeth-cli: no library at %1\n").arg(QDir::toNativeSeparators(path)));
        return Failure;
    }
    DatabaseFile::ReadResult result = DatabaseFile::read(path);
    if (!result.opened) {
        printError(QStringLiteral("zorbeth-cli: %1: %2\n").arg(path, result.error));
        return Failure;
    }
    records = std::move(result.records);
    LibraryOrdering::SortCodeByLanguage(records);
    if (!result.complete) {
        printError(QStringLiteral("zorbeth-cli: %1 ends before its end marker; %2 snippets were read\n")
                       .arg(path)
                       .arg(records.size()));
        return Problems;
    }
    return Success;
}

int CliCommands::usageError(const QString& why)
{
    printError(QLatin1String("zorbeth-cli: ") + why + u'\n' + QLatin1String(Usage));
    return Failure;
}

void CliCommands::print(const QString& text)
{
    m_out.write(text.toUtf8());
}

void CliCommands::printError(const QString& text)
{
    m_err.write(text.toUtf8());
}
