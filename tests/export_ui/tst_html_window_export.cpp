#include "export/HtmlTemplate.h"
#include "export/ui/ExportCommands.h"
#include "gui/CodeEditor.h"
#include "library/ui/LibraryTree.h"
#include "library/ui/TreeController.h"
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
#include <QScrollBar>

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
        QCOMPARE(f.find<QLabel>("StatusBar1")->text(),
                 QStringLiteral("Language export cancelled: the site in %1 is partial (1 of 3 pages)")
                     .arg(QDir::toNativeSeparators(exportFolder(f))));
    }

    void languageExport_everyCategoryGetsItsHeading()
    {
        WindowFixture f;
        f.writeLibrary(sqlLibrary());
        f.open();
        LibraryTree* tree = f.tree();
        QTreeWidgetItem* sql = f.node(QStringLiteral("SQL"));
        sql->insertChild(0, tree->makeNode(QStringLiteral("SQL:::Archive"), QStringLiteral("Archive"),
                                           LibraryTree::CatTag, QString(), QString(), false));
        sql->addChild(tree->makeNode(QStringLiteral("SQL:::Old Views"), QStringLiteral("Old Views"),
                                     LibraryTree::CatTag, QString(), QString(), false));
        tree->setCurrentItem(sql);
        trigger(f, "mnuExportLanguage");
        QCOMPARE(readAll(QDir(exportFolder(f)).filePath(QStringLiteral("sql.htm"))),
                 Bom + "<h3>SQL (snippet index)</h3>\r\n"
                       "<a name=Archive><h3>Archive</h3><ul>\r\n"
                       "</ul><p><a name=Queries><h3>Queries</h3><ul>\r\n"
                       "<a class=left href='sql1.htm'>Join</a><br>\r\n"
                       "<a class=left href='sql2.htm'>Top</a><br>\r\n"
                       "</ul><p><a name=StoredProcs><h3>Stored Procs</h3><ul>\r\n"
                       "<a class=left href='sql3.htm'>Insert row</a><br>\r\n"
                       "</ul><p><a name=OldViews><h3>Old Views</h3><ul>\r\n");
        QCOMPARE(f.find<QLabel>("StatusBar1")->text(),
                 QStringLiteral("Language exported to %1 (3 of 3 pages)")
                     .arg(QDir::toNativeSeparators(exportFolder(f))));
    }

    void pageThatCannotBeWritten_isReportedWithItsCause_data()
    {
        QTest::addColumn<QString>("node");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("blocked"); // a folder where the export writes a page
        QTest::addColumn<QString>("message");
        QTest::newRow("snippet page") << "Top"
                                      << "mnuExport"
                                      << "zorbeth.htm"
                                      << "Error starting export: ";
        QTest::newRow("language site") << "Python"
                                       << "mnuExportLanguage"
                                       << "html_export/python1.htm"
                                       << "Error starting language export: ";
    }

    void pageThatCannotBeWritten_isReportedWithItsCause()
    {
        QFETCH(QString, node);
        QFETCH(QString, command);
        QFETCH(QString, blocked);
        QFETCH(QString, message);
        WindowFixture f;
        f.writeLibrary(sqlLibrary());
        f.open();
        QVERIFY(QDir(f.folder()).mkpath(blocked));
        Prompts::takeHistory();
        f.tree()->setCurrentItem(f.node(node));
        trigger(f, command.toLatin1().constData());
        const QList<Prompts::Record> shown = Prompts::takeHistory();
        QCOMPARE(shown.size(), 1);
        const QString text = shown.first().text;
        QVERIFY2(text.startsWith(message) && text.contains(QStringLiteral("Is a directory")) &&
                     text.contains(QDir::toNativeSeparators(QDir(f.folder()).filePath(blocked))),
                 qPrintable(text));
    }

    void languageExport_pagesThatFail_showOneMessageAndCount()
    {
        WindowFixture f;
        f.writeLibrary(sqlLibrary());
        f.open();
        for (const char* blocked : {"html_export/sql1.htm", "html_export/sql3.htm"}) {
            QVERIFY(QDir(f.folder()).mkpath(QLatin1String(blocked)));
        }
        Prompts::takeHistory();
        f.tree()->setCurrentItem(f.node(QStringLiteral("SQL")));
        trigger(f, "mnuExportLanguage");
        const QList<Prompts::Record> shown = Prompts::takeHistory();
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown.first().text.contains(QStringLiteral("sql1.htm")), qPrintable(shown.first().text));
        QCOMPARE(f.find<QLabel>("StatusBar1")->text(),
                 QStringLiteral("Language exported to %1 (1 of 3 pages)")
                     .arg(QDir::toNativeSeparators(exportFolder(f))));
    }

    void languageExport_leavesNoWiderScrolledText()
    {
        WindowFixture f;
        CodeArray records = sqlLibrary();
        records.push_back(WindowFixture::record("SQL", "Queries", "Wide", "", QString(3000, u'x')));
        f.writeLibrary(records);
        f.open();
        f.window().show();
        auto* code = f.find<CodeEditor>("txtCode");
        f.tree()->setCurrentItem(f.node(QStringLiteral("SQL")));
        QCoreApplication::processEvents();
        const int width = code->scrollWidth();
        trigger(f, "mnuExportLanguage");
        QCoreApplication::processEvents();
        QCOMPARE(code->scrollWidth(), width);
        QVERIFY(!code->horizontalScrollBar()->isVisible());
    }

    void selectTemplate_refusesANameTheExportsWriteOver_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("refused");
        QTest::newRow("the snippet page") << "zorbeth.htm" << true;
        QTest::newRow("a numbered page") << "zorbeth12.htm" << true;
        QTest::newRow("in other letter case") << "ZORBETH3.HTM" << true;
        QTest::newRow("in the language site's folder") << "html_export/site.htm" << true;
        QTest::newRow("page name in the templates folder") << "html_templates/zorbeth.htm" << false;
        QTest::newRow("another name") << "zorbethx.htm" << false;
    }

    void selectTemplate_refusesANameTheExportsWriteOver()
    {
        QFETCH(QString, name);
        QFETCH(bool, refused);
        WindowFixture f;
        f.writeLibrary(sqlLibrary());
        MainWindow& w = f.open();
        const QString before = w.workspace().options.HTMLTemplate;
        const QString chosen = QDir(f.folder()).filePath(name);
        QVERIFY(QDir().mkpath(QFileInfo(chosen).path()));
        LibraryText::writeAll(chosen, "[<zq_Title>]");
        Prompts::takeHistory();
        Prompts::queueFile(chosen);
        trigger(f, "mnuSelectTemplate");
        const QList<Prompts::Record> shown = Prompts::takeHistory();
        if (refused) {
            QCOMPARE(w.workspace().options.HTMLTemplate, before);
            QCOMPARE(shown.size(), 2); // the file dialog, then the reason
            QVERIFY2(shown.last().text.startsWith(QFileInfo(chosen).fileName() +
                                                  QStringLiteral(" cannot be the template: ")),
                     qPrintable(shown.last().text));
            QCOMPARE(f.find<QLabel>("StatusBar1")->text(), QStringLiteral("HTML template not selected"));
            return;
        }
        QCOMPARE(w.workspace().options.HTMLTemplate, chosen);
        f.tree()->setCurrentItem(f.node(QStringLiteral("Join")));
        trigger(f, "mnuExport");
        QCOMPARE(readAll(chosen), QByteArray("[<zq_Title>]"));
        QCOMPARE(readAll(QDir(f.folder()).filePath(QStringLiteral("zorbeth.htm"))), Bom + "[Join]\r\n");
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
        // The record keeps its date: exporting is not an edit.
        QCOMPARE(w.workspace().codeArray[size_t(w.treeController().Selection())].Date, sqlLibrary()[1].Date);

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

    // Settings values as a hand-edited "zorbeth.ini" can hold them reach the real editor, and every
    // rendering of its text (snippet page, language site, rich text copy) takes them whole.
    void renderings_takeEditorSettingsWhole_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("inRtf");
        const QString longName = QString(600, u'F');
        QTest::newRow("600-character font name") << "FontName" << longName << longName.toLatin1();
        QTest::newRow("font name of RTF specials")
            << "FontName" << QStringLiteral("A;{B}\\C") << QByteArray("A  B  C;");
        QTest::newRow("huge font size") << "FontSize" << QStringLiteral("2147483647") << QByteArray("\\fs");
        QTest::newRow("negative font size") << "FontSize" << QStringLiteral("-5") << QByteArray("\\fs");
    }

    void renderings_takeEditorSettingsWhole()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, inRtf);
        WindowFixture f;
        f.writeLibrary(sqlLibrary());
        {
            SettingsStore store = f.settings();
            store.save(key, value);
            store.sync();
        }
        f.open();
        f.tree()->setCurrentItem(f.node(QStringLiteral("Join")));
        f.find<CodeEditor>("txtCode")->findChild<QAction*>(QStringLiteral("mnuCMCopyRichText"))->trigger();
        const QByteArray rtf = QApplication::clipboard()->mimeData()->data(QStringLiteral("text/rtf"));
        QVERIFY2(rtf.contains(inRtf) && rtf.contains("SELECT"), rtf.left(800).constData());

        trigger(f, "mnuExport");
        QVERIFY(QString::fromUtf8(readAll(QDir(f.folder()).filePath(QStringLiteral("zorbeth.htm"))))
                    .contains(QStringLiteral("Grüße")));
        f.tree()->setCurrentItem(f.node(QStringLiteral("SQL")));
        trigger(f, "mnuExportLanguage");
        QCOMPARE(QDir(exportFolder(f)).entryList({QStringLiteral("*.htm")}).size(), 4);
        QVERIFY(Prompts::takeHistory().isEmpty());
    }
};

QTEST_MAIN(TestHtmlWindowExport)
#include "tst_html_window_export.moc"
