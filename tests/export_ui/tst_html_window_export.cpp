#include "export/HtmlTemplate.h"
#include "export/ui/ExportCommands.h"
#include "gui/CodeEditor.h"
#include "LibraryText.h"
#include "ui/WindowFixture.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QProgressDialog>

namespace {

using LibraryText::readAll;

const QByteArray Bom("\xEF\xBB\xBF");

} // namespace

// The export commands in the real window: snippet page, language site, and copy as rich text.
class TestHtmlWindowExport : public QObject
{
    Q_OBJECT

private:
    static CodeArray sqlLibrary()
    {
        return {
            WindowFixture::record("SQL", "Queries", "Join", "", "SELECT a FROM t -- Grüße"),
            WindowFixture::record("SQL", "Queries", "Top", "", "SELECT TOP 1 x\r\n\tFROM y WHERE a < 1 & b"),
            WindowFixture::record("SQL", "Stored Procs", "Insert row", "", "INSERT INTO t VALUES (1)"),
            WindowFixture::record("Python", "Basics", "Hello", "", "print('hi')"),
        };
    }

    static void trigger(WindowFixture& f, const char* name)
    {
        QAction* action = f.find<QAction>(name);
        QVERIFY2(action, name);
        action->trigger();
    }

    static QString exportFolder(WindowFixture& f)
    {
        return QDir(f.folder()).filePath(QStringLiteral("html_export"));
    }

private slots:
    void languageExport_writesIndexAndPages()
    {
        WindowFixture f;
        f.writeLibrary(sqlLibrary());
        MainWindow& w = f.open();
        auto* code = f.find<CodeEditor>("txtCode");
        f.tree()->setCurrentItem(f.node(QStringLiteral("SQL")));
        const QString shown = code->text();
        trigger(f, "mnuExportLanguage");

        const QDir folder(exportFolder(f));
        QCOMPARE(folder.entryList(QDir::Files, QDir::Name),
                 (QStringList{"sql.htm", "sql1.htm", "sql2.htm", "sql3.htm"}));
        QCOMPARE(readAll(folder.filePath(QStringLiteral("sql.htm"))),
                 Bom + "<h3>SQL (snippet index)</h3>\r\n"
                       "<a name=Queries><h3>Queries</h3><ul>\r\n"
                       "<a class=left href='sql1.htm'>Join</a><br>\r\n"
                       "<a class=left href='sql2.htm'>Top</a><br>\r\n"
                       "</ul><p><a name=StoredProcs><h3>Stored Procs</h3><ul>\r\n"
                       "<a class=left href='sql3.htm'>Insert row</a><br>\r\n");

        const QString page = QString::fromUtf8(readAll(folder.filePath(QStringLiteral("sql2.htm"))));
        QVERIFY(page.contains(QStringLiteral("<a href=\"sql.htm\"><b>Index</b></a>")));
        QVERIFY(page.contains(QStringLiteral("<h3> Top </h3>")));
        QVERIFY2(page.contains(QStringLiteral("&lt;")) && page.contains(QStringLiteral("&amp;")),
                 qPrintable(page));
        QVERIFY2(page.contains(QStringLiteral("\r\n<span")) || page.contains(QStringLiteral("\r\n\t")),
                 qPrintable(page));
        // Keywords coloured as the SQL definition has them.
        QVERIFY2(page.contains(QStringLiteral("<span style=\"color:#0000ff\">SELECT</span>")),
                 qPrintable(page));
        QVERIFY(QString::fromUtf8(readAll(folder.filePath(QStringLiteral("sql1.htm"))))
                    .contains(QStringLiteral("Grüße")));

        // No working file is left, and the editor is as it was.
        QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("zorbeth.rtf"))));
        QCOMPARE(code->text(), shown);
        QVERIFY(!w.workspace().CodeChanged);
        QVERIFY(!code->isUndoAvailable());
    }

    void languageExport_secondLanguageRemovesFirstAndNeedsLanguage()
    {
        WindowFixture f;
        f.writeLibrary(sqlLibrary());
        f.open();
        f.tree()->setCurrentItem(f.node(QStringLiteral("SQL")));
        trigger(f, "mnuExportLanguage");
        f.tree()->setCurrentItem(f.node(QStringLiteral("Python")));
        trigger(f, "mnuExportLanguage");
        QCOMPARE(QDir(exportFolder(f)).entryList(QDir::Files, QDir::Name),
                 (QStringList{"python.htm", "python1.htm"}));

        f.tree()->setCurrentItem(f.node(QStringLiteral("Basics")));
        trigger(f, "mnuExportLanguage");
        QCOMPARE(f.find<QLabel>("StatusBar1")->text(), QStringLiteral("Please select a language."));
        QCOMPARE(QDir(exportFolder(f)).entryList(QDir::Files).size(), 2);
    }

    void languageExport_hostileNameStaysInExportFolder()
    {
        WindowFixture f;
        f.writeLibrary({WindowFixture::record("a/../../b", "Cat", "One", "", "x")});
        f.open();
        f.tree()->setCurrentItem(f.node(QStringLiteral("a/../../b")));
        trigger(f, "mnuExportLanguage");
        QCOMPARE(QDir(exportFolder(f)).entryList(QDir::Files, QDir::Name),
                 (QStringList{"a_______b.htm", "a_______b1.htm"}));
        QVERIFY(!QFile::exists(QDir(f.folder()).filePath(QStringLiteral("../b.htm"))));
        QVERIFY(!QFile::exists(QDir(f.folder()).filePath(QStringLiteral("b.htm"))));
    }

    void languageExport_cancelKeepsPagesDone()
    {
        WindowFixture f;
        f.writeLibrary(sqlLibrary());
        MainWindow& w = f.open();
        f.tree()->setCurrentItem(f.node(QStringLiteral("SQL")));
        auto* commands = w.findChild<ExportCommands*>(QStringLiteral("exportCommands"));
        QVERIFY(commands);
        int seen = 0;
        connect(commands, &ExportCommands::languagePageDone, this, [&](int n, int total) {
            seen = n;
            QCOMPARE(total, 3);
            w.findChild<QProgressDialog*>(QStringLiteral("dlgProgress"))->cancel();
        });
        trigger(f, "mnuExportLanguage");
        QCOMPARE(seen, 1);
        QCOMPARE(QDir(exportFolder(f)).entryList(QDir::Files, QDir::Name),
                 (QStringList{"sql.htm", "sql1.htm"}));
        QVERIFY(
            readAll(QDir(exportFolder(f)).filePath(QStringLiteral("sql.htm"))).endsWith("Join</a><br>\r\n"));
        QVERIFY(!w.findChild<QProgressDialog*>(QStringLiteral("dlgProgress")));
    }

    void snippetExport_numberedPageKeepsEditor()
    {
        WindowFixture f;
        f.writeLibrary(sqlLibrary());
        MainWindow& w = f.open();
        f.find<QAction>("mnuIncrementHTML")->setChecked(true);
        f.tree()->setCurrentItem(f.node(QStringLiteral("Top")));
        auto* code = f.find<CodeEditor>("txtCode");
        const QString shown = code->text();
        trigger(f, "mnuExport");

        QCOMPARE(f.settings().get(QStringLiteral("HTMLCount")), QStringLiteral("1"));
        const QByteArray bytes = readAll(QDir(f.folder()).filePath(QStringLiteral("zorbeth1.htm")));
        QVERIFY2(bytes.startsWith(Bom + "<html><body>\r\n<h3> Top </h3><p><zq_Index><p>"), bytes.constData());
        const QString page = QString::fromUtf8(bytes);
        QVERIFY(page.contains(QStringLiteral("<tr><th align=left>Language:<td>SQL\r\n")));
        QVERIFY(page.contains(QStringLiteral("&lt;</span>")) &&
                page.contains(QStringLiteral("&amp;</span>")));
        QVERIFY(page.contains(QStringLiteral("<span style=\"color:#0000ff\">SELECT</span>")));
        QVERIFY(page.endsWith(QStringLiteral("</body></html>\r\n\r\n")));
        QVERIFY(QFile::exists(QDir(f.folder()).filePath(QStringLiteral("zorbeth.rtf"))));
        QCOMPARE(code->text(), shown);
        QVERIFY(!w.workspace().CodeChanged);

        trigger(f, "mnuClearCounter");
        QCOMPARE(f.settings().get(QStringLiteral("HTMLCount")), QStringLiteral("0"));

        // Not a snippet: the counter has moved on all the same, and no page is written.
        f.tree()->setCurrentItem(f.node(QStringLiteral("Queries")));
        trigger(f, "mnuExport");
        QCOMPARE(f.find<QLabel>("StatusBar1")->text(),
                 QStringLiteral("Please select snippet. Current selection is not a snippet."));
        QCOMPARE(f.settings().get(QStringLiteral("HTMLCount")), QStringLiteral("1"));
        QVERIFY(QFile::exists(QDir(f.folder()).filePath(QStringLiteral("zorbeth1.htm"))));
    }

    void snippetExport_missingTemplateIsReported()
    {
        WindowFixture f;
        f.writeLibrary(sqlLibrary());
        MainWindow& w = f.open();
        Prompts::takeHistory();
        w.workspace().options.HTMLTemplate = QDir(f.folder()).filePath(QStringLiteral("gone.htm"));
        f.tree()->setCurrentItem(f.node(QStringLiteral("Top")));
        trigger(f, "mnuExport");
        const QList<Prompts::Record> shown = Prompts::takeHistory();
        QCOMPARE(shown.size(), 1);
        QVERIFY(shown.first().text.startsWith(QStringLiteral("Error starting export: ")));
        QVERIFY(!QFile::exists(QDir(f.folder()).filePath(QStringLiteral("zorbeth.htm"))));
    }

    void startup_writesDefaultTemplateAndSelectsAnother()
    {
        WindowFixture f;
        f.writeLibrary(sqlLibrary());
        {
            SettingsStore store = f.settings();
            store.save(QStringLiteral("HTMLTemplate"), QDir(f.folder()).filePath(QStringLiteral("gone.htm")));
        }
        MainWindow& w = f.open();
        const QString defaultPath = AppSettings::defaultTemplate(f.folder());
        QCOMPARE(w.workspace().options.HTMLTemplate, defaultPath);
        QCOMPARE(QString::fromUtf8(readAll(defaultPath)), HtmlTemplate::defaultText());

        const QString mine = QDir(f.folder()).filePath(QStringLiteral("html_templates/mine.html"));
        QFile file(mine);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[<zq_Title>]");
        file.close();
        Prompts::queueFile(mine);
        trigger(f, "mnuSelectTemplate");
        QCOMPARE(w.workspace().options.HTMLTemplate, mine);
        QCOMPARE(f.find<QLabel>("StatusBar1")->text(), QStringLiteral("HTML template selected"));
        f.tree()->setCurrentItem(f.node(QStringLiteral("Join")));
        trigger(f, "mnuExport");
        QCOMPARE(readAll(QDir(f.folder()).filePath(QStringLiteral("zorbeth.htm"))), Bom + "[Join]\r\n");
    }

    void copyRichText_putsRtfAndHtml()
    {
        WindowFixture f;
        f.writeLibrary(sqlLibrary());
        f.open();
        f.tree()->setCurrentItem(f.node(QStringLiteral("Join")));
        auto* menu = f.find<CodeEditor>("txtCode")->findChild<QMenu*>(QStringLiteral("mnuPopUpCodeMax"));
        QVERIFY(menu);
        QCOMPARE(menu->actions().last()->objectName(), QStringLiteral("mnuCMCopyRichText"));
        menu->actions().last()->trigger();
        const QMimeData* data = QApplication::clipboard()->mimeData();
        QVERIFY(data);
        const QByteArray rtf = data->data(QStringLiteral("text/rtf"));
        QVERIFY2(rtf.startsWith("{\\rtf1") && rtf.contains("SELECT") && rtf.contains("Gr\\u252?\\u223?e"),
                 rtf.constData());
        QVERIFY(data->html().contains(QStringLiteral("Grüße")));
        QVERIFY(data->html().contains(QStringLiteral("<span style=\"color:#")));
    }
};

QTEST_MAIN(TestHtmlWindowExport)
#include "tst_html_window_export.moc"
