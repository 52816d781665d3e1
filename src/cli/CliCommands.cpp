#include "cli/CliCommands.h"

#include "export/TextExport.h"
#include "import/ImportExtensions.h"
#include "library/DiskStamp.h"
#include "library/LibraryFile.h"
#include "library/LibraryLock.h"
#include "library/Workspace.h"
#include "objects/ObjectAnalysis.h"
#include "objects/ObjectExport.h"
#include "objects/ObjectList.h"
#include "objects/ResourceCompaction.h"
#include "objects/ResourceFile.h"
#include "objects/SafeNames.h"
#include "search/ByteMatcher.h"
#include "search/MappedSearch.h"
#include "search/QuickOpenIndex.h"
#include "search/SearchEngine.h"
#include "search/SearchScope.h"
#include "search/WordLists.h"
#include "settings/AppInfo.h"
#include "settings/ProgramFolder.h"
#include "store/DatabaseFile.h"
#include "store/LibraryOrdering.h"
#include "store/MappedDatabase.h"
#include "store/RemoteCodeFile.h"
#include "sync/Comparison.h"
#include "sync/RemoteImport.h"

#include <algorithm>
#include <atomic>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <set>

namespace {

constexpr char Usage[] =
    "usage: zorbeth-cli [--folder DIR] COMMAND [ARGS] [--json]\n"
    "       zorbeth-cli --help | -h | --version\n"
    "options:\n"
    "  --folder DIR            the program folder (else $ZORBETH_FOLDER, else ~/.local/share/zorbeth)\n"
    "  --json                  print one JSON document instead of a table\n"
    "  -h, --help              print this help\n"
    "  --version               print the version\n"
    "commands:\n"
    "  check FILE              parse a database file, changing nothing; exit 1 when it is\n"
    "                          cut off or damaged\n"
    "  list [--language L]     the library's snippets in library order\n"
    "  show INDEX              one snippet with every field\n"
    "  search TERM [--titles] [--keywords] [--code] [--ignore-case]\n"
    "         [--language L] [--all-languages]\n"
    "                          snippets whose fields hold TERM (no field given: all three);\n"
    "                          --language L searches L only, unless --all-languages\n"
    "  words (--all | --keys) [--language L]\n"
    "                          every distinct word, or keyword, in drop-down order\n"
    "  split FILE              the snippets the local import would stage from FILE, in staging\n"
    "                          order; exit 1 when none is found\n"
    "  compare FILE [--matching]\n"
    "                          stages FILE as split does and lists, against the library, the\n"
    "                          snippets without an identical twin (red: the title exists with\n"
    "                          other code); --matching lists only those red ones. Writes nothing;\n"
    "                          exit 1 when nothing is found in FILE\n"
    "  import FILE (--ids I,J,... | --all)\n"
    "                          appends the listed snippets of compare FILE with those IDs (or\n"
    "                          every one) to the library, sorts and saves it; refuses while the\n"
    "                          program holds the library or when it is cut off or damaged\n"
    "  objects analyze         the attached objects: count, bytes used and resource file size\n"
    "  objects list            every attached object and whether it lies inside the resource\n"
    "                          file; exit 1 when one does not\n"
    "  objects extract INDEX DIR\n"
    "                          writes the object of snippet INDEX into the folder DIR under its\n"
    "                          name made safe; exit 1 when the snippet has no object or its name\n"
    "                          cannot be used, 2 when the object lies outside the resource file\n"
    "                          or DIR is not a folder\n"
    "  export vscode LANGUAGE DIR\n"
    "                          writes LANGUAGE's snippets as the VS Code snippet file\n"
    "                          DIR/language.code-snippets (DIR is created when missing)\n"
    "  export markdown [--language L] DIR\n"
    "                          writes a Markdown page DIR/language.md for every language, or\n"
    "                          for L only; export exits 1 when the language has no snippet, 2\n"
    "                          when DIR cannot be written\n"
    "  find QUERY [--limit N]  the snippets Quick Open lists for QUERY, best first (at most N,\n"
    "                          default 50)\n"
    "  --                      ends the options, so TERM may begin with -\n"
    "exit status: 0 success, 1 the library is cut off or damaged (split, compare: nothing\n"
    "             found in FILE), 2 bad usage or an unreadable file (import: also a refusal)\n";

QJsonObject toJson(const SnippetRecord& r, qsizetype index, bool withTexts)
{
    QJsonObject o{{"index", qint64(index)},       {"language", r.Language},
                  {"category", r.Category},       {"title", r.Title},
                  {"keywords", r.Keywords},       {"date", r.Date},
                  {"objectName", r.ObjectName},   {"objectFlag", r.ObjectFlag},
                  {"objectStart", r.ObjectStart}, {"objectLength", r.ObjectLength}};
    if (withTexts) {
        o.insert("dtext", r.DText);
        o.insert("code", r.Code.toString());
        o.insert("htext", r.HText);
    }
    return o;
}

// A text as a terminal may receive it: every control character (ESC, BEL, a lone CR, C1 codes ...)
// written as \xHH, so a title cannot move the cursor, retitle the window or ring. Multi-line texts
// keep their line breaks (CR LF as LF) and tabs.
QString forTerminal(QStringView text, bool multiLine = false)
{
    QString shown;
    shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (multiLine && c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            continue;
        }
        if ((multiLine && (c == u'\n' || c == u'\t')) || c.category() != QChar::Other_Control) {
            shown += c;
        } else {
            shown += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        }
    }
    return shown;
}

// Every text table of the command line goes through here, so no cell reaches the terminal raw.
QString table(const QList<QStringList>& rows)
{
    QList<QStringList> cells;
    QList<qsizetype> widths;
    for (const QStringList& row : rows) {
        QStringList shown;
        for (qsizetype c = 0; c < row.size(); ++c) {
            shown.append(forTerminal(row[c]));
            if (widths.size() <= c) {
                widths.append(0);
            }
            widths[c] = std::max(widths[c], shown.last().size());
        }
        cells.append(shown);
    }
    QString text;
    for (const QStringList& row : cells) {
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
    SearchOptions options;
    // Options that only one command takes, with the command.
    QStringList searchFlags;
    QStringList wordFlags;
    bool matching = false;
    QString ids;
    bool idsGiven = false;
    QString limit;
    bool limitGiven = false;
    const QList<std::pair<const char*, bool SearchOptions::*>> flags = {
        {"--titles", &SearchOptions::titles},
        {"--keywords", &SearchOptions::keywords},
        {"--code", &SearchOptions::code},
        {"--ignore-case", &SearchOptions::ignoreCase},
        {"--all-languages", &SearchOptions::allLanguages},
    };
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (optionsEnded) {
            positional.append(arg);
            continue;
        }
        const auto flag = std::find_if(flags.begin(), flags.end(),
                                       [&arg](const auto& f) { return arg == QLatin1String(f.first); });
        if (arg == QLatin1String("--")) {
            optionsEnded = true;
        } else if (arg == QLatin1String("--json")) {
            m_json = true;
        } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            print(QLatin1String(Usage));
            return Success;
        } else if (arg == QLatin1String("--version")) {
            print(QLatin1String("zorbeth-cli ") + AppInfo::versionText() + u'\n');
            return Success;
        } else if (flag != flags.end()) {
            options.*(flag->second) = true;
            searchFlags.append(arg);
        } else if (arg == QLatin1String("--all")) {
            options.allWords = true;
        } else if (arg == QLatin1String("--keys")) {
            options.keyWords = true;
            wordFlags.append(arg);
        } else if (arg == QLatin1String("--matching")) {
            matching = true;
        } else if (arg == QLatin1String("--folder") || arg == QLatin1String("--language") ||
                   arg == QLatin1String("--ids")) {
            if (i + 1 >= arguments.size()) {
                return usageError(arg + QLatin1String(" needs a value"));
            }
            if (arg == QLatin1String("--folder")) {
                m_folder = arguments[++i];
            } else if (arg == QLatin1String("--ids")) {
                ids = arguments[++i];
                idsGiven = true;
            } else {
                options.language = arguments[++i];
                options.languageGiven = true;
            }
        } else if (arg == QLatin1String("--limit")) {
            if (i + 1 >= arguments.size()) {
                return usageError(arg + QLatin1String(" needs a value"));
            }
            limit = arguments[++i];
            limitGiven = true;
        } else if (arg.startsWith(QLatin1String("--limit="))) {
            limit = arg.mid(8);
            limitGiven = true;
        } else if (arg.startsWith(QLatin1String("--ids="))) {
            ids = arg.mid(6);
            idsGiven = true;
        } else if (arg.startsWith(QLatin1String("--folder="))) {
            m_folder = arg.mid(9);
        } else if (arg.startsWith(QLatin1String("--language="))) {
            options.language = arg.mid(11);
            options.languageGiven = true;
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
    const bool isList = command == QLatin1String("list");
    const bool isSearch = command == QLatin1String("search");
    const bool isWords = command == QLatin1String("words");
    const bool isExport = command == QLatin1String("export");
    const bool isFind = command == QLatin1String("find");
    if (options.languageGiven && !isList && !isSearch && !isWords && !isExport) {
        return usageError(QLatin1String("--language belongs to the list, search, words and export commands"));
    }
    if (limitGiven && !isFind) {
        return usageError(QLatin1String("--limit belongs to the find command"));
    }
    if (!searchFlags.isEmpty() && !isSearch) {
        return usageError(searchFlags.first() + QLatin1String(" belongs to the search command"));
    }
    if (!wordFlags.isEmpty() && !isWords) {
        return usageError(wordFlags.first() + QLatin1String(" belongs to the words command"));
    }
    const bool isCompare = command == QLatin1String("compare");
    const bool isImport = command == QLatin1String("import");
    if (options.allWords && !isWords && !isImport) {
        return usageError(QLatin1String("--all belongs to the words and import commands"));
    }
    if (matching && !isCompare) {
        return usageError(QLatin1String("--matching belongs to the compare command"));
    }
    if (idsGiven && !isImport) {
        return usageError(QLatin1String("--ids belongs to the import command"));
    }
    if (command == QLatin1String("check") && positional.size() == 1) {
        return check(positional[0]);
    }
    if (command == QLatin1String("split") && positional.size() == 1) {
        return split(positional[0]);
    }
    if (isList && positional.isEmpty()) {
        return list(options.language);
    }
    if (command == QLatin1String("show") && positional.size() == 1) {
        return show(positional[0]);
    }
    if (isSearch && positional.size() == 1) {
        return search(positional[0], options);
    }
    if (isWords && positional.isEmpty()) {
        return words(options);
    }
    if (isCompare && positional.size() == 1) {
        return compare(positional[0], matching);
    }
    if (isImport && positional.size() == 1) {
        if (idsGiven == options.allWords) {
            return usageError(QLatin1String("import needs one of --ids and --all"));
        }
        return importStaged(positional[0], ids, options.allWords);
    }
    if (command == QLatin1String("objects")) {
        return objects(positional);
    }
    if (isExport) {
        return exportFiles(positional, options.language, options.languageGiven);
    }
    if (isFind && positional.size() == 1) {
        return find(positional[0], limitGiven ? limit : QString::number(QuickOpenIndex::DefaultLimit));
    }
    if (command == QLatin1String("check") || command == QLatin1String("split") || isList ||
        command == QLatin1String("show") || isSearch || isWords || isCompare || isImport || isFind) {
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
    // A UTF-8 file is only walked; any other is read as the program reads it.
    MappedDatabase mapped;
    const bool walked = !m_fullRead && mapped.open(file, true);
    const DatabaseFile::ReadResult result = walked ? mapped.result() : DatabaseFile::read(file);
    if (!result.opened) {
        printError(QStringLiteral("zorbeth-cli: %1: %2\n").arg(file, result.error));
        return Failure;
    }
    const qsizetype count = walked ? mapped.count() : qsizetype(result.records.size());
    if (m_json) {
        const QJsonObject o{{"records", qint64(count)},
                            {"complete", result.complete},
                            {"damaged", result.damaged()},
                            {"nonUtf8Bytes", qint64(result.nonUtf8Bytes)}};
        m_out.write(QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n');
    } else {
        QString damaged = QStringLiteral("no");
        if (result.damaged()) {
            damaged = QStringLiteral("yes, %1 records could not be read").arg(result.lostRecords);
            if (!result.lostTitles.isEmpty()) {
                damaged += QStringLiteral(": ") + result.lostTitles.join(QStringLiteral(", "));
            }
        }
        print(QStringLiteral("records:      %1\ncomplete:     %2\ndamaged:      %3\nnonUtf8Bytes: %4\n")
                  .arg(count)
                  .arg(result.complete ? QLatin1String("yes") : QLatin1String("no (no end marker)"))
                  .arg(damaged)
                  .arg(result.nonUtf8Bytes));
    }
    return result.complete && !result.damaged() ? Success : Problems;
}

bool CliCommands::readable(const QString& file)
{
    QFile source(file);
    if (QFileInfo(file).isFile() && source.open(QIODevice::ReadOnly)) {
        return true;
    }
    printError(QStringLiteral("zorbeth-cli: %1: %2\n")
                   .arg(file, source.exists() ? source.errorString() : QStringLiteral("no such file")));
    return false;
}

int CliCommands::split(const QString& file)
{
    if (!readable(file)) {
        return Failure;
    }
    CodeArray staged;
    QString error;
    const bool found = ImportExtensions::stageFile(file, staged, &error);
    const qsizetype count = found ? qsizetype(staged.size()) : 0;
    if (!found) {
        printError(QStringLiteral("zorbeth-cli: %1: No source code found in the selected file.%2\n")
                       .arg(file, error.isEmpty() ? QString() : QStringLiteral(" (") + error + u')'));
    }
    QJsonArray snippets;
    QList<QStringList> rows{{"index", "language", "category", "title"}};
    for (qsizetype i = 0; i < count; ++i) {
        const SnippetRecord& r = staged[size_t(i)];
        if (m_json) {
            snippets.append(QJsonObject{{"index", qint64(i)},
                                        {"language", r.Language},
                                        {"category", r.Category},
                                        {"title", r.Title},
                                        {"keywords", r.Keywords},
                                        {"date", r.Date},
                                        {"code", r.Code.toString()},
                                        {"dtext", r.DText}});
        } else {
            rows.append({QString::number(i), r.Language, r.Category, r.Title});
        }
    }
    if (m_json) {
        const QJsonObject o{{"count", qint64(count)}, {"snippets", snippets}};
        m_out.write(QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n');
    } else {
        print(table(rows) + QString::number(count) + QStringLiteral(" snippets found\n"));
    }
    return found ? Success : Problems;
}

int CliCommands::list(const QString& language)
{
    CodeArray records;
    MappedDatabase db;
    bool mapped = false;
    const int status = readLibrary(db, mapped, records);
    if (status == Failure) {
        return status;
    }
    if (mapped) {
        records = db.records(MappedDatabase::AllFields &
                             ~(MappedDatabase::DText | MappedDatabase::Code | MappedDatabase::HText));
        LibraryOrdering::SortCodeByLanguage(records);
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

bool CliCommands::hasIndex(const CodeArray& records, qlonglong wanted)
{
    if (wanted >= 0 && wanted < qlonglong(records.size())) {
        return true;
    }
    printError(QStringLiteral("zorbeth-cli: no snippet with index %1 (the library has %2)\n")
                   .arg(wanted)
                   .arg(records.size()));
    return false;
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
    if (status == Failure || !hasIndex(records, wanted)) {
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
                  .arg(forTerminal(r.DText, true), forTerminal(r.Code.toString(), true),
                       forTerminal(r.HText, true)));
    }
    return status;
}

int CliCommands::search(const QString& term, const SearchOptions& options)
{
    if (SearchEngine::isBlank(term)) {
        return usageError(QLatin1String("no search string entered"));
    }
    const Qt::CaseSensitivity cs = options.ignoreCase ? Qt::CaseInsensitive : Qt::CaseSensitive;
    // A term whose bytes (or part of them) the file does not hold anywhere matches no record: then the
    // file is only walked, and looked through for those bytes meanwhile.
    const ByteMatcher anchor(term, cs);
    std::atomic_bool held = !anchor.usable();
    auto look = [&anchor, &held](QByteArrayView bytes, qsizetype from, qsizetype to) {
        const qsizetype reach = std::min(bytes.size(), to + anchor.length() - 1);
        if (!held && anchor.isIn(bytes.sliced(from, reach - from))) {
            held = true;
        }
    };
    CodeArray records;
    MappedDatabase db;
    bool mapped = false;
    const int status =
        anchor.usable() ? readLibrary(db, mapped, records, look) : readLibrary(db, mapped, records);
    if (status == Failure) {
        return status;
    }
    if (mapped && held && anchor.usable()) {
        db.walkPlaces();
    }
    SearchEngine::Fields fields;
    if (options.titles || options.keywords || options.code) {
        fields = {options.titles, options.keywords, options.code};
    }
    // A language makes it the search language, as a node of it selected in the tree would.
    const SearchScope scope =
        options.languageGiven
            ? SearchScope(SearchScope::searchLanguage(options.language), options.allLanguages, false)
            : SearchScope(QString(), true, false);
    // The records found with their index in library order, in that order.
    std::vector<std::pair<size_t, const SnippetRecord*>> found;
    CodeArray foundRecords;
    if (mapped) {
        const std::vector<size_t> hits =
            held ? MappedSearch::TextSearch(db, term, cs, fields, scope) : std::vector<size_t>();
        // Only records found need their place in library order.
        const std::vector<size_t> positions =
            hits.empty() ? std::vector<size_t>() : MappedSearch::libraryPositions(db);
        std::vector<std::pair<size_t, size_t>> byPosition;
        for (size_t i : hits) {
            byPosition.emplace_back(positions[i], i);
        }
        std::sort(byPosition.begin(), byPosition.end());
        for (const auto& [position, i] : byPosition) {
            foundRecords.push_back(db.record(i, MappedDatabase::Language | MappedDatabase::Category |
                                                    MappedDatabase::Title | MappedDatabase::Date));
        }
        for (size_t k = 0; k < byPosition.size(); ++k) {
            found.emplace_back(byPosition[k].first, &foundRecords[k]);
        }
    } else {
        SearchEngine::TextSearch(records, term, cs, fields, false, scope);
        for (size_t i = 0; i < records.size(); ++i) {
            if (!records[i].Deleted && records[i].Matched) {
                found.emplace_back(i, &records[i]);
            }
        }
    }
    QJsonArray results;
    QList<QStringList> rows{{"index", "language", "category", "title", "date"}};
    for (const auto& [i, record] : found) {
        const SnippetRecord& r = *record;
        if (m_json) {
            results.append(QJsonObject{{"index", qint64(i)},
                                       {"language", r.Language},
                                       {"category", r.Category},
                                       {"title", r.Title},
                                       {"date", r.Date}});
        } else {
            rows.append({QString::number(i), r.Language, r.Category, r.Title, r.Date});
        }
    }
    const qsizetype count = qsizetype(found.size());
    if (m_json) {
        const QJsonObject o{{"count", qint64(count)}, {"results", results}};
        m_out.write(QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n');
    } else {
        print(table(rows) + QString::number(count) + QStringLiteral(" matching entries\n"));
    }
    return status;
}

int CliCommands::words(const SearchOptions& options)
{
    if (options.allWords == options.keyWords) {
        return usageError(QLatin1String("words needs one of --all and --keys"));
    }
    CodeArray records;
    MappedDatabase db;
    bool mapped = false;
    const int status = readLibrary(db, mapped, records);
    if (status == Failure) {
        return status;
    }
    if (mapped) {
        // A word list is sorted and has no duplicates: the order of the records does not matter.
        records = db.records(options.allWords ? MappedDatabase::Language | MappedDatabase::Keywords |
                                                    MappedDatabase::Title | MappedDatabase::Code
                                              : MappedDatabase::Language | MappedDatabase::Keywords);
    }
    const SearchScope scope = options.languageGiven
                                  ? SearchScope(SearchScope::searchLanguage(options.language), false, false)
                                  : SearchScope(QString(), true, false);
    const WordLists::WordList list =
        options.allWords ? WordLists::allWords(records, scope) : WordLists::keyWords(records, scope);
    if (m_json) {
        const QJsonObject o{{"count", qint64(list.words.size())},
                            {"words", QJsonArray::fromStringList(list.words)}};
        m_out.write(QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n');
    } else {
        print(list.words.isEmpty() ? QString() : list.words.join(u'\n') + u'\n');
    }
    return status;
}

int CliCommands::stage(const QString& file, CodeArray& staged)
{
    if (!readable(file)) {
        return Failure;
    }
    QString error;
    if (!ImportExtensions::stageFile(file, staged, &error)) {
        printError(QStringLiteral("zorbeth-cli: %1: %2%3\n")
                       .arg(file, QLatin1String(Comparison::NothingFoundText),
                            error.isEmpty() ? QString() : QStringLiteral(" (") + error + u')'));
        return Problems;
    }
    RemoteCodeFile::SortRemoteCodeByLanguage(staged);
    return Success;
}

int CliCommands::compare(const QString& file, bool matching)
{
    CodeArray staged;
    const int staging = stage(file, staged);
    if (staging == Failure) {
        return Failure;
    }
    CodeArray records;
    const int status = loadLibrary(records);
    if (status == Failure) {
        return Failure;
    }
    if (staging != Success) {
        if (m_json) {
            m_out.write(QJsonDocument(QJsonObject{{"staged", 0}, {"rows", QJsonArray()}})
                            .toJson(QJsonDocument::Compact) +
                        '\n');
        }
        return Problems;
    }
    const LocalIndex index(records);
    const std::vector<Comparison::Row> rows = matching ? Comparison::FillListViewRemoteMatching(index, staged)
                                                       : Comparison::FillListViewRemote(index, staged);
    if (m_json) {
        QJsonArray listed;
        for (const Comparison::Row& row : rows) {
            listed.append(QJsonObject{{"id", qint64(row.id)},
                                      {"language", row.language},
                                      {"category", row.category},
                                      {"title", row.title},
                                      {"red", row.red}});
        }
        const QJsonObject o{{"staged", qint64(staged.size())}, {"rows", listed}};
        m_out.write(QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n');
    } else {
        QList<QStringList> lines{{"id", "language", "category", "title", "red"}};
        for (const Comparison::Row& row : rows) {
            lines.append({QString::number(row.id), row.language, row.category, row.title,
                          row.red ? QStringLiteral("red") : QString()});
        }
        const qsizetype listed = qsizetype(rows.size());
        const qsizetype total = qsizetype(staged.size());
        const QString name = QFileInfo(file).absoluteFilePath();
        print(table(lines) +
              (matching ? Comparison::matchingStatus(listed, total, name)
                        : Comparison::differencesStatus(listed, total, name)) +
              u'\n');
    }
    // A cut-off or damaged library lists snippets it may well hold: the run found problems.
    return status;
}

int CliCommands::importStaged(const QString& file, const QString& ids, bool all)
{
    std::set<qsizetype> wanted;
    if (!all) {
        for (const QString& id : ids.split(u',')) {
            bool ok = false;
            const qlonglong value = id.trimmed().toLongLong(&ok);
            if (!ok) {
                return usageError(QLatin1String("--ids takes numbers separated by commas: ") + ids);
            }
            wanted.insert(qsizetype(value));
        }
    }
    Workspace ws;
    ws.programFolder = ProgramFolder::resolve(m_folder);
    const QString path = ws.databasePath();
    if (!QFileInfo(path).isFile()) {
        printError(QStringLiteral("zorbeth-cli: no library at %1; nothing was imported\n")
                       .arg(QDir::toNativeSeparators(path)));
        return Failure;
    }
    // The lock first, so that the library read below is the one this run replaces.
    LibraryLock lock;
    QString error;
    if (!lock.acquire(QFileInfo(path).absolutePath(), &error)) {
        printError(QStringLiteral("zorbeth-cli: %1 Nothing was imported.\n").arg(error));
        return Failure;
    }
    const DiskStamp loadedStamp = DiskStamp::of(path);
    DatabaseFile::ReadResult result = DatabaseFile::read(path);
    if (!result.opened) {
        printError(QStringLiteral("zorbeth-cli: %1: %2; nothing was imported\n").arg(path, result.error));
        return Failure;
    }
    if (!result.complete || result.damaged()) {
        // Saving would drop every snippet that could not be read.
        printError(QStringLiteral("zorbeth-cli: %1 is %2; nothing was imported\n")
                       .arg(path, !result.complete ? QStringLiteral("cut off before its end marker")
                                                   : QStringLiteral("damaged")));
        return Failure;
    }
    CodeArray staged;
    if (stage(file, staged) != Success) {
        return Failure;
    }
    ws.codeArray = std::move(result.records);
    ws.libraryOnDisk = loadedStamp;

    // The comparison does not depend on the library's order, and the sort after the append keeps
    // records with equal keys in their order, so one sort, at the end, gives what the window saves.
    std::vector<qsizetype> picked;
    {
        const LocalIndex index(ws.codeArray);
        for (const Comparison::Row& row : Comparison::FillListViewRemote(index, staged)) {
            if (all || wanted.erase(row.id) > 0) {
                picked.push_back(row.id);
            }
        }
    }
    if (!wanted.empty()) {
        printError(
            QStringLiteral("zorbeth-cli: %1 is not an ID of the list compare gives for %2; nothing was "
                           "imported\n")
                .arg(*wanted.begin())
                .arg(file));
        return Failure;
    }
    const qsizetype count =
        RemoteImport::appendStaged(ws.codeArray, staged, picked, RemoteImport::fieldsFor(file));
    if (count > 0) {
        LibraryOrdering::SortCodeByLanguage(ws.codeArray);
        if (!LibraryFile::SaveCodeArrayToFile(ws, &error)) {
            printError(QStringLiteral("zorbeth-cli: %1\nNothing was imported.\n").arg(error));
            return Failure;
        }
    }
    if (m_json) {
        m_out.write(QJsonDocument(QJsonObject{{"imported", qint64(count)}}).toJson(QJsonDocument::Compact) +
                    '\n');
    } else {
        print(RemoteImport::importedStatus(count, QFileInfo(file).absoluteFilePath()) + u'\n');
    }
    return Success;
}

int CliCommands::objects(const QStringList& arguments)
{
    const QString sub = arguments.value(0);
    if (sub == QLatin1String("analyze") && arguments.size() == 1) {
        return objectsAnalyze();
    }
    if (sub == QLatin1String("list") && arguments.size() == 1) {
        return objectsList();
    }
    if (sub == QLatin1String("extract") && arguments.size() == 3) {
        return objectsExtract(arguments[1], arguments[2]);
    }
    return usageError(QLatin1String("objects takes analyze, list, or extract INDEX DIR"));
}

int CliCommands::objectsAnalyze()
{
    CodeArray records;
    QString resourcePath;
    const int status = loadLibrary(records, &resourcePath);
    if (status == Failure) {
        return status;
    }
    const ObjectAnalysis::Analysis analysis = ObjectAnalysis::analyze(records, resourcePath);
    if (m_json) {
        const QJsonObject o{
            {"objects", analysis.count}, {"bytesUsed", analysis.bytesUsed}, {"fileSize", analysis.fileSize}};
        m_out.write(QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n');
    } else {
        print(ObjectAnalysis::statusText(analysis) + u'\n');
    }
    return status;
}

int CliCommands::objectsList()
{
    CodeArray records;
    QString resourcePath;
    int status = loadLibrary(records, &resourcePath);
    if (status == Failure) {
        return status;
    }
    const std::vector<ObjectList::Entry> entries =
        ObjectList::inUse(records, ResourceFile::size(resourcePath));
    QJsonArray array;
    QList<QStringList> rows{{"index", "start", "length", "valid", "name", "title"}};
    for (const ObjectList::Entry& e : entries) {
        if (!e.valid) {
            status = Problems;
        }
        if (m_json) {
            array.append(QJsonObject{{"index", qint64(e.index)},
                                     {"title", e.title},
                                     {"name", e.name},
                                     {"start", e.start},
                                     {"length", e.length},
                                     {"valid", e.valid}});
        } else {
            rows.append({QString::number(e.index), QString::number(e.start), QString::number(e.length),
                         e.valid ? QStringLiteral("yes") : QStringLiteral("no"), e.name, e.title});
        }
    }
    if (m_json) {
        const QJsonObject o{{"count", qint64(entries.size())}, {"objects", array}};
        m_out.write(QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n');
    } else {
        print(table(rows) + QString::number(entries.size()) + QStringLiteral(" objects\n"));
    }
    return status;
}

int CliCommands::objectsExtract(const QString& index, const QString& folder)
{
    bool ok = false;
    const qlonglong wanted = index.toLongLong(&ok);
    if (!ok) {
        return usageError(QLatin1String("INDEX must be a number: ") + index);
    }
    if (!QFileInfo(folder).isDir()) {
        printError(QStringLiteral("zorbeth-cli: %1 is not a folder\n").arg(folder));
        return Failure;
    }
    CodeArray records;
    QString resourcePath;
    const int status = loadLibrary(records, &resourcePath);
    if (status == Failure || !hasIndex(records, wanted)) {
        return Failure;
    }
    const SnippetRecord& r = records[size_t(wanted)];
    if (r.ObjectFlag != 1) {
        printError(QStringLiteral("zorbeth-cli: snippet %1 has no object\n").arg(wanted));
        return Problems;
    }
    using Outcome = ObjectExport::Extracted::Outcome;
    QByteArray bytes;
    const ObjectExport::Extracted extracted =
        ObjectExport::extract(workspace(), resourcePath, r, folder, bytes);
    switch (extracted.outcome) {
    case Outcome::Written:
        break;
    case Outcome::Refused:
        printError(QStringLiteral("zorbeth-cli: snippet %1: %2\n").arg(wanted).arg(extracted.error));
        return Problems;
    case Outcome::ReadFailed:
        printError(QStringLiteral("zorbeth-cli: the object of snippet %1 cannot be read from %2: %3\n")
                       .arg(wanted)
                       .arg(QDir::toNativeSeparators(resourcePath), extracted.error));
        return Failure;
    case Outcome::WriteFailed:
        printError(QStringLiteral("zorbeth-cli: %1: %2\n").arg(extracted.path, extracted.error));
        return Failure;
    }
    if (m_json) {
        const QJsonObject o{{"written", extracted.path}, {"bytes", qint64(bytes.size())}};
        m_out.write(QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n');
    } else {
        print(QStringLiteral("%1 bytes written to %2\n").arg(bytes.size()).arg(extracted.path));
    }
    return status;
}

int CliCommands::exportFiles(const QStringList& arguments, const QString& language, bool languageGiven)
{
    const QString format = arguments.value(0);
    const bool vsCode = format == QLatin1String("vscode") && arguments.size() == 3 && !languageGiven;
    const bool markdown = format == QLatin1String("markdown") && arguments.size() == 2;
    if (!vsCode && !markdown) {
        return usageError(QLatin1String("export takes vscode LANGUAGE DIR, or markdown [--language L] DIR"));
    }
    CodeArray records;
    const int status = loadLibrary(records);
    if (status == Failure) {
        return status;
    }
    const QString folder = arguments.last();
    const TextExport::Result result =
        vsCode ? TextExport::exportLanguage(records, arguments[1], folder, TextExport::Format::VsCodeSnippets)
        : languageGiven ? TextExport::exportLanguage(records, language, folder, TextExport::Format::Markdown)
                        : TextExport::exportLibraryMarkdown(records, folder);
    if (result.status == TextExport::Result::Unwritable) {
        printError(QStringLiteral("zorbeth-cli: %1\n").arg(result.error));
        return Failure;
    }
    if (result.status == TextExport::Result::NoSnippet) {
        printError(QStringLiteral("zorbeth-cli: %1\n").arg(result.error));
    }
    if (m_json) {
        const QJsonObject o{{"written", QJsonArray::fromStringList(result.written)},
                            {"snippets", qint64(result.snippets)}};
        m_out.write(QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n');
    } else if (result.status == TextExport::Result::Written) {
        print(QStringLiteral("%1 snippets written to:\n%2\n")
                  .arg(result.snippets)
                  .arg(result.written.join(u'\n')));
    }
    return result.status == TextExport::Result::NoSnippet ? Problems : status;
}

int CliCommands::find(const QString& query, const QString& limit)
{
    bool ok = false;
    const qlonglong rows = limit.toLongLong(&ok);
    if (!ok || rows < 1) {
        return usageError(QLatin1String("--limit must be a number of 1 or more: ") + limit);
    }
    CodeArray records;
    const int status = loadLibrary(records);
    if (status == Failure) {
        return status;
    }
    QuickOpenIndex index(records);
    QJsonArray listed;
    QList<QStringList> lines{{"index", "score", "language", "category", "title"}};
    for (const QuickOpenIndex::Row& row : index.find(query, qsizetype(rows))) {
        const SnippetRecord& r = records[size_t(row.index)];
        if (m_json) {
            listed.append(QJsonObject{{"index", qint64(row.index)},
                                      {"title", r.Title},
                                      {"language", r.Language},
                                      {"category", r.Category},
                                      {"score", row.score}});
        } else {
            lines.append(
                {QString::number(row.index), QString::number(row.score), r.Language, r.Category, r.Title});
        }
    }
    if (m_json) {
        m_out.write(QJsonDocument(QJsonObject{{"rows", listed}}).toJson(QJsonDocument::Compact) + '\n');
    } else {
        print(table(lines));
    }
    return status;
}

Workspace CliCommands::workspace() const
{
    Workspace ws;
    ws.programFolder = ProgramFolder::resolve(m_folder);
    return ws;
}

int CliCommands::loadLibrary(CodeArray& records, QString* resourcePath)
{
    const Workspace ws = workspace();
    if (resourcePath) {
        *resourcePath = ResourceFile::path(ws);
    }
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
    const bool read = reportRead(path, result, qsizetype(records.size()));
    const bool settled = !resourcePath || objectsAsTheWindowSeesThem(records, *resourcePath);
    return read && settled ? Success : Problems;
}

int CliCommands::readLibrary(MappedDatabase& db, bool& mapped, CodeArray& records,
                             const std::function<void(QByteArrayView, qsizetype, qsizetype)>& alongside)
{
    const QString path = workspace().databasePath();
    mapped = !m_fullRead && QFileInfo(path).isFile() && db.open(path, bool(alongside), alongside);
    if (!mapped) {
        return loadLibrary(records);
    }
    return reportRead(path, db.result(), db.count()) ? Success : Problems;
}

bool CliCommands::reportRead(const QString& path, const DatabaseFile::ReadResult& result, qsizetype records)
{
    if (result.damaged()) {
        printError(QStringLiteral("zorbeth-cli: %1 is damaged; %2 records could not be read%3\n")
                       .arg(path)
                       .arg(result.lostRecords)
                       .arg(result.lostTitles.isEmpty()
                                ? QString()
                                : QStringLiteral(": ") + result.lostTitles.join(QStringLiteral(", "))));
    }
    if (!result.complete) {
        printError(QStringLiteral("zorbeth-cli: %1 ends before its end marker; %2 snippets were read\n")
                       .arg(path)
                       .arg(records));
    }
    return result.complete && !result.damaged();
}

bool CliCommands::objectsAsTheWindowSeesThem(const CodeArray& records, QString& resourcePath)
{
    // The window settles an interrupted compaction when it loads the library; a reader may not write,
    // so it reads from where the window would and says what is left to do.
    const QString tempPath = ResourceCompaction::tempPathFor(resourcePath);
    switch (ResourceCompaction::interrupted(resourcePath, records)) {
    case ResourceCompaction::Interrupted::None:
        return true;
    case ResourceCompaction::Interrupted::Finish:
        printError(
            QStringLiteral("zorbeth-cli: a compaction of %1 was interrupted after the library was saved; "
                           "the objects are read from %2, which Zorbeth puts in place when it next loads "
                           "the library\n")
                .arg(QDir::toNativeSeparators(resourcePath), QDir::toNativeSeparators(tempPath)));
        resourcePath = tempPath;
        return false;
    case ResourceCompaction::Interrupted::Discard:
        printError(QStringLiteral("zorbeth-cli: %1 is left from an interrupted compaction and is not used; "
                                  "Zorbeth removes it when it next loads the library\n")
                       .arg(QDir::toNativeSeparators(tempPath)));
        return false;
    }
    return true;
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
