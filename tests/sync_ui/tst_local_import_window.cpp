#include "import/ForeignFixtures.h"
#include "sync/Comparison.h"
#include "sync_ui/ComparisonWindow.h"

#include <ctime>
#include <QLineEdit>
#include <QMenu>
#include <Qsci/qscilexer.h>
#include <QTest>

namespace {

const QByteArray CppSource = "class Alpha\r\n{\r\n    int a;\r\n};\n\nclass Beta\r\n{\r\n    int b;\r\n};\n";
const QByteArray BasSource =
    "Sub Hello()\n    x = 1\nEnd Sub\n\nFunction Twice(n)\n    Twice = n * 2\nEnd Function\n";

SnippetRecord record(const QString& language, const QString& category, const QString& title,
                     const QString& code, const QString& keywords = {})
{
    return WindowFixture::record(language, category, title, keywords, code);
}

// A library where "Alpha" exists with other code and "Zeta" only locally.
CodeArray cppLibrary()
{
    return {record("C++", "Misc", "Alpha", "other code"), record("C++", "Misc", "Zeta", "z")};
}

} // namespace

class LocalImportWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // massCode's times are read as local time; the expected texts are for UTC.
        qputenv("TZ", "UTC");
        tzset();
    }

    void localImport_stagesOtherToolsFiles_data()
    {
        using namespace ForeignFixtures;
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("bytes"); // empty: the massCode SQLite library
        QTest::addColumn<QStringList>("languages");
        QTest::addColumn<QStringList>("titles");
        QTest::newRow("vs code") << "python.json" << PythonJson << QStringList{"Python", "Python", "Python"}
                                 << QStringList{"Alpha main", "Url", "Zeta print"};
        QTest::newRow("vs code scopes")
            << "mine.code-snippets" << GlobalSnippets << QStringList{"Bash", "Fortran", "Text", "TypeScript"}
            << QStringList{"Shell", "Odd", "Plain", "Log"};
        const QStringList massCodeLanguages{"CSS", "JavaScript", "Python", "Text"};
        const QStringList massCodeTitles{"Untitled snippet - Style", "Untitled snippet - Script", "Read file",
                                         "Lost folder"};
        QTest::newRow("massCode db.json") << "db.json" << MassCodeJson << massCodeLanguages << massCodeTitles;
        QTest::newRow("massCode.db") << "massCode.db" << QByteArray() << massCodeLanguages << massCodeTitles;
        QTest::newRow("pet") << "snippet.toml" << PetToml << QStringList{"Bash", "Bash"}
                             << QStringList{"loop", "ping google"};
    }

    void localImport_stagesOtherToolsFiles()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, languages);
        QFETCH(QStringList, titles);
        ComparisonWindow w(cppLibrary());
        const QString path = w.writeFile(fileName, bytes);
        if (bytes.isEmpty()) {
            QVERIFY(ForeignFixtures::writeMassCodeDb(path));
        }

        w.importLocal(path);

        QCOMPARE(w.rowTexts(RemoteListModel::TitleColumn), titles);
        QCOMPARE(w.rowTexts(RemoteListModel::LanguageColumn), languages);
        QCOMPARE(w.status(),
                 QStringLiteral("%1 of %1 source code snippet have differences.  Local file name:   ")
                         .arg(titles.size()) +
                     path);
        QCOMPARE(Prompts::takeHistory().size(), 1); // the file dialog, no message
        // The first row's code is shown with the editor's own line ends.
        QCOMPARE(w.code->text().remove(u'\r'), w.ws().remoteCodeArray[0].Code.toString().remove(u'\r'));
        QVERIFY(w.button("Import")->isEnabled());
    }

    void importFromMassCode_keepsItsOwnDateTagsAndDescription()
    {
        ComparisonWindow w(cppLibrary());
        w.importLocal(w.writeFile("db.json", ForeignFixtures::MassCodeJson));
        w.tick("Read file");
        w.trigger("mnuImportSelected");
        QCOMPARE(w.library(),
                 (QStringList{"C++/Misc/Alpha", "C++/Misc/Zeta", "Python/Work/Python/Read file"}));
        const SnippetRecord& imported = w.ws().codeArray.back();
        QCOMPARE(imported.Date, QStringLiteral("2023-11-14 22:13:20"));
        QCOMPARE(imported.Code.toString(), QStringLiteral("with open(p) as f:\r\n    f.read()"));
        // The tool's tags and favourite mark are the user's own: they arrive as keywords (a bookmark).
        QCOMPARE(imported.Keywords, QStringLiteral("io util bookmark"));
        QCOMPARE(imported.DText, QStringLiteral("Reads a file"));
        QCOMPARE(imported.HText, QString());
    }

    void brokenFileOfAnotherTool_isReportedByName_andStagesNothing_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("why");
        QTest::newRow("json") << "python.json" << QByteArray("{\"a\": {\"body\": \"x\"")
                              << "it is not valid JSON";
        QTest::newRow("toml") << "pet.toml" << QByteArray("[[snippets]]\ncommand = \"x")
                              << "it is not valid TOML";
        QTest::newRow("no massCode library")
            << "massCode.db" << QByteArray("plain text, no SQLite") << "it is no massCode library";
    }

    void brokenFileOfAnotherTool_isReportedByName_andStagesNothing()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, why);
        ComparisonWindow w(cppLibrary());
        const QString path = w.writeFile(fileName, bytes);

        w.importLocal(path);

        const QList<Prompts::Record> asked = Prompts::takeHistory();
        QCOMPARE(asked.size(), 2);
        QCOMPARE(asked[1].title, QStringLiteral("Load Code Data"));
        QVERIFY2(
            asked[1].text.startsWith(QStringLiteral("The file \"%1\" cannot be imported: %2").arg(path, why)),
            qPrintable(asked[1].text));
        QCOMPARE(w.keys(), QStringList{"X"});
        QCOMPARE(w.rowTexts(RemoteListModel::TitleColumn),
                 QStringList{QString::fromLatin1(Comparison::NothingFoundText)});
        QVERIFY(!w.button("Import")->isEnabled());
        QCOMPARE(w.library(), (QStringList{"C++/Misc/Alpha", "C++/Misc/Zeta"}));
        QVERIFY(!w.ws().CodeChanged);
    }

    void localImport_listsTheFileAgainstTheLibrary_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<QString>("redTitle");
        QTest::newRow("cpp") << "shapes.cpp" << CppSource << "C++" << QStringList{"Alpha", "Beta"} << "Alpha";
        QTest::newRow("bas") << "module.bas" << BasSource << "Visual Basic"
                             << QStringList{"Hello()", "Twice(n)"} << "Twice(n)";
    }

    void localImport_listsTheFileAgainstTheLibrary()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, source);
        QFETCH(QString, language);
        QFETCH(QStringList, titles);
        QFETCH(QString, redTitle);
        ComparisonWindow w(
            {record(language, "Misc", redTitle, "other code"), record("Perl", "Misc", "Keep", "k")});
        const QString path = w.writeFile(fileName, source);

        w.importLocal(path);

        QCOMPARE(w.rowTexts(RemoteListModel::TitleColumn), titles);
        QCOMPARE(w.rowTexts(RemoteListModel::LanguageColumn), QStringList(titles.size(), language));
        QCOMPARE(w.rowTexts(RemoteListModel::IdColumn), (QStringList{"0", "1"}));
        QCOMPARE(w.keys(), (QStringList{"R0", "R1"}));
        QCOMPARE(w.redTitles(), QStringList{redTitle});
        QCOMPARE(w.status(),
                 QStringLiteral("2 of 2 source code snippet have differences.  Local file name:   ") + path);
        // The first row is selected and its code shown.
        QCOMPARE(w.list->currentIndex().row(), 0);
        QCOMPARE(w.code->text(), w.ws().remoteCodeArray[0].Code.toString());
        QVERIFY(!w.code->text().isEmpty());
        QCOMPARE(w.caption(), QStringLiteral("Local Source Code (Differences)"));
        QCOMPARE(w.ws().options.ImportFolder, QFileInfo(path).absolutePath() + u'/');
    }

    void enteringLocalMode_lendsTheFrameAndAsksForTheFile()
    {
        ComparisonWindow w(cppLibrary());
        w.importLocal(w.writeFile("a.cpp", CppSource));

        QVERIFY(w.action("mnuImportLocal")->isChecked());
        QVERIFY(w.button("drive")->isChecked());
        QVERIFY(w.button("Import")->isEnabled());
        QVERIFY(!w.button("Search")->isEnabled());
        QVERIFY(!w.button("transfer")->isEnabled());
        QVERIFY(!w.action("mnuDisplaySearchFrame")->isEnabled());
        QVERIFY(w.shown("frameSearch"));
        QVERIFY(!w.shown("cmbSearch"));
        QVERIFY(!w.shown("lstResults"));
        QVERIFY(w.shown("lstRemote"));
        QVERIFY(w.shown("txtRemote"));
        const QList<Prompts::Record> asked = Prompts::takeHistory();
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked[0].title, QStringLiteral("Select Language Source Code Files"));
        QCOMPARE(asked[0].text,
                 QStringLiteral(
                     "Source Code Files (*.txt, *.htm; *.html, *.bas, *.frm, *.pl, *.h, *.cpp, *.java, "
                     "*.zq5, *.code-snippets, *.json, db.json, massCode.db, *.toml) (*.txt *.htm *.html "
                     "*.bas *.frm *.pl *.h *.cpp *.java *.zq5 *.code-snippets *.json *.db *.toml)"));

        // Leaving gives the frame back to the search, as the "Search" button had it.
        const bool searchDown = w.button("Search")->isChecked();
        w.trigger("mnuImportLocal");
        QVERIFY(!w.action("mnuImportLocal")->isChecked());
        QVERIFY(!w.button("drive")->isChecked());
        QCOMPARE(w.caption(), QStringLiteral("Search"));
        QVERIFY(!w.button("Import")->isEnabled());
        QVERIFY(w.button("Search")->isEnabled());
        QVERIFY(w.button("transfer")->isEnabled());
        QVERIFY(w.action("mnuDisplaySearchFrame")->isEnabled());
        QCOMPARE(w.shown("frameSearch"), searchDown);
        QVERIFY(!w.f.find<QWidget>("cmbSearch")->isHidden());
        QVERIFY(!w.shown("lstRemote"));
        QCOMPARE(w.status(), QString());
    }

    void identicalSnippet_caseIgnored_isNotListed()
    {
        ComparisonWindow w({record("C++", "Misc", "Beta", "CLASS BETA\r\n{\r\n    INT B;\r\n}")});
        w.importLocal(w.writeFile("a.cpp", CppSource));
        QCOMPARE(w.rowTexts(RemoteListModel::TitleColumn), QStringList{"Alpha"});
        QCOMPARE(w.status().left(41), QStringLiteral("1 of 2 source code snippet have differenc"));
    }

    void importTicked_appendsSortedRecordsAndSelectsTheFirstNode()
    {
        ComparisonWindow w(
            {record("Perl", "Misc", "Zed", "z"), record("C++", "Misc", "Alpha", "other code", "kw")});
        const QString path = w.writeFile("a.cpp", CppSource);
        w.importLocal(path);
        const QString stagedDate = w.ws().remoteCodeArray[w.rowOf("Beta")].Date;
        DateStamp::pin(QDateTime(QDate(2030, 1, 1), QTime(0, 0, 0)));
        w.tick("Beta");
        w.tick("Alpha");

        w.trigger("mnuImportSelected");

        QCOMPARE(w.library(),
                 (QStringList{"C++/import/Alpha", "C++/import/Beta", "C++/Misc/Alpha", "Perl/Misc/Zed"}));
        const SnippetRecord& beta = w.ws().codeArray[1];
        QCOMPARE(beta.Code.toString(), QStringLiteral("class Beta\r\n{\r\n    int b;\r\n}"));
        QCOMPARE(beta.Keywords, QString());
        QCOMPARE(beta.Date, stagedDate);
        QVERIFY(w.ws().CodeChanged);
        QCOMPARE(w.f.tree()->currentItem(), w.f.tree()->topLevelItem(0));
        QCOMPARE(w.status(), QStringLiteral("2 remote source code snippets imported into local database.   "
                                            "Local file name:   ") +
                                 path);
        // The rows stay, unticked.
        QCOMPARE(w.model->rowCount(), 2);
        QVERIFY(!w.model->isChecked(0) && !w.model->isChecked(1));
    }

    void importFromALibraryFile_dropsKeywordsAndKeepsTheStagedDate()
    {
        ComparisonWindow w(cppLibrary());
        const QString path = w.f.folder() + QStringLiteral("/staged.txt");
        SnippetRecord staged = record("Perl", "Web", "Fetch", "get()", "server keywords");
        staged.Date = QStringLiteral("1999-12-31 23:59:58");
        staged.HText = QStringLiteral("notes");
        QVERIFY(DatabaseFile::write(path, {staged}));
        w.importLocal(path);
        w.tick("Fetch");
        w.trigger("mnuImportSelected");
        const SnippetRecord& imported = w.ws().codeArray.back();
        QCOMPARE(imported.Title, QStringLiteral("Fetch"));
        QCOMPARE(imported.Code.toString(), QStringLiteral("get()"));
        QCOMPARE(imported.Keywords, QString());
        QCOMPARE(imported.HText, QString());
        QCOMPARE(imported.Date, QStringLiteral("1999-12-31 23:59:58"));
    }

    void importingTheSameRowTwice_addsItTwice()
    {
        ComparisonWindow w(cppLibrary());
        w.importLocal(w.writeFile("a.cpp", CppSource));
        w.tick("Beta");
        w.trigger("mnuImportSelected");
        w.tick("Beta");
        w.button("Import")->trigger();
        QCOMPARE(w.library().count("C++/import/Beta"), 2);
        QCOMPARE(w.status().left(46), QStringLiteral("1 remote source code snippets imported into lo"));
    }

    void importWithNothingTicked_stillRebuildsAndCountsNone()
    {
        ComparisonWindow w(cppLibrary());
        w.importLocal(w.writeFile("a.cpp", CppSource));
        w.trigger("mnuImportSelected");
        QCOMPARE(w.library(), (QStringList{"C++/Misc/Alpha", "C++/Misc/Zeta"}));
        QVERIFY(w.status().startsWith(QLatin1String("0 remote source code snippets imported")));
    }

    void redRowClick_showsTheLocalSnippet_andReplaceTreeCodeTakesTheStagedCode()
    {
        ComparisonWindow w(cppLibrary());
        w.importLocal(w.writeFile("a.cpp", CppSource));
        w.click("Alpha");
        QTreeWidgetItem* node = w.f.tree()->currentItem();
        QCOMPARE(LibraryTree::key(node), QStringLiteral("T0"));
        QCOMPARE(w.f.find<CodeEditor>("txtCode")->text(), QStringLiteral("other code"));
        QCOMPARE(w.code->text(), QStringLiteral("class Alpha\r\n{\r\n    int a;\r\n}"));

        w.ws().CodeChanged = false;
        w.trigger("mnuReplaceTreeCode");

        QCOMPARE(w.f.find<CodeEditor>("txtCode")->text(),
                 QStringLiteral("class Alpha\r\n{\r\n    int a;\r\n}"));
        QCOMPARE(w.ws().codeArray[0].Code.toString(), QStringLiteral("class Alpha\r\n{\r\n    int a;\r\n}"));
        QCOMPARE(w.ws().codeArray[0].Date, QStringLiteral("2026-05-06 07:08:09"));
        QCOMPARE(w.ws().codeArray[0].Title, QStringLiteral("Alpha"));
        QVERIFY(w.ws().CodeChanged);
        QCOMPARE(w.library(), (QStringList{"C++/Misc/Alpha", "C++/Misc/Zeta"}));
    }

    void checkBoxClick_onRedRow_selectsItAndShowsTheLocalSnippet()
    {
        ComparisonWindow w(cppLibrary());
        w.importLocal(w.writeFile("a.cpp", CppSource));
        w.click("Beta");
        w.f.tree()->setCurrentItem(w.f.tree()->nodeByKey(QStringLiteral("T1")));
        w.clickCheckBox("Alpha");
        QVERIFY(w.model->isChecked(w.rowOf("Alpha")));
        QCOMPARE(w.list->currentIndex().row(), w.rowOf("Alpha"));
        QCOMPARE(w.code->text(), QStringLiteral("class Alpha\r\n{\r\n    int a;\r\n}"));
        QCOMPARE(LibraryTree::key(w.f.tree()->currentItem()), QStringLiteral("T0"));
    }

    void replaceTreeCode_onACategory_doesNothing()
    {
        ComparisonWindow w(cppLibrary());
        w.importLocal(w.writeFile("a.cpp", CppSource));
        w.f.tree()->setCurrentItem(w.f.tree()->nodeByKey(QStringLiteral("C++:::Misc")));
        w.ws().CodeChanged = false;
        w.trigger("mnuReplaceTreeCode");
        QVERIFY(!w.ws().CodeChanged);
        QCOMPARE(w.ws().codeArray[0].Code.toString(), QStringLiteral("other code"));
    }

    void replaceTreeCode_onAnotherSnippet_asksFirst_data()
    {
        QTest::addColumn<QString>("row");
        QTest::addColumn<QString>("treeKey");
        QTest::addColumn<int>("answer"); // -1: none queued, the default button decides
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("replaced");
        QTest::newRow("the row's own snippet") << "Alpha"
                                               << "T0" << -1 << false << true;
        QTest::newRow("another snippet, default answer") << "Beta"
                                                         << "T1" << -1 << true << false;
        QTest::newRow("another snippet, No") << "Beta"
                                             << "T1" << int(Prompts::Answer::No) << true << false;
        QTest::newRow("another snippet, Yes") << "Beta"
                                              << "T1" << int(Prompts::Answer::Yes) << true << true;
    }

    void replaceTreeCode_onAnotherSnippet_asksFirst()
    {
        QFETCH(QString, row);
        QFETCH(QString, treeKey);
        QFETCH(int, answer);
        QFETCH(bool, asked);
        QFETCH(bool, replaced);
        ComparisonWindow w(cppLibrary());
        w.importLocal(w.writeFile("a.cpp", CppSource));
        w.click(row);
        w.f.tree()->setCurrentItem(w.f.tree()->nodeByKey(treeKey));
        const size_t index = size_t(treeKey.mid(1).toInt());
        const QString before = w.ws().codeArray[index].Code.toString();
        Prompts::takeHistory();
        if (answer >= 0) {
            Prompts::queueAnswer(Prompts::Answer(answer));
        }
        w.ws().CodeChanged = false;

        w.trigger("mnuReplaceTreeCode");

        const QList<Prompts::Record> history = Prompts::takeHistory();
        QCOMPARE(history.size(), asked ? 1 : 0);
        if (asked) {
            QCOMPARE(history[0].title, QStringLiteral("Replace Tree Code"));
            QVERIFY(history[0].text.contains(QLatin1String("\"Zeta\"")) &&
                    history[0].text.contains(u'"' + row + u'"'));
        }
        QCOMPARE(w.ws().codeArray[index].Code.toString(), replaced ? w.code->text() : before);
        QCOMPARE(w.ws().CodeChanged, replaced);
    }

    void rightClick_selectsTheRowAndShowsItsCode()
    {
        ComparisonWindow w(cppLibrary());
        w.f.window().resize(1000, 700);
        w.f.window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.f.window()));
        w.importLocal(w.writeFile("a.cpp", CppSource));
        QCOMPARE(w.code->text(), QStringLiteral("class Alpha\r\n{\r\n    int a;\r\n}"));
        const QPoint at =
            w.list->visualRect(w.model->index(w.rowOf("Beta"), RemoteListModel::TitleColumn)).center();

        QTest::mousePress(w.list->viewport(), Qt::RightButton, {}, at);
        QTest::mouseRelease(w.list->viewport(), Qt::RightButton, {}, at);

        QCOMPARE(w.list->currentIndex().row(), w.rowOf("Beta"));
        QCOMPARE(w.code->text(), QStringLiteral("class Beta\r\n{\r\n    int b;\r\n}"));
        w.f.find<QMenu>("mnuPopupRemote")->close();
    }

    void languageColumn_fitsItsLongestText()
    {
        ComparisonWindow w(cppLibrary());
        w.importLocal(w.writeFile("old.zq5",
                                  "----T\r\nJoin\r\nStrings\r\n\r\n2004-02-01\r\n----E\r\n----C\r\nx\r\n"
                                  "----E\r\n----H\r\n----E\r\n+++++\r\n"));
        QCOMPARE(w.rowTexts(RemoteListModel::LanguageColumn), QStringList{"Imported Language"});
        const int text = w.list->fontMetrics().horizontalAdvance(QStringLiteral("Imported Language"));
        const int checkBox = w.list->style()->pixelMetric(QStyle::PM_IndicatorWidth);
        QVERIFY2(w.list->columnWidth(RemoteListModel::LanguageColumn) >= text + checkBox,
                 qPrintable(QString::number(w.list->columnWidth(RemoteListModel::LanguageColumn))));
    }

    void plainRowClick_showsItsCodeOnly()
    {
        ComparisonWindow w(cppLibrary());
        w.importLocal(w.writeFile("a.cpp", CppSource));
        w.f.tree()->setCurrentItem(w.f.tree()->nodeByKey(QStringLiteral("T1")));
        w.click("Beta");
        QCOMPARE(w.code->text(), QStringLiteral("class Beta\r\n{\r\n    int b;\r\n}"));
        QCOMPARE(LibraryTree::key(w.f.tree()->currentItem()), QStringLiteral("T1"));
    }

    void keyboardMove_showsTheRowAsAClickDoes()
    {
        ComparisonWindow w(cppLibrary());
        w.importLocal(w.writeFile("a.cpp", CppSource));
        QCOMPARE(w.list->currentIndex().row(), 0);
        QTest::keyClick(w.list, Qt::Key_Down);
        QCOMPARE(w.list->currentIndex().row(), 1);
        QCOMPARE(w.code->text(), QStringLiteral("class Beta\r\n{\r\n    int b;\r\n}"));
    }

    void modeRefusals_data()
    {
        QTest::addColumn<QString>("on");
        QTest::addColumn<QString>("refused");
        QTest::addColumn<QString>("refusedButton");
        QTest::addColumn<QString>("text");
        QTest::newRow("server while local")
            << "mnuImportLocal"
            << "mnuImportRemote"
            << "transfer"
            << "You must unselect Import Local Snippets before using this option";
        QTest::newRow("local while server")
            << "mnuImportRemote"
            << "mnuImportLocal"
            << "drive"
            << "You must unselect Import Server Snippets before using this option";
    }

    void modeRefusals()
    {
        QFETCH(QString, on);
        QFETCH(QString, refused);
        QFETCH(QString, refusedButton);
        QFETCH(QString, text);
        ComparisonWindow w(cppLibrary());
        // Without a server address the server mode fails at once; it stays on all the same.
        Prompts::queueFile(w.writeFile("a.cpp", CppSource));
        w.trigger(on.toLatin1());
        const QString caption = w.caption();

        w.trigger(refused.toLatin1());

        QCOMPARE(w.status(), text);
        QVERIFY(!w.action(refused.toLatin1())->isChecked());
        QVERIFY(!w.button(refusedButton.toLatin1())->isChecked());
        QCOMPARE(w.caption(), caption);
    }

    void cancelledFileDialog_leavesTheModeWithTheMenuChecked()
    {
        ComparisonWindow w(cppLibrary());
        w.trigger("mnuImportLocal");
        QVERIFY(w.action("mnuImportLocal")->isChecked());
        QVERIFY(!w.button("drive")->isChecked());
        QCOMPARE(w.caption(), QStringLiteral("Search"));
        QVERIFY(!w.shown("lstRemote"));
        QVERIFY(w.button("transfer")->isEnabled());
        QVERIFY(!w.button("Import")->isEnabled());
        QCOMPARE(w.status(), QString());
        QCOMPARE(w.ws().options.ImportFolder, w.f.folder());

        // Chosen again, the item only clears its mark and leaves the mode it already left.
        w.trigger("mnuImportLocal");
        QVERIFY(!w.action("mnuImportLocal")->isChecked());
        QCOMPARE(w.caption(), QStringLiteral("Search"));
        QCOMPARE(Prompts::takeHistory().size(), 1);
    }

    void nothingFound_showsTheFailureRow_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("source");
        QTest::newRow("ending in capitals") << "SHAPES.CPP" << CppSource;
        QTest::newRow("unknown ending") << "shapes.hpp" << CppSource;
        QTest::newRow("no snippet") << "empty.cpp" << QByteArray("int x;\n");
    }

    void nothingFound_showsTheFailureRow()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, source);
        ComparisonWindow w(cppLibrary());
        const QString path = w.writeFile(fileName, source);
        w.importLocal(path);
        QCOMPARE(w.keys(), QStringList{"X"});
        QCOMPARE(w.rowTexts(RemoteListModel::LanguageColumn), QStringList{"<none>"});
        QCOMPARE(w.rowTexts(RemoteListModel::TitleColumn),
                 QStringList{QString::fromLatin1(Comparison::NothingFoundText)});
        QCOMPARE(w.rowTexts(RemoteListModel::IdColumn), QStringList{QString()});
        QVERIFY(!w.button("Import")->isEnabled());
        QVERIFY(w.action("mnuImportLocal")->isChecked());
        QCOMPARE(w.status(), QStringLiteral("Import file: ") + path);
    }

    void textFileThatIsNoLibrary_isReportedAndFindsNothing()
    {
        ComparisonWindow w(cppLibrary());
        w.importLocal(w.writeFile("notes.txt", "just some notes\n"));
        QCOMPARE(w.keys(), QStringList{"X"});
        const QList<Prompts::Record> asked = Prompts::takeHistory();
        QCOMPARE(asked.size(), 2);
        QCOMPARE(asked[1].title, QStringLiteral("Load Code Data"));
    }

    void matchingView_listsOnlyOtherCodeUnderTheLocalCaption()
    {
        ComparisonWindow w(cppLibrary());
        w.importLocal(w.writeFile("a.cpp", CppSource));
        QMenu* popup = w.f.find<QMenu>("mnuPopupRemote");
        emit popup->aboutToShow();
        QVERIFY(!w.action("mnuRemoteDisplayAll")->isVisible());
        QVERIFY(w.action("mnuRemoteDisplayMatching")->isVisible());

        w.trigger("mnuRemoteDisplayMatching");

        QCOMPARE(w.caption(), QStringLiteral("Local Source Code (Matching)"));
        QCOMPARE(w.rowTexts(RemoteListModel::TitleColumn), QStringList{"Alpha"});
        QCOMPARE(w.redTitles(), QStringList{"Alpha"});
        // The local snippet with that title is shown beside it.
        QCOMPARE(LibraryTree::key(w.f.tree()->currentItem()), QStringLiteral("T0"));
        QVERIFY(w.status().startsWith(QLatin1String(
            "1 of 2 source code snippets have matching snippet titles but different code.  Local "
            "file name:   ")));
        emit popup->aboutToShow();
        QVERIFY(w.action("mnuRemoteDisplayAll")->isVisible());
        QVERIFY(!w.action("mnuRemoteDisplayMatching")->isVisible());

        w.trigger("mnuRemoteDisplayAll");
        QCOMPARE(w.caption(), QStringLiteral("Local Source Code (Differences)"));
        QCOMPARE(w.rowTexts(RemoteListModel::TitleColumn), (QStringList{"Alpha", "Beta"}));
    }

    void emptyMatchingView_disablesImport_untilAViewListsRowsAgain()
    {
        ComparisonWindow w({record("C++", "Misc", "Zeta", "z")});
        w.importLocal(w.writeFile("a.cpp", CppSource));
        w.trigger("mnuRemoteDisplayMatching");
        QCOMPARE(w.keys(), QStringList{"X"});
        QVERIFY(!w.button("Import")->isEnabled());
        w.trigger("mnuRemoteDisplayAll");
        QCOMPARE(w.keys(), (QStringList{"R0", "R1"}));
        QVERIFY(w.button("Import")->isEnabled());
    }

    void nothingDiffers_showsThePlaceholder_andSelectAllTicksIt()
    {
        ComparisonWindow w({record("C++", "Misc", "Alpha", "class Alpha\r\n{\r\n    int a;\r\n}"),
                            record("C++", "Misc", "Beta", "class Beta\r\n{\r\n    int b;\r\n}")});
        w.importLocal(w.writeFile("a.cpp", CppSource));
        QCOMPARE(w.keys(), QStringList{"X"});
        QCOMPARE(w.rowTexts(RemoteListModel::TitleColumn),
                 QStringList{QString::fromLatin1(Comparison::CurrentText)});
        QVERIFY(!w.button("Import")->isEnabled());
        QCOMPARE(w.code->text(), QString());

        w.trigger("mnuRemoteAll");
        QVERIFY(w.model->isChecked(0));
        w.trigger("mnuImportSelected");
        QCOMPARE(w.library().size(), 2);
        w.trigger("mnuRemoteNone");
        QVERIFY(!w.model->isChecked(0));
    }

    void oneLanguageView_listsThatLanguageButCountsEveryStagedSnippet()
    {
        ComparisonWindow w({record("C++", "Misc", "Local", "l"), record("Perl", "Misc", "Other", "o")});
        const QString path = w.f.folder() + QStringLiteral("/staged.txt");
        QVERIFY(DatabaseFile::write(path, {record("C++", "A", "One", "1"), record("Perl", "B", "Two", "2"),
                                           record("c++", "C", "Three", "3")}));
        w.f.tree()->setCurrentItem(w.f.tree()->nodeByKey(QStringLiteral("C++")));
        w.trigger("mnuAllHide");

        w.importLocal(path);

        QCOMPARE(w.rowTexts(RemoteListModel::TitleColumn), (QStringList{"One", "Three"}));
        QVERIFY(w.status().startsWith(QLatin1String("2 of 3 source code snippet have differences.")));
    }

    void counterpartHiddenByTheOneLanguageView_isNotFoundInTheTree()
    {
        ComparisonWindow w({record("C++", "Misc", "Local", "l"), record("Perl", "Misc", "Two", "old")});
        const QString path = w.f.folder() + QStringLiteral("/staged.txt");
        QVERIFY(
            DatabaseFile::write(path, {record("Perl", "B", "Two", "new"), record("Perl", "B", "Six", "6")}));
        w.importLocal(path);
        w.f.tree()->setCurrentItem(w.f.tree()->nodeByKey(QStringLiteral("C++")));
        w.trigger("mnuAllHide");

        w.click("Two");
        QCOMPARE(w.status(), QStringLiteral("Snippet not found in Tree"));
        w.trigger("mnuRemoteDisplayAll");
        QCOMPARE(w.model->rowCount(), 1); // the placeholder: no Perl rows in the C++ view
        QCOMPARE(w.keys(), QStringList{"X"});
    }

    void localTitleRenamedSinceTheFill_isNotFoundInTree()
    {
        ComparisonWindow w(cppLibrary());
        w.importLocal(w.writeFile("a.cpp", CppSource));
        w.f.tree()->setCurrentItem(w.f.tree()->nodeByKey(QStringLiteral("T0")));
        w.f.find<QLineEdit>("txtTitle")->setText(QStringLiteral("Renamed"));

        w.click("Alpha");

        QCOMPARE(w.status(), QStringLiteral("Snippet not found in tree"));
        QCOMPARE(w.code->text(), QStringLiteral("class Alpha\r\n{\r\n    int a;\r\n}"));
    }

    void stagedRowsSurviveALibraryResort_andImportTheRecordsTheyShow()
    {
        ComparisonWindow w({record("C++", "Misc", "Zeta", "z")});
        w.importLocal(w.writeFile("a.cpp", CppSource));
        w.tick("Beta");
        // Other commands re-sort and rebuild the library meanwhile.
        w.f.tree()->setCurrentItem(w.f.tree()->nodeByKey(QStringLiteral("T0")));
        w.trigger("mnuNew");
        w.trigger("mnuSortTree");
        w.trigger("mnuImportSelected");
        w.tick("Alpha");

        w.trigger("mnuImportSelected");

        const QStringList lib = w.library();
        QCOMPARE(lib.count("C++/import/Beta"), 1);
        QCOMPARE(lib.count("C++/import/Alpha"), 1);
        for (const SnippetRecord& r : w.ws().codeArray) {
            if (r.Category == QLatin1String("import")) {
                QCOMPARE(r.Code.toString(), QStringLiteral("class %1\r\n{\r\n    int %2;\r\n}")
                                                .arg(r.Title, r.Title.left(1).toLower()));
            }
        }
    }

    void preview_isColouredAsTheMainEditorColoursThatLanguage()
    {
        ComparisonWindow w(cppLibrary());
        w.f.tree()->setCurrentItem(w.f.tree()->nodeByKey(QStringLiteral("T0")));
        const QsciLexer* main = w.f.find<CodeEditor>("txtCode")->lexer();
        QVERIFY(main != nullptr);
        w.importLocal(w.writeFile("a.cpp", CppSource));
        const QsciLexer* preview = w.code->lexer();
        QVERIFY(preview != nullptr);
        QVERIFY(preview != main);
        QCOMPARE(QString::fromLatin1(preview->language()), QString::fromLatin1(main->language()));
        QCOMPARE(preview->color(preview->defaultStyle()), main->color(main->defaultStyle()));
    }

    void import_withChildCountsShown_countsTheRebuiltTree()
    {
        ComparisonWindow w(cppLibrary());
        w.trigger("mnuChildCount");
        w.importLocal(w.writeFile("a.cpp", CppSource));
        w.tick("Beta");
        w.trigger("mnuImportSelected");
        QVERIFY(w.action("mnuChildCount")->isChecked());
        QCOMPARE(w.f.tree()->topLevelItem(0)->text(0), QStringLiteral("C++  (2)"));
    }

    void frameClick_changesTheListsShare()
    {
        ComparisonWindow w(cppLibrary());
        w.f.window().resize(1000, 700);
        w.f.window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.f.window()));
        w.importLocal(w.writeFile("a.cpp", CppSource));
        QWidget* frame = w.f.find<QWidget>("frameSearch");
        const int share = w.ws().options.RShare;
        QCOMPARE(w.list->width(), frame->width() * share / 100);
        QCOMPARE(w.code->geometry().right() + 1 + 10, frame->width() - w.f.find<QWidget>("viewRemote")->x());

        QTest::mouseClick(frame, Qt::LeftButton, {}, QPoint(frame->width() - 3, 3));

        QCOMPARE(w.ws().options.RShare, share == 65 ? 30 : 65);
        QCOMPARE(w.list->width(), frame->width() * w.ws().options.RShare / 100);
    }
};

QTEST_MAIN(LocalImportWindowTest)
#include "tst_local_import_window.moc"
