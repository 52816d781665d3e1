#include "export/RecordingSurface.h"
#include "export/ui/PrintCommands.h"
#include "gui/CodeEditor.h"
#include "library/ui/LibraryTree.h"
#include "search/ui/SearchPanel.h"
#include "ui/WindowFixture.h"

#include <algorithm>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>

namespace {

// Hands everything on to a recording the test keeps after the command has let go of the surface.
class ForwardingSurface : public PrintSurface
{
public:
    explicit ForwardingSurface(RecordingSurface& target) : m_target(target) {}
    void setFont(const QString& name, int points) override { m_target.setFont(name, points); }
    void setBold(bool bold) override { m_target.setBold(bold); }
    void tab(int column) override { m_target.tab(column); }
    void endLine() override { m_target.endLine(); }
    void newPage() override { m_target.newPage(); }
    void endDocument() override { m_target.endDocument(); }
    double textWidth(const QString& text) const override { return m_target.textWidth(text); }
    double pageWidth() const override { return m_target.pageWidth(); }

protected:
    void printPiece(const QString& piece) override { m_target.print(piece); }

private:
    RecordingSurface& m_target;
};

// A window on a library of two languages; SQL/Queries holds three snippets.
class PrintWindow
{
public:
    PrintWindow()
    {
        f.writeLibrary({WindowFixture::record(QStringLiteral("SQL"), QStringLiteral("Queries"),
                                              QStringLiteral("Join two"), QString(),
                                              QStringLiteral("SELECT *\r\nFROM a JOIN b")),
                        WindowFixture::record(QStringLiteral("SQL"), QStringLiteral("Queries"),
                                              QStringLiteral("Count rows"), QString(),
                                              QStringLiteral("SELECT COUNT(*) FROM a")),
                        WindowFixture::record(QStringLiteral("SQL"), QStringLiteral("Queries"),
                                              QStringLiteral("Top ten"), QString(),
                                              QStringLiteral("SELECT TOP 10 * FROM a")),
                        WindowFixture::record(QStringLiteral("VB"), QStringLiteral("Forms"),
                                              QStringLiteral("Show form"))});
        f.open();
        commands = f.window().findChild<PrintCommands*>(QStringLiteral("printCommands"));
        Prompts::takeHistory();
    }

    // Text layouts go to recording surfaces, which the test keeps.
    void record()
    {
        commands->setSurfaceFactory([this] {
            owned.push_back(std::make_unique<RecordingSurface>());
            surfaces.append(owned.back().get());
            return std::unique_ptr<PrintSurface>(std::make_unique<ForwardingSurface>(*owned.back()));
        });
    }

    // A machine without a printer: every print asks for a PDF file.
    void withoutPrinter()
    {
        commands->setPrinterCheck([] { return false; });
    }

    void select(const QString& text)
    {
        QTreeWidgetItem* node = f.node(text);
        QVERIFY2(node, qPrintable(text));
        f.tree()->setCurrentItem(node);
    }

    void trigger(const char* name)
    {
        QAction* action = f.find<QAction>(name);
        QVERIFY2(action, name);
        action->trigger();
    }

    QString status() { return f.find<QLabel>("StatusBar1")->text(); }

    WindowFixture f;
    PrintCommands* commands = nullptr;
    QList<RecordingSurface*> surfaces;
    std::vector<std::unique_ptr<RecordingSurface>> owned;
};

QString run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The left edges of the words pdftotext finds in a PDF, in points from the paper's edge.
QList<double> wordLeftEdges(const QString& path)
{
    QList<double> edges;
    const QString html =
        run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
    static const QRegularExpression word(QStringLiteral("<word xMin=\"([0-9.]+)\""));
    for (const QRegularExpressionMatch& match : word.globalMatch(html)) {
        edges.append(match.captured(1).toDouble());
    }
    return edges;
}

int pdfPages(const QString& path)
{
    const QString info = run(QStringLiteral("pdfinfo"), {path});
    const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

} // namespace

class PrintCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void menus_carryTheirCaptions()
    {
        PrintWindow w;
        const QList<std::pair<const char*, const char*>> items{
            {"mnuPrintSnippetTitle", "Selected &Snippet"},
            {"mnuPrintSnippetCategory", "Selected &Category"},
            {"mnuPrintSnippetLanguage", "Selected &Language"},
            {"mnuPrintTitleTitle", "Selected &Title"},
            {"mnuPrintTitleCategory", "Selected &Category"},
            {"mnuPrintTitleLanguage", "Selected &Language"},
            {"mnuPrintTreeSnippets", "&Entire Tree"},
            {"mnuPrintForm", "Pri&nt Form"},
            {"mnuPageBreak", "Snippet &PageBreak"}};
        for (const auto& [name, caption] : items) {
            QAction* action = w.f.find<QAction>(name);
            QVERIFY2(action, name);
            QCOMPARE(action->text(), QLatin1String(caption));
        }
        QCOMPARE(w.f.find<QMenu>("mnuPrintSnippet")->title(), QStringLiteral("&Print Snippet(s)"));
        QCOMPARE(w.f.find<QMenu>("mnuPrintTitle")->title(), QStringLiteral("Print &Title(s)"));
    }

    void wrongSelection_beepsAndPrintsNothing_data()
    {
        QTest::addColumn<QString>("node");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("status");
        const QString snippet =
            QStringLiteral("Please select code snippet. Current selection is not a code snippet.");
        const QString category =
            QStringLiteral("Please select category. Current selection is not a category.");
        const QString language =
            QStringLiteral("Please select language. Current selection is not a language.");
        QTest::newRow("snippet on a category") << "Queries"
                                               << "mnuPrintSnippetTitle" << snippet;
        QTest::newRow("category on a snippet") << "Join two"
                                               << "mnuPrintSnippetCategory" << category;
        QTest::newRow("language on a category") << "Queries"
                                                << "mnuPrintSnippetLanguage" << language;
        QTest::newRow("title on a language")
            << "SQL"
            << "mnuPrintTitleTitle"
            << QStringLiteral("Please select snippet. Current selection is not a snippet.");
        QTest::newRow("title list on a language") << "SQL"
                                                  << "mnuPrintTitleCategory" << category;
        QTest::newRow("language titles on a snippet") << "Join two"
                                                      << "mnuPrintTitleLanguage" << language;
    }

    void wrongSelection_beepsAndPrintsNothing()
    {
        QFETCH(QString, node);
        QFETCH(QString, command);
        QFETCH(QString, status);
        PrintWindow w;
        w.record();
        w.select(node);
        w.trigger(command.toLatin1().constData());
        QCOMPARE(w.status(), status);
        QVERIFY(w.surfaces.isEmpty());
    }

    void toolbarPrint_printsTheSelectedSnippet()
    {
        PrintWindow w;
        w.record();
        w.select(QStringLiteral("Join two"));
        QAction* button = w.f.window().findChild<QAction*>(QStringLiteral("Print"));
        QVERIFY(button->isEnabled());
        button->trigger();
        QCOMPARE(w.status(), QStringLiteral("Code snippet printed"));
        QCOMPARE(w.surfaces.size(), 1);
        QVERIFY(w.surfaces[0]->ended());
        QVERIFY(w.surfaces[0]->lines().contains(QString(20, u' ') + QStringLiteral("FROM a JOIN b")));
    }

    void snippet_followsTheEditorsWordWrap_data()
    {
        QTest::addColumn<bool>("wordWrap");
        QTest::newRow("wrap off: the line as it is") << false;
        QTest::newRow("wrap on: broken at the page width") << true;
    }

    void snippet_followsTheEditorsWordWrap()
    {
        QFETCH(bool, wordWrap);
        PrintWindow w;
        w.record();
        const QString line = QStringLiteral("SELECT") + QStringLiteral(" a,").repeated(60);
        for (SnippetRecord& r : w.f.window().workspace().codeArray) {
            if (r.Title == QStringLiteral("Count rows")) {
                r.Code = line;
            }
        }
        w.f.find<QAction>("mnuWordWrap")->setChecked(wordWrap);
        w.select(QStringLiteral("Count rows"));
        w.trigger("mnuPrintSnippetTitle");
        QCOMPARE(w.surfaces.size(), 1);
        QCOMPARE(w.surfaces[0]->lines().contains(QString(20, u' ') + line), !wordWrap);
    }

    void categorySnippets_followPageBreakOption_data()
    {
        QTest::addColumn<bool>("pageBreak");
        QTest::addColumn<int>("pages");
        QTest::newRow("unchecked: a page each") << false << 3;
        QTest::newRow("checked: run on") << true << 1;
    }

    void categorySnippets_followPageBreakOption()
    {
        QFETCH(bool, pageBreak);
        QFETCH(int, pages);
        PrintWindow w;
        w.record();
        w.f.find<QAction>("mnuPageBreak")->setChecked(pageBreak);
        w.select(QStringLiteral("Queries"));
        w.trigger("mnuPrintSnippetCategory");
        QCOMPARE(w.surfaces.size(), 1);
        QCOMPARE(w.surfaces[0]->pages().size(), pages);
        QCOMPARE(w.surfaces[0]->lines().filter(QStringLiteral("Title:")).size(), 3);
    }

    void languageTitles_andOutline_comeFromTheTree()
    {
        PrintWindow w;
        w.record();
        w.select(QStringLiteral("SQL"));
        w.trigger("mnuPrintTitleLanguage");
        QCOMPARE(w.surfaces.at(0)->lines(),
                 (QStringList{QStringLiteral("Count rows"), QStringLiteral("Join two"),
                              QStringLiteral("Top ten")}));
        w.trigger("mnuPrintTreeSnippets");
        const QStringList outline = w.surfaces.at(1)->lines();
        QCOMPARE(outline.size(), 4 + 8);
        QCOMPARE(outline.at(4), QString(23, u' ') + QStringLiteral("SQL"));
        QCOMPARE(outline.last(), QString(31, u' ') + QStringLiteral("Show form"));
    }

    void printSettings_printsTheStoredSettings()
    {
        PrintWindow w;
        w.record();
        SettingsStore store = w.f.settings();
        auto* panel = w.f.find<SearchPanel>("frameSearch");
        auto* box = w.f.find<QComboBox>("cmbSearch");
        store.ClearRegistry();
        box->setEditText(QStringLiteral("..PrintSettings"));
        panel->cmdSearch_Click();
        QCOMPARE(w.status(), QStringLiteral("No settings available"));
        QVERIFY(w.surfaces.isEmpty());

        w.f.window().context().settings.save(QStringLiteral("FontName"), QStringLiteral("Courier New"));
        panel->cmdSearch_Click();
        QCOMPARE(w.surfaces.size(), 1);
        const QStringList lines = w.surfaces[0]->lines();
        QCOMPARE(lines.mid(0, 3),
                 (QStringList{QStringLiteral("Zorbeth Registry Settings"), QString(), QString()}));
        QVERIFY(lines.contains(QStringLiteral("FontName  Courier New")));
    }

    void noPrinter_printsIntoTheNamedPdf()
    {
        QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty(),
                 "poppler-utils is needed");
        PrintWindow w;
        w.withoutPrinter();
        const QString pdf = w.f.folder() + QStringLiteral("/queries.pdf");
        Prompts::queueFile(pdf);
        w.select(QStringLiteral("Queries"));
        w.trigger("mnuPrintSnippetCategory");
        QCOMPARE(w.status(), QStringLiteral("Printed to ") + pdf);
        QCOMPARE(pdfPages(pdf), 3);
        const QString text =
            run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        for (const char* title : {"Join two", "Count rows", "Top ten", "FROM a JOIN b", "Source Code:"}) {
            QVERIFY2(text.contains(QLatin1String(title)), title);
        }
    }

    void noPrinter_selectionAndForm_printIntoPdf()
    {
        PrintWindow w;
        w.withoutPrinter();
        w.select(QStringLiteral("Join two"));
        auto* editor = w.f.find<CodeEditor>("txtCode");
        editor->setSelection(1, 0, 1, 4);
        const QString selection = w.f.folder() + QStringLiteral("/selection.pdf");
        Prompts::queueFile(selection);
        w.trigger("mnuPrintSnippetTitle");
        QCOMPARE(w.status(), QStringLiteral("Code snippet printed (selection) to ") + selection);
        const QString text = run(QStringLiteral("pdftotext"), {selection, QStringLiteral("-")});
        QVERIFY2(text.contains(QStringLiteral("FROM a JOIN b")), qPrintable(text));
        QVERIFY(!text.contains(QStringLiteral("SELECT")));

        const QString form = w.f.folder() + QStringLiteral("/form.pdf");
        Prompts::queueFile(form);
        w.trigger("mnuPrintForm");
        QCOMPARE(pdfPages(form), 1);
    }

    void selection_printsTheSelectedLinesOnly_data()
    {
        QTest::addColumn<QList<int>>("selection"); // line and index where it starts, then where it ends
        QTest::addColumn<QStringList>("printed");
        QTest::newRow("a word on the third line") << QList<int>{2, 1, 2, 3} << QStringList{"three"};
        QTest::newRow("three whole lines up to the start of the fourth")
            << QList<int>{0, 0, 3, 0} << QStringList{"one", "two", "three"};
        QTest::newRow("into the fourth line")
            << QList<int>{1, 2, 3, 1} << QStringList{"two", "three", "four"};
        QTest::newRow("the last line") << QList<int>{4, 0, 4, 4} << QStringList{"five"};
    }

    void selection_printsTheSelectedLinesOnly()
    {
        QFETCH(QList<int>, selection);
        QFETCH(QStringList, printed);
        PrintWindow w;
        w.withoutPrinter();
        w.select(QStringLiteral("Join two"));
        auto* editor = w.f.find<CodeEditor>("txtCode");
        editor->setText(QStringLiteral("one\r\ntwo\r\nthree\r\nfour\r\nfive"));
        editor->setSelection(selection[0], selection[1], selection[2], selection[3]);
        const QString pdf = w.f.folder() + QStringLiteral("/selection.pdf");
        Prompts::queueFile(pdf);
        w.trigger("mnuPrintSnippetTitle");
        QCOMPARE(w.status(), QStringLiteral("Code snippet printed (selection) to ") + pdf);
        const QString text = run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        QCOMPARE(text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts), printed);
    }

    void printouts_keepTenMillimetresFromThePaperEdge_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("editor print") << "mnuCMPrintColor";
        QTest::newRow("snippet layout") << "mnuPrintSnippetTitle";
        QTest::newRow("title layout") << "mnuPrintTitleTitle";
    }

    void printouts_keepTenMillimetresFromThePaperEdge()
    {
        QFETCH(QString, command);
        PrintWindow w;
        w.withoutPrinter();
        w.select(QStringLiteral("Join two"));
        const QString pdf = w.f.folder() + QStringLiteral("/margins.pdf");
        Prompts::queueFile(pdf);
        w.trigger(command.toLatin1().constData());
        const QList<double> edges = wordLeftEdges(pdf);
        QVERIFY(!edges.isEmpty());
        const double tenMillimetres = 10 / 25.4 * 72;
        QVERIFY2(*std::min_element(edges.begin(), edges.end()) >= tenMillimetres - 0.5,
                 qPrintable(QString::number(*std::min_element(edges.begin(), edges.end()))));
    }

    void noPrinter_nameWithoutPdfEnding_getsIt_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");
        QTest::newRow("no ending") << "report"
                                   << "report.pdf";
        QTest::newRow("other ending") << "notes.txt"
                                      << "notes.txt.pdf";
        QTest::newRow("ending in capitals kept") << "REPORT.PDF"
                                                 << "REPORT.PDF";
    }

    void noPrinter_nameWithoutPdfEnding_getsIt()
    {
        QFETCH(QString, typed);
        QFETCH(QString, written);
        PrintWindow w;
        w.withoutPrinter();
        w.select(QStringLiteral("Join two"));
        Prompts::queueFile(w.f.folder() + u'/' + typed);
        w.trigger("mnuPrintTitleTitle");
        QCOMPARE(QDir(w.f.folder())
                     .entryList({QStringLiteral("*.pdf"), QStringLiteral("*.PDF"), typed}, QDir::Files),
                 QStringList{written});
        QCOMPARE(w.status(), QStringLiteral("Printed to ") + w.f.folder() + u'/' + written);
        QCOMPARE(pdfPages(w.f.folder() + u'/' + written), 1);
    }

    void noSnippets_saysNothingToPrint_data()
    {
        QTest::addColumn<QString>("node");
        QTest::addColumn<QString>("command");
        QTest::newRow("snippets of an empty category") << "Empty"
                                                       << "mnuPrintSnippetCategory";
        QTest::newRow("snippets of a language without snippets") << "Tcl"
                                                                 << "mnuPrintSnippetLanguage";
        QTest::newRow("titles of an empty category") << "Empty"
                                                     << "mnuPrintTitleCategory";
        QTest::newRow("titles of a language without snippets") << "Tcl"
                                                               << "mnuPrintTitleLanguage";
    }

    void noSnippets_saysNothingToPrint()
    {
        QFETCH(QString, node);
        QFETCH(QString, command);
        PrintWindow w;
        w.record();
        w.withoutPrinter();
        LibraryTree* tree = w.f.tree();
        QTreeWidgetItem* tcl = tree->makeNode(QStringLiteral("Tcl"), QStringLiteral("Tcl"),
                                              LibraryTree::LangTag, QString(), QString(), true);
        tree->addTopLevelItem(tcl);
        tcl->addChild(tree->makeNode(QStringLiteral("Tcl:::Empty"), QStringLiteral("Empty"),
                                     LibraryTree::CatTag, QString(), QString(), false));
        w.select(node);
        w.trigger(command.toLatin1().constData());
        QCOMPARE(w.status(), QStringLiteral("Nothing to print."));
        QVERIFY(w.surfaces.isEmpty());
        QVERIFY(Prompts::takeHistory().isEmpty());
    }

    void editorPrint_takesThePrintPath_intoPdf()
    {
        PrintWindow w;
        w.withoutPrinter();
        w.select(QStringLiteral("Join two"));
        const QString pdf = w.f.folder() + QStringLiteral("/editor.pdf");
        Prompts::queueFile(pdf);
        w.trigger("mnuCMPrintColor");
        QCOMPARE(w.status(), QStringLiteral("Printed to ") + pdf);
        const QString text = run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        QVERIFY2(text.contains(QStringLiteral("FROM a JOIN b")), qPrintable(text));
    }

    void editorPrint_longText_runsOverPagesWithEveryLine()
    {
        PrintWindow w;
        w.withoutPrinter();
        w.select(QStringLiteral("Join two"));
        QStringList lines;
        for (int i = 1; i <= 150; ++i) {
            lines << QStringLiteral("line%1").arg(i);
        }
        w.f.find<CodeEditor>("txtCode")->setText(lines.join(QStringLiteral("\r\n")));
        const QString pdf = w.f.folder() + QStringLiteral("/long.pdf");
        Prompts::queueFile(pdf);
        w.trigger("mnuCMPrintBW");
        QVERIFY(pdfPages(pdf) >= 2);
        const QString text = run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        QCOMPARE(text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts), lines);
    }

    void noPrinter_noFileChosen_printsNothing()
    {
        PrintWindow w;
        w.withoutPrinter();
        w.select(QStringLiteral("Join two"));
        w.trigger("mnuPrintTitleTitle");
        QCOMPARE(w.status(),
                 QStringLiteral("Nothing printed: there is no printer and no PDF file was chosen"));
        QVERIFY(QDir(w.f.folder()).entryList({QStringLiteral("*.pdf")}).isEmpty());
    }

    void pdfNotWritable_isReportedAndLeavesTheOldFile()
    {
        PrintWindow w;
        w.withoutPrinter();
        const QString missingFolder = w.f.folder() + QStringLiteral("/no/such/folder/out.pdf");
        Prompts::queueFile(missingFolder);
        w.select(QStringLiteral("Join two"));
        w.trigger("mnuPrintTitleTitle");
        QCOMPARE(w.status(), QStringLiteral("Printing failed"));
        const QList<Prompts::Record> prompts = Prompts::takeHistory();
        QCOMPARE(prompts.size(), 2); // the file dialog, then the failure
        QCOMPARE(prompts.last().icon, Prompts::Icon::Critical);
        QVERIFY2(prompts.last().text.startsWith(QStringLiteral("Printing failed.\n")),
                 qPrintable(prompts.last().text));
        QVERIFY(prompts.last().text.contains(QStringLiteral("out.pdf")));
        QVERIFY(!QFile::exists(missingFolder));
    }

    void pageBreak_isKeptInTheSettings()
    {
        PrintWindow w;
        w.f.find<QAction>("mnuPageBreak")->setChecked(true);
        QVERIFY(w.f.window().close());
        w.f.closeWindow();
        QVERIFY(w.f.settings().getBool(QStringLiteral("PageBreak"), false));
        w.f.open();
        QVERIFY(w.f.find<QAction>("mnuPageBreak")->isChecked());
    }
};

QTEST_MAIN(PrintCommandsTest)
#include "tst_print_commands.moc"
