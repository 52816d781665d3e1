#include "export/HtmlTemplate.h"
#include "export/LanguageExport.h"
#include "export/SnippetExport.h"
#include "LibraryText.h"
#include "settings/AppSettings.h"
#include "settings/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

namespace {

SnippetRecord sample()
{
    SnippetRecord r;
    r.Language = QStringLiteral("SQL");
    r.Category = QStringLiteral("Queries");
    r.Title = QStringLiteral("Top <zq_Date> & more");
    r.Keywords = QStringLiteral("select");
    r.Date = QStringLiteral("2026-01-02 03:04:05");
    return r;
}

using LibraryText::readAll;

} // namespace

// The template, the page counter, the snippet page and the names and index of the language site.
class TestHtmlExport : public QObject
{
    Q_OBJECT

private slots:
    void fill_replacesInOrderAndCase_data()
    {
        QTest::addColumn<QString>("templateText");
        QTest::addColumn<bool>("languagePage");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("expected");
        const QString title = sample().Title;
        QTest::newRow("tag inside the title stays text")
            << "<zq_Title>|<zq_Language>" << false << title << "Top &lt;zq_Date&gt; &amp; more|SQL";
        QTest::newRow("snippet page: other case kept") << "<ZQ_TITLE>|<zq_category>|<zq_Category>" << false
                                                       << title << "<ZQ_TITLE>|<zq_category>|Queries";
        QTest::newRow("snippet page: index tag stays") << "<zq_Index>" << false << title << "<zq_Index>";
        QTest::newRow("language page: any case")
            << "<ZQ_Title>|<zq_KEYWORDS>" << true << title << "Top &lt;zq_Date&gt; &amp; more|select";
        QTest::newRow("language page: index link")
            << "<zq_index>" << true << title << "<a href=\"sql.htm\"><b>Index</b></a>";
        QTest::newRow("code last, as it is") << "<zq_Code>" << false << title << "<b><zq_Title></b>";
        QTest::newRow("no tags") << "plain" << true << title << "plain";
        QTest::newRow("script in a title is text")
            << "<h3><zq_Title></h3>" << false << "<script>alert(1)</script>"
            << "<h3>&lt;script&gt;alert(1)&lt;/script&gt;</h3>";
        QTest::newRow("heading end in a title") << "<h3> <zq_Title> </h3>" << true << "a</h3><h1>b"
                                                << "<h3> a&lt;/h3&gt;&lt;h1&gt;b </h3>";
        QTest::newRow("template argument shows") << "<zq_Title>" << false << "std::vector<int> sort"
                                                 << "std::vector&lt;int&gt; sort";
        QTest::newRow("quotes cannot leave an attribute")
            << "<a title=\"<zq_Title>\">" << true << "x\" onmouseover='y'"
            << "<a title=\"x&quot; onmouseover=&#39;y&#39;\">";
    }
    void fill_replacesInOrderAndCase()
    {
        QFETCH(QString, templateText);
        QFETCH(bool, languagePage);
        QFETCH(QString, title);
        QFETCH(QString, expected);
        const QString code = QStringLiteral("<b><zq_Title></b>");
        SnippetRecord record = sample();
        record.Title = title;
        const QString page = languagePage ? HtmlTemplate::fillLanguagePage(templateText, record, code,
                                                                           QStringLiteral("sql.htm"))
                                          : HtmlTemplate::fillSnippetPage(templateText, record, code);
        QCOMPARE(page, expected);
    }

    void defaultText_isTheTenLines()
    {
        const QStringList lines = HtmlTemplate::defaultText().split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 11);
        QCOMPARE(lines.last(), QString());
        QCOMPARE(lines[1], QStringLiteral("<h3> <zq_Title> </h3><p><zq_Index><p>"));
        QCOMPARE(lines[6], QStringLiteral("<tr><th align=left>Date:    <td><zq_Date>"));
        QCOMPARE(lines[8],
                 QStringLiteral("Created by <a href=\"https://zorbeth.example.org/\"><b>Zorbeth</b></a>"));
    }

    void setHtml_rewritesDefaultWhenConfiguredIsGone()
    {
        QTemporaryDir dir;
        const QString defaultPath = AppSettings::defaultTemplate(dir.path());
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("html_templates")));
        QFile edited(defaultPath);
        QVERIFY(edited.open(QIODevice::WriteOnly));
        edited.write("edited");
        edited.close();

        QString path = dir.filePath(QStringLiteral("gone.htm"));
        QVERIFY(HtmlTemplate::SetHTML(path, dir.path()));
        QCOMPARE(path, defaultPath);
        QCOMPARE(QString::fromUtf8(readAll(defaultPath)), HtmlTemplate::defaultText());

        // An existing template is left as it is.
        QFile other(dir.filePath(QStringLiteral("mine.htm")));
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.close();
        path = other.fileName();
        QVERIFY(HtmlTemplate::SetHTML(path, dir.path()));
        QCOMPARE(path, other.fileName());
    }

    void setHtml_failsWhenFolderCannotBeMade()
    {
        QTemporaryDir dir;
        QFile blocker(dir.filePath(QStringLiteral("html_templates")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QString path;
        QString error;
        QVERIFY(!HtmlTemplate::SetHTML(path, dir.path(), &error));
        QVERIFY(!error.isEmpty());
    }

    void counter_startsAtOneAndClears()
    {
        QTemporaryDir dir;
        SettingsStore store(dir.path());
        QVERIFY(!store.contains(QStringLiteral("HTMLCount")));
        QCOMPARE(SnippetExport::nextCounter(store), QStringLiteral("1"));
        QCOMPARE(SettingsStore(dir.path()).get(QStringLiteral("HTMLCount")), QStringLiteral("1"));
        QCOMPARE(SnippetExport::nextCounter(store), QStringLiteral("2"));
        SnippetExport::clearCounter(store);
        QCOMPARE(SettingsStore(dir.path()).get(QStringLiteral("HTMLCount")), QStringLiteral("0"));
        QCOMPARE(SnippetExport::nextCounter(store), QStringLiteral("1"));
        QCOMPARE(SnippetExport::pageName(QStringLiteral("7")), QStringLiteral("zorbeth7.htm"));
    }

    void writePage_isUtf8WithBomAndCode()
    {
        QTemporaryDir dir;
        const QString tpl = dir.filePath(QStringLiteral("t.htm"));
        QVERIFY(LibraryText::writeAll(tpl, "<zq_Title>:<zq_Code>"));
        SnippetExport::PageRequest request;
        request.folder = dir.path();
        request.rtfFile = QStringLiteral("zorbeth.rtf");
        request.convertedFile = request.pageFile = QStringLiteral("zorbeth.htm");
        request.templatePath = tpl;
        SnippetRecord r = sample();
        r.Title = QStringLiteral("Grüße");
        QString error;
        QVERIFY2(SnippetExport::writePage(request, "{\\rtf1 a<\\u8364?}", r, &error), qPrintable(error));
        const QByteArray page = readAll(dir.filePath(QStringLiteral("zorbeth.htm")));
        QVERIFY(page.startsWith("\xEF\xBB\xBF"
                                "Gr\xC3\xBC\xC3\x9F"
                                "e:<pre"));
        QVERIFY(page.endsWith("a&lt;\xE2\x82\xAC</pre>\r\n"));
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("zorbeth.rtf"))));
        // Written through a temporary file, the page is still readable by others, and no
        // temporary file stays behind.
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("zorbeth.htm"))).permissions() &
                QFileDevice::ReadOther);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
                 (QStringList{"t.htm", "zorbeth.htm", "zorbeth.rtf"}));

        // The template under the page's own name would be written over before it is read.
        request.templatePath = dir.filePath(QStringLiteral("zorbeth.htm"));
        QVERIFY(!SnippetExport::writePage(request, "{\\rtf1 x}", r, &error));
        QVERIFY2(error.startsWith(QStringLiteral("The template is the page being written")),
                 qPrintable(error));
        QVERIFY(readAll(dir.filePath(QStringLiteral("zorbeth.htm"))).endsWith("a&lt;\xE2\x82\xAC</pre>\r\n"));

        // A template that is gone: a message, and no page without its template.
        request.templatePath = dir.filePath(QStringLiteral("gone.htm"));
        request.pageFile = request.convertedFile = QStringLiteral("zorbeth2.htm");
        QVERIFY(!SnippetExport::writePage(request, "{\\rtf1 x}", r, &error));
        QVERIFY(error.contains(QStringLiteral("gone.htm")));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("zorbeth2.htm"))));
    }

    void baseName_staysInsideTheFolder_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("expected");
        QTest::newRow("blanks kept") << "Shell Scripts"
                                     << "shell scripts";
        QTest::newRow("plus kept") << "C++"
                                   << "c++";
        QTest::newRow("slash") << "C/C++"
                               << "c_c++";
        QTest::newRow("climbing") << "a/../../b"
                                  << "a_______b";
        QTest::newRow("backslash and colon") << "x\\y:z"
                                             << "x_y_z";
        QTest::newRow("dots alone") << ".."
                                    << "__";
        QTest::newRow("empty") << ""
                               << "_";
        QTest::newRow("link breakers") << "it's #1?"
                                       << "it_s _1_";
    }
    void baseName_staysInsideTheFolder()
    {
        QFETCH(QString, language);
        QFETCH(QString, expected);
        const QString base = LanguageExport::baseName(language);
        QCOMPARE(base, expected);
        const QDir folder(QStringLiteral("/tmp/x/html_export"));
        QCOMPARE(QFileInfo(folder.filePath(base + QStringLiteral("12.htm"))).absolutePath(),
                 folder.absolutePath());
    }

    void indexLines_matchTheSqlExample()
    {
        const QString base = LanguageExport::baseName(QStringLiteral("SQL"));
        const QStringList lines{
            LanguageExport::headingLine(QStringLiteral("SQL")),
            LanguageExport::firstCategoryLine(QStringLiteral("Queries")),
            LanguageExport::linkLine(base, 1, QStringLiteral("Join")),
            LanguageExport::linkLine(base, 2, QStringLiteral("Top")),
            LanguageExport::nextCategoryLine(QStringLiteral("Stored Procs")),
            LanguageExport::linkLine(base, 3, QStringLiteral("Insert row")),
        };
        QCOMPARE(lines, (QStringList{
                            "<h3>SQL (snippet index)</h3>",
                            "<a name=Queries><h3>Queries</h3><ul>",
                            "<a class=left href='sql1.htm'>Join</a><br>",
                            "<a class=left href='sql2.htm'>Top</a><br>",
                            "</ul><p><a name=StoredProcs><h3>Stored Procs</h3><ul>",
                            "<a class=left href='sql3.htm'>Insert row</a><br>",
                        }));
    }

    void indexLines_showHostileNamesAsText()
    {
        const QString base = LanguageExport::baseName(QStringLiteral("C&<b>"));
        const QStringList lines{
            LanguageExport::headingLine(QStringLiteral("C&<b>")),
            LanguageExport::firstCategoryLine(QStringLiteral("</h3><script>x()</script>")),
            LanguageExport::linkLine(base, 1, QStringLiteral("std::vector<int> sort")),
        };
        QCOMPARE(lines,
                 (QStringList{
                     "<h3>C&amp;&lt;b&gt; (snippet index)</h3>",
                     "<a name=&lt;/h3&gt;&lt;script&gt;x()&lt;/script&gt;><h3>&lt;/h3&gt;&lt;script&gt;"
                     "x()&lt;/script&gt;</h3><ul>",
                     "<a class=left href='c&amp;_b_1.htm'>std::vector&lt;int&gt; sort</a><br>",
                 }));
    }

    void prepareFolder_removesOnlyPages()
    {
        QTemporaryDir dir;
        QString folder;
        QVERIFY(LanguageExport::prepareFolder(dir.path(), folder));
        QCOMPARE(folder, dir.filePath(QStringLiteral("html_export")));
        for (const char* name : {"old1.htm", "old.htm", "notes.txt"}) {
            QFile f(QDir(folder).filePath(QLatin1String(name)));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        QVERIFY(LanguageExport::prepareFolder(dir.path(), folder));
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("notes.txt")});
    }
};

QTEST_GUILESS_MAIN(TestHtmlExport)
#include "tst_html_export.moc"
