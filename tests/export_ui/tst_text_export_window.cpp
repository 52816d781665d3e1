#include "ui/WindowFixture.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

namespace {

SnippetRecord snippet(const QString& language, const QString& category, const QString& title)
{
    SnippetRecord r;
    r.Language = language;
    r.Category = category;
    r.Title = title;
    r.Code = QStringLiteral("code of ") + title;
    r.Date = QStringLiteral("2026-01-02 03:04:05");
    return r;
}

// Sorted as loaded: T0 Lua/Text "Split", T1 Python/Files "Open", T2 Python/Text "Strip".
MainWindow& openWindow(WindowFixture& f)
{
    f.writeLibrary({snippet(QStringLiteral("Python"), QStringLiteral("Text"), QStringLiteral("Strip")),
                    snippet(QStringLiteral("Lua"), QStringLiteral("Text"), QStringLiteral("Split")),
                    snippet(QStringLiteral("Python"), QStringLiteral("Files"), QStringLiteral("Open"))});
    MainWindow& w = f.open();
    Prompts::takeHistory();
    return w;
}

} // namespace

class TextExportWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void menuItems_standInTheFileMenu()
    {
        WindowFixture f;
        openWindow(f);
        const QList<QAction*> file = f.find<QMenu>("mnuFile")->actions();
        for (const auto& [name, caption] :
             {std::pair{"mnuExportVsCode", "Export Language to VS Code Snippets\u2026"},
              std::pair{"mnuExportMarkdown", "Export Language to Markdown\u2026"},
              std::pair{"mnuExportLibraryMarkdown", "Export Library to Markdown\u2026"}}) {
            auto* action = f.find<QAction>(name);
            QVERIFY2(action && file.contains(action), name);
            QCOMPARE(action->text(), QString::fromUtf8(caption));
        }
    }

    // Any node of a language exports that language; the folder comes from the folder dialog.
    void exportLanguage_writesTheSelectedNodesLanguage_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("node");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("title");
        QTest::newRow("VS Code from a snippet") << "mnuExportVsCode"
                                                << "T2"
                                                << "python.code-snippets"
                                                << "Export Language to VS Code Snippets";
        QTest::newRow("VS Code from a language") << "mnuExportVsCode"
                                                 << "Lua"
                                                 << "lua.code-snippets"
                                                 << "Export Language to VS Code Snippets";
        QTest::newRow("Markdown from a category") << "mnuExportMarkdown"
                                                  << "Python:::Files"
                                                  << "python.md"
                                                  << "Export Language to Markdown";
    }

    void exportLanguage_writesTheSelectedNodesLanguage()
    {
        QFETCH(QString, action);
        QFETCH(QString, node);
        QFETCH(QString, file);
        QFETCH(QString, title);
        WindowFixture f;
        openWindow(f);
        f.tree()->setCurrentItem(f.tree()->nodeByKey(node));
        QVERIFY(f.tree()->currentItem());
        QTemporaryDir out;
        Prompts::queueFolder(out.path());
        f.find<QAction>(action.toLatin1().constData())->trigger();
        QCOMPARE(QDir(out.path()).entryList(QDir::Files), QStringList{file});
        const int snippets = file.startsWith(QLatin1String("python")) ? 2 : 1;
        QCOMPARE(
            f.find<QLabel>("StatusBar1")->text(),
            QStringLiteral("%1 snippets exported to %2").arg(snippets).arg(QDir(out.path()).filePath(file)));
        // The folder dialog, and no message after it.
        const QList<Prompts::Record> history = Prompts::takeHistory();
        QCOMPARE(history.size(), 1);
        QCOMPARE(history[0].title, title);
    }

    void exportLibrary_writesEveryLanguage_andCancelWritesNothing()
    {
        WindowFixture f;
        openWindow(f);
        QTemporaryDir out;
        f.find<QAction>("mnuExportLibraryMarkdown")->trigger();
        QVERIFY(QDir(out.path()).isEmpty());
        Prompts::queueFolder(out.path());
        f.find<QAction>("mnuExportLibraryMarkdown")->trigger();
        QCOMPARE(QDir(out.path()).entryList(QDir::Files), (QStringList{"lua.md", "python.md"}));
        QCOMPARE(f.find<QLabel>("StatusBar1")->text(),
                 QStringLiteral("3 snippets exported to 2 files in %1").arg(out.path()));
    }

    void unwritableFolder_saysSoInAMessage()
    {
        WindowFixture f;
        openWindow(f);
        f.tree()->setCurrentItem(f.tree()->nodeByKey(QStringLiteral("T0")));
        QTemporaryDir out;
        QFile blocker(out.filePath(QStringLiteral("file")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        Prompts::queueFolder(out.filePath(QStringLiteral("file/sub")));
        f.find<QAction>("mnuExportMarkdown")->trigger();
        const QList<Prompts::Record> history = Prompts::takeHistory();
        QCOMPARE(history.size(), 2);
        QCOMPARE(history[1].title, QStringLiteral("Export Language to Markdown"));
        QVERIFY(history[1].text.startsWith(QStringLiteral("Cannot create the folder")));
        QCOMPARE(history[1].icon, Prompts::Icon::Critical);
    }
};

QTEST_MAIN(TextExportWindowTest)
#include "tst_text_export_window.moc"
