#include "LibraryText.h"
#include "export/ui/ExportCommands.h"
#include "ui/WindowFixture.h"

#include <QAction>
#include <QDir>
#include <QProgressDialog>
#include <QTimer>

namespace {

// A snippet of some 600 KB: its page takes many steps.
QString longCode()
{
    QString code;
    for (int line = 0; line < 200000; ++line) {
        code += QStringLiteral("    int value%1 = compute(%1, \"text\");  // step %1\r\n").arg(line);
    }
    return code;
}

using LibraryText::readAll;

} // namespace

// A long page of the language export lets the window run meanwhile, and can be cancelled half-way.
class TestExportProgress : public QObject
{
    Q_OBJECT

private slots:
    void incrementHtml_clickAndHandlerEachTurnTheMarkOnce()
    {
        WindowFixture f;
        f.writeLibrary({WindowFixture::record("SQL", "Queries", "Join", "", "SELECT 1")});
        MainWindow& w = f.open();
        auto* item = f.find<QAction>("mnuIncrementHTML");
        auto* commands = w.findChild<ExportCommands*>(QStringLiteral("exportCommands"));
        QVERIFY(item && commands);
        QVERIFY(!item->isChecked());
        item->trigger();
        QVERIFY(item->isChecked());
        commands->mnuIncrementHTML_Click();
        QVERIFY(!item->isChecked());
        commands->mnuIncrementHTML_Click();
        item->trigger();
        QVERIFY(!item->isChecked());
    }

    void languageExport_longPageLetsEventsRunAndCancelsHalfWay()
    {
        WindowFixture f;
        f.writeLibrary({
            WindowFixture::record("C", "Basics", "A short", "", "int a;"),
            WindowFixture::record("C", "Basics", "B long", "", longCode()),
            WindowFixture::record("C", "Basics", "C after", "", "int b;"),
        });
        MainWindow& w = f.open();
        f.tree()->setCurrentItem(f.node(QStringLiteral("C")));
        auto* commands = w.findChild<ExportCommands*>(QStringLiteral("exportCommands"));
        QVERIFY(commands);
        // Once the first page is done, count the runs of the event loop; the fifth cancels.
        int ticks = 0;
        QTimer tick;
        tick.setInterval(0);
        connect(&tick, &QTimer::timeout, this, [&] {
            if (++ticks == 5) {
                w.findChild<QProgressDialog*>(QStringLiteral("dlgProgress"))->cancel();
            }
        });
        int done = 0;
        connect(commands, &ExportCommands::languagePageDone, this, [&](int n, int) {
            done = n;
            tick.start();
        });
        f.find<QAction>("mnuExportLanguage")->trigger();
        tick.stop();

        QCOMPARE(done, 1);
        QVERIFY(ticks >= 5);
        const QDir folder(QDir(f.folder()).filePath(QStringLiteral("html_export")));
        QCOMPARE(folder.entryList(QDir::Files, QDir::Name), (QStringList{"c.htm", "c1.htm"}));
        QVERIFY(readAll(folder.filePath(QStringLiteral("c.htm"))).endsWith("A short</a><br>\r\n"));
    }
};

QTEST_MAIN(TestExportProgress)
#include "tst_export_progress.moc"
