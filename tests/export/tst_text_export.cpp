#include "export/TextExport.h"
#include "import/ForeignSnippets.h"
#include "store/WriteFaults.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

namespace {

SnippetRecord snippet(const QString& language, const QString& category, const QString& title,
                      const QString& code, const QString& keywords = {})
{
    SnippetRecord r;
    r.Language = language;
    r.Category = category;
    r.Title = title;
    r.Code = code;
    r.Keywords = keywords;
    return r;
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QJsonObject parse(const QString& path)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(readAll(path), &error);
    if (error.error != QJsonParseError::NoError) {
        qWarning() << "not JSON:" << error.errorString();
    }
    return doc.object();
}

// The members' names in the order the file holds them (a parsed object sorts them).
QStringList memberOrder(const QString& path)
{
    const QString text = QString::fromUtf8(readAll(path));
    QStringList keys = parse(path).keys();
    std::sort(keys.begin(), keys.end(), [&text](const QString& a, const QString& b) {
        const auto at = [&text](const QString& key) {
            return text.indexOf(
                QStringLiteral("\r\n  ") +
                QString::fromUtf8(
                    QJsonDocument(QJsonArray{key}).toJson(QJsonDocument::Compact).chopped(1).mid(1)) +
                QStringLiteral(": {"));
        };
        return at(a) < at(b);
    });
    return keys;
}

QString joined(const QJsonArray& lines)
{
    QStringList parts;
    for (const QJsonValue& line : lines) {
        parts << line.toString();
    }
    return parts.join(QStringLiteral("\r\n"));
}

} // namespace

class TextExportTest : public QObject
{
    Q_OBJECT

private slots:

    // What the VS Code export writes, the import reads back: every title and code, and the language
    // wherever the table has its id (a language without one comes back as Text).
    void vsCode_exportThenImport_givesBackTitlesCodeAndLanguage_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("readBack");
        QTest::newRow("id and name alike") << "Python"
                                           << "Python";
        QTest::newRow("name is not its file name") << "C++"
                                                   << "C++";
        QTest::newRow("two-word name") << "Visual Basic"
                                       << "Visual Basic";
        QTest::newRow("several ids, one name") << "Bash"
                                               << "Bash";
        QTest::newRow("no id in the table") << "Fortran"
                                            << "Text";
    }
    void vsCode_exportThenImport_givesBackTitlesCodeAndLanguage()
    {
        QFETCH(QString, language);
        QFETCH(QString, readBack);
        const CodeArray records{
            snippet(language, "Misc", "Sort", "a\r\n  b\r\n\r\nc", "bookmark sorting"),
            snippet(language, "Misc", "Sort", "second \"quoted\" $HOME `tick`"),
            snippet(language, "Work", "Tab\tand ünïcode", "\tx = 1;"),
        };
        QTemporaryDir dir;
        const TextExport::Result result =
            TextExport::exportLanguage(records, language, dir.path(), TextExport::Format::VsCodeSnippets);
        QCOMPARE(result.status, TextExport::Result::Written);
        QCOMPARE(result.written.size(), 1);

        CodeArray staged;
        QString error;
        QVERIFY2(ForeignSnippets::stageFile(result.written.first(), staged, &error), qPrintable(error));
        QCOMPARE(staged.size(), records.size());
        const QStringList titles{"Sort", "Sort (2)", "Tab\tand ünïcode"};
        for (size_t i = 0; i < records.size(); ++i) {
            QCOMPARE(staged[i].Title, titles[qsizetype(i)]);
            QCOMPARE(staged[i].Code.toString(), records[i].Code.toString());
            QCOMPARE(staged[i].Language, readBack);
        }
        QCOMPARE(staged[0].Keywords, QStringLiteral("sorting"));
        QCOMPARE(staged[1].Keywords, QStringLiteral("sort"));
    }
    void vsCode_givesBackEveryTitleCodePrefixAndScopeInLibraryOrder()
    {
        // Out of library order on purpose, with the language spelt two ways, one deleted record and
        // a snippet of another language.
        CodeArray records{
            snippet(QStringLiteral("Python"), QStringLiteral("Strings"), QStringLiteral("Trim \"both\" ends"),
                    QStringLiteral("s.strip()\r\n\t# tab\\back"), QStringLiteral("bookmark, Strip text")),
            snippet(QStringLiteral("python"), QStringLiteral("Files"), QStringLiteral("Read File"),
                    QStringLiteral("open(p).read()\r\n")),
            snippet(QStringLiteral("Python"), QStringLiteral("Files"), QStringLiteral("Gone"),
                    QStringLiteral("x")),
            snippet(QStringLiteral("Lua"), QStringLiteral("Files"), QStringLiteral("Other"),
                    QStringLiteral("y")),
            snippet(QStringLiteral("Python"), QStringLiteral("Files"), QStringLiteral("Écrire \u00e9t\u00e9"),
                    QString(), QStringLiteral("BOOKMARK")),
        };
        records[2].Deleted = true;
        QTemporaryDir dir;
        const TextExport::Result result =
            TextExport::exportLanguage(records, QStringLiteral("PYTHON"), dir.filePath(QStringLiteral("out")),
                                       TextExport::Format::VsCodeSnippets);
        QCOMPARE(result.status, TextExport::Result::Written);
        QCOMPARE(result.snippets, 3);
        const QString path = dir.filePath(QStringLiteral("out/python.code-snippets"));
        QCOMPARE(result.written, QStringList{path});

        QCOMPARE(memberOrder(path),
                 (QStringList{QStringLiteral("Read File"), QStringLiteral("Écrire \u00e9t\u00e9"),
                              QStringLiteral("Trim \"both\" ends")}));
        const QJsonObject file = parse(path);
        const QJsonObject read = file.value(QStringLiteral("Read File")).toObject();
        QCOMPARE(read.value(QStringLiteral("prefix")).toString(), QStringLiteral("read-file"));
        QCOMPARE(read.value(QStringLiteral("body")).toArray(),
                 (QJsonArray{QStringLiteral("open(p).read()"), QString()}));
        QCOMPARE(joined(read.value(QStringLiteral("body")).toArray()), records[1].Code.toString());
        QCOMPARE(read.value(QStringLiteral("description")).toString(), QStringLiteral("Files"));
        QCOMPARE(read.value(QStringLiteral("scope")).toString(), QStringLiteral("python"));

        const QJsonObject trim = file.value(QStringLiteral("Trim \"both\" ends")).toObject();
        QCOMPARE(trim.value(QStringLiteral("prefix")).toString(), QStringLiteral("Strip"));
        QCOMPARE(joined(trim.value(QStringLiteral("body")).toArray()), records[0].Code.toString());
        QCOMPARE(trim.value(QStringLiteral("description")).toString(), QStringLiteral("Strings"));

        const QJsonObject empty = file.value(QStringLiteral("Écrire \u00e9t\u00e9")).toObject();
        QCOMPARE(empty.value(QStringLiteral("prefix")).toString(), QStringLiteral("écrire-\u00e9t\u00e9"));
        QCOMPARE(empty.value(QStringLiteral("body")).toArray(), QJsonArray{QString()});
    }

    void vsCode_prefix_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("keywords");
        QTest::addColumn<QString>("prefix");
        QTest::newRow("first keyword") << "Read file"
                                       << "io disk"
                                       << "io";
        QTest::newRow("commas separate") << "Read file"
                                         << "io,disk"
                                         << "io";
        QTest::newRow("bookmark skipped in any case") << "Read file"
                                                      << "BookMark  disk"
                                                      << "disk";
        QTest::newRow("only bookmark: the title") << "Read  File Now"
                                                  << "bookmark"
                                                  << "read--file-now";
        QTest::newRow("no keywords: the title") << "Sort"
                                                << ""
                                                << "sort";
        QTest::newRow("bookmark inside a longer word is a keyword") << "Sort"
                                                                    << "bookmarks"
                                                                    << "bookmarks";
    }

    void vsCode_prefix()
    {
        QFETCH(QString, title);
        QFETCH(QString, keywords);
        QFETCH(QString, prefix);
        const CodeArray records{
            snippet(QStringLiteral("Go"), QStringLiteral("C"), title, QStringLiteral("x"), keywords)};
        const QJsonDocument doc = QJsonDocument::fromJson(TextExport::vsCodeDocument(records, {0}));
        QCOMPARE(doc.object().value(title).toObject().value(QStringLiteral("prefix")).toString(), prefix);
    }

    void vsCode_repeatedTitlesGetNumbersThatNeverMeetATitle()
    {
        const CodeArray records{
            snippet(QStringLiteral("Go"), QStringLiteral("A"), QStringLiteral("Sort"), QStringLiteral("1")),
            snippet(QStringLiteral("Go"), QStringLiteral("B"), QStringLiteral("Sort"), QStringLiteral("2")),
            snippet(QStringLiteral("Go"), QStringLiteral("B"), QStringLiteral("Sort (2)"),
                    QStringLiteral("3")),
            snippet(QStringLiteral("Go"), QStringLiteral("C"), QStringLiteral("Sort"), QStringLiteral("4")),
        };
        QTemporaryDir dir;
        const TextExport::Result result = TextExport::exportLanguage(
            records, QStringLiteral("go"), dir.path(), TextExport::Format::VsCodeSnippets);
        QCOMPARE(result.snippets, 4);
        const QString path = dir.filePath(QStringLiteral("go.code-snippets"));
        QCOMPARE(memberOrder(path),
                 (QStringList{QStringLiteral("Sort"), QStringLiteral("Sort (2)"),
                              QStringLiteral("Sort (2) (2)"), QStringLiteral("Sort (3)")}));
        const QJsonObject file = parse(path);
        QCOMPARE(file.size(), 4);
        QCOMPARE(
            file.value(QStringLiteral("Sort (2) (2)")).toObject().value(QStringLiteral("body")).toArray(),
            QJsonArray{QStringLiteral("3")});
        QCOMPARE(file.value(QStringLiteral("Sort (3)")).toObject().value(QStringLiteral("body")).toArray(),
                 QJsonArray{QStringLiteral("4")});
    }

    void vsCode_scope_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("scope");
        QTest::newRow("table id") << "C++"
                                  << "c++.code-snippets"
                                  << "cpp";
        QTest::newRow("any letter case") << "visual basic"
                                         << "visual basic.code-snippets"
                                         << "vb";
        QTest::newRow("bash's first id") << "Bash"
                                         << "bash.code-snippets"
                                         << "shellscript";
        QTest::newRow("no id: no scope") << "Pascal"
                                         << "pascal.code-snippets"
                                         << "";
        QTest::newRow("unsafe name") << "../C/C#"
                                     << "___c_c_.code-snippets"
                                     << "";
    }

    void vsCode_scope()
    {
        QFETCH(QString, language);
        QFETCH(QString, file);
        QFETCH(QString, scope);
        const CodeArray records{
            snippet(language, QStringLiteral("Cat"), QStringLiteral("T"), QStringLiteral("x"))};
        QTemporaryDir dir;
        const TextExport::Result result =
            TextExport::exportLanguage(records, language, dir.path(), TextExport::Format::VsCodeSnippets);
        QCOMPARE(result.written, QStringList{dir.filePath(file)});
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{file});
        const QJsonObject member = parse(dir.filePath(file)).value(QStringLiteral("T")).toObject();
        QCOMPARE(member.contains(QStringLiteral("scope")), !scope.isEmpty());
        QCOMPARE(member.value(QStringLiteral("scope")).toString(), scope);
    }

    void markdown_fenceIsLongerThanAnyBacktickRun_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("fence");
        QTest::newRow("none") << "int x;"
                              << "```";
        QTest::newRow("one") << "a `b` c"
                             << "```";
        QTest::newRow("three") << "```\r\nmd\r\n```"
                               << "````";
        QTest::newRow("runs of 2 and 5") << "`` x ````` y"
                                         << "``````";
        QTest::newRow("run at the end") << "x ````"
                                        << "`````";
    }

    void markdown_fenceIsLongerThanAnyBacktickRun()
    {
        QFETCH(QString, code);
        QFETCH(QString, fence);
        QCOMPARE(TextExport::fenceFor(code), fence);
        const CodeArray records{
            snippet(QStringLiteral("Python"), QStringLiteral("C"), QStringLiteral("T"), code)};
        const QString page = QString::fromUtf8(TextExport::markdownDocument(records, {0}));
        QVERIFY2(page.contains(fence + QStringLiteral("python\r\n") + code + QStringLiteral("\r\n") + fence +
                               QStringLiteral("\r\n")),
                 qPrintable(page));
    }

    void markdown_page_headingsKeywordsAndFencedCode()
    {
        CodeArray records{
            snippet(QStringLiteral("SQL"), QStringLiteral("Queries"), QStringLiteral("Count rows"),
                    QStringLiteral("SELECT COUNT(*)\r\nFROM t;"), QStringLiteral("  count   bookmark ")),
            snippet(QStringLiteral("sql"), QStringLiteral("queries"), QStringLiteral("All rows"),
                    QStringLiteral("SELECT *")),
            snippet(QStringLiteral("SQL"), QStringLiteral("Stored Procs"), QStringLiteral("Empty"),
                    QString()),
            snippet(QStringLiteral("SQL"), QStringLiteral("Stored Procs"), QStringLiteral("Dropped"),
                    QStringLiteral("x")),
        };
        records[3].Deleted = true;
        QTemporaryDir dir;
        const TextExport::Result result = TextExport::exportLanguage(
            records, QStringLiteral("Sql"), dir.path(), TextExport::Format::Markdown);
        QCOMPARE(result.snippets, 3);
        QCOMPARE(result.written, QStringList{dir.filePath(QStringLiteral("sql.md"))});
        QCOMPARE(QString::fromUtf8(readAll(result.written.first())),
                 QStringLiteral("# sql\r\n"
                                "\r\n## queries\r\n"
                                "\r\n### All rows\r\n\r\n"
                                "```sql\r\nSELECT *\r\n```\r\n"
                                "\r\n### Count rows\r\n\r\n"
                                "Keywords: count bookmark\r\n\r\n"
                                "```sql\r\nSELECT COUNT(*)\r\nFROM t;\r\n```\r\n"
                                "\r\n## Stored Procs\r\n"
                                "\r\n### Empty\r\n\r\n"
                                "```sql\r\n```\r\n"));
    }

    void markdownLibrary_writesOnePagePerLanguageAndKeepsEveryPage()
    {
        const CodeArray records{
            snippet(QStringLiteral("Lua"), QStringLiteral("A"), QStringLiteral("one"), QStringLiteral("1")),
            snippet(QStringLiteral("C/C++"), QStringLiteral("A"), QStringLiteral("two"), QStringLiteral("2")),
            snippet(QStringLiteral("C_C++"), QStringLiteral("A"), QStringLiteral("three"),
                    QStringLiteral("3")),
            snippet(QStringLiteral("lua"), QStringLiteral("B"), QStringLiteral("four"), QStringLiteral("4")),
        };
        QTemporaryDir dir;
        const TextExport::Result result = TextExport::exportLibraryMarkdown(records, dir.path());
        QCOMPARE(result.status, TextExport::Result::Written);
        QCOMPARE(result.snippets, 4);
        QCOMPARE(result.written, (QStringList{dir.filePath(QStringLiteral("c_c++.md")),
                                              dir.filePath(QStringLiteral("c_c++ (2).md")),
                                              dir.filePath(QStringLiteral("lua.md"))}));
        QVERIFY(readAll(result.written[0]).startsWith("# C/C++\r\n"));
        QVERIFY(readAll(result.written[1]).startsWith("# C_C++\r\n"));
        const QByteArray lua = readAll(result.written[2]);
        QVERIFY(lua.contains("### one") && lua.contains("### four"));
    }

    void nothingToExport_writesNothing_data()
    {
        QTest::addColumn<bool>("library");
        QTest::newRow("language") << false;
        QTest::newRow("library") << true;
    }

    void nothingToExport_writesNothing()
    {
        QFETCH(bool, library);
        CodeArray records{
            snippet(QStringLiteral("Lua"), QStringLiteral("A"), QStringLiteral("one"), QStringLiteral("1"))};
        records[0].Deleted = library;
        QTemporaryDir dir;
        const TextExport::Result result =
            library ? TextExport::exportLibraryMarkdown(records, dir.path())
                    : TextExport::exportLanguage(records, QStringLiteral("Go"), dir.path(),
                                                 TextExport::Format::Markdown);
        QCOMPARE(result.status, TextExport::Result::NoSnippet);
        QVERIFY(result.written.isEmpty());
        QVERIFY(QDir(dir.path()).isEmpty());
    }

    void unwritableFolder_isReportedAndNothingWritten()
    {
        const CodeArray records{
            snippet(QStringLiteral("Lua"), QStringLiteral("A"), QStringLiteral("one"), QStringLiteral("1"))};
        QTemporaryDir dir;
        QFile blocker(dir.filePath(QStringLiteral("file")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const TextExport::Result result = TextExport::exportLanguage(records, QStringLiteral("Lua"),
                                                                     dir.filePath(QStringLiteral("file/sub")),
                                                                     TextExport::Format::VsCodeSnippets);
        QCOMPARE(result.status, TextExport::Result::Unwritable);
        QVERIFY(result.error.contains(QStringLiteral("file/sub")));
        QVERIFY(result.written.isEmpty());
    }

    // Whichever step of the write fails, the page that was there stays whole and no stray file is left.
    void failedWrite_keepsThePreviousFileWhole()
    {
        const CodeArray records{
            snippet(QStringLiteral("Lua"), QStringLiteral("A"), QStringLiteral("one"), QStringLiteral("1"))};
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("lua.md"));
        int failures = 0;
        for (int point = 1; point < 50; ++point) {
            QVERIFY(QFile::remove(path) || !QFile::exists(path));
            QFile old(path);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("old page");
            old.close();
            WriteFaults::failAt(point);
            const TextExport::Result result = TextExport::exportLanguage(
                records, QStringLiteral("Lua"), dir.path(), TextExport::Format::Markdown);
            WriteFaults::failAt(0);
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                     QStringList{QStringLiteral("lua.md")});
            if (result.status == TextExport::Result::Written) {
                QVERIFY(readAll(path).startsWith("# Lua\r\n"));
                break;
            }
            ++failures;
            QCOMPARE(result.status, TextExport::Result::Unwritable);
            QCOMPARE(readAll(path), QByteArray("old page"));
        }
        QVERIFY(failures >= 3);
    }
};

QTEST_GUILESS_MAIN(TextExportTest)
#include "tst_text_export.moc"
