#include "editor/ui/EditorController.h"
#include "gui/CodeEditor.h"
#include "gui/CommandToolbar.h"
#include "gui/InstalledFonts.h"
#include "gui/ScreenFit.h"
#include "library/ui/TreeController.h"
#include "objects/ui/ViewerWindow.h"
#include "store/DatabaseFile.h"
#include "ui/WindowFixture.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <Qsci/qscilexer.h>
#include <QScreen>
#include <QTimer>
#include <QToolButton>

namespace {

CodeArray library()
{
    return {WindowFixture::record(QStringLiteral("SQL"), QStringLiteral("C"), QStringLiteral("q"), QString(),
                                  QStringLiteral("SELECT 1;")),
            WindowFixture::record(QStringLiteral("SQL"), QStringLiteral("C"), QStringLiteral("r"), QString(),
                                  QStringLiteral("SELECT 2;"))};
}

void trigger(WindowFixture& f, const char* name)
{
    QAction* action = f.find<QAction>(name);
    QVERIFY2(action, name);
    action->trigger();
}

QString status(WindowFixture& f)
{
    return f.find<QLabel>("StatusBar1")->text();
}

QRect available(const QWidget& window)
{
    return window.screen()->availableGeometry();
}

} // namespace

class WindowFaultsTest : public QObject
{
    Q_OBJECT

private slots:
    void trace_aKeystrokeNeverBecomesTheSnippetsCode()
    {
        WindowFixture f;
        f.writeLibrary(library());
        {
            SettingsStore s = f.settings();
            s.saveBool(QStringLiteral("zqTest"), true);
            s.saveInt(QStringLiteral("LocalStartingNode"), 3);
            s.sync();
        }
        MainWindow& w = f.open();
        auto* editor = f.find<CodeEditor>("txtCode");
        const QString trace = editor->text();
        QVERIFY(trace.startsWith(QStringLiteral("-1- ")));
        QTest::keyClick(editor, Qt::Key_X);
        QTest::keyClick(editor, Qt::Key_Return);
        trigger(f, "mnuSave");
        QCOMPARE(editor->text(), trace);
        QCOMPARE(w.workspace().codeArray[size_t(w.treeController().Selection())].Code.toString(),
                 QStringLiteral("SELECT 1;"));
        const DatabaseFile::ReadResult saved = DatabaseFile::read(f.libraryPath());
        QCOMPARE(saved.records.size(), size_t(2));
        QCOMPARE(saved.records[0].Code.toString(), QStringLiteral("SELECT 1;"));

        // A duplicate made while the trace shows copies the snippet, not the trace.
        trigger(f, "mnuDuplicate");
        QCOMPARE(w.workspace().codeArray.back().Code.toString(), QStringLiteral("SELECT 1;"));

        // Showing a node ends the trace: the snippet is editable again.
        f.tree()->setCurrentItem(f.node(QStringLiteral("r")));
        f.tree()->setCurrentItem(f.node(QStringLiteral("q")));
        QCOMPARE(editor->text(), QStringLiteral("SELECT 1;"));
        QVERIFY(!editor->isReadOnly());
    }

    void information_showsTheEditorsCurrentFont()
    {
        WindowFixture f;
        f.writeLibrary(library());
        MainWindow& w = f.open();
        f.tree()->setCurrentItem(f.node(QStringLiteral("q")));
        f.find<CommandToolbar>("Toolbar1")->button(QStringLiteral("Font"))->trigger();
        w.findChild<EditorController*>()->lblFont_Click();
        Prompts::takeHistory();
        trigger(f, "mnuInformation");
        const auto history = Prompts::takeHistory();
        QCOMPARE(history.size(), 1);
        QVERIFY2(history[0].text.endsWith(
                     QStringLiteral("Font: Courier New\r\nSize: 12\r\nBold: True\r\nItalic: False")),
                 qPrintable(history[0].text));
    }

    void helpAndMail_sayWhenNothingCouldOpenThem_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("message");
        QTest::newRow("help") << QStringLiteral("mnuOnlineHelp")
                              << QStringLiteral(
                                     "No web browser could be started for https://zorbeth.example.org/help/");
        QTest::newRow("product page")
            << QStringLiteral("mnuProWebSite")
            << QStringLiteral("No web browser could be started for https://zorbeth.example.org/");
        QTest::newRow("forum")
            << QStringLiteral("mnuForums")
            << QStringLiteral("No web browser could be started for https://zorbeth.example.org/forum/");
        QTest::newRow("mail") << QStringLiteral("mnuEmail")
                              << QStringLiteral(
                                     "No mail program could be started for authors@zorbeth.example.org");
    }

    void helpAndMail_sayWhenNothingCouldOpenThem()
    {
        QFETCH(QString, command);
        QFETCH(QString, message);
        // Nothing on the path could open an address.
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QByteArray("/nonexistent"));
        qunsetenv("BROWSER");
        WindowFixture f;
        f.writeLibrary(library());
        f.open();
        trigger(f, command.toLatin1().constData());
        qputenv("PATH", path);
        QCOMPARE(status(f), message);
    }

    void screenFit_movesAndShrinksIntoTheAvailableArea_data()
    {
        QTest::addColumn<QRect>("frame");
        QTest::addColumn<QRect>("fitted");
        QTest::newRow("inside stays") << QRect(100, 100, 300, 200) << QRect(100, 100, 300, 200);
        QTest::newRow("past the bottom right") << QRect(700, 500, 300, 200) << QRect(500, 400, 300, 200);
        QTest::newRow("above the top left") << QRect(-50, 5, 300, 200) << QRect(0, 20, 300, 200);
        QTest::newRow("taller than the area") << QRect(100, 100, 300, 900) << QRect(100, 20, 300, 580);
        QTest::newRow("larger both ways") << QRect(-10, -10, 1000, 1000) << QRect(0, 20, 800, 580);
    }

    void screenFit_movesAndShrinksIntoTheAvailableArea()
    {
        QFETCH(QRect, frame);
        QFETCH(QRect, fitted);
        QCOMPARE(ScreenFit::inside(frame, QRect(0, 20, 800, 580)), fitted);
    }

    void hexViewer_opensInsideTheScreen()
    {
        WindowFixture f;
        f.writeLibrary(library());
        MainWindow& w = f.open();
        w.show();
        const QRect screen = available(w);
        w.move(screen.right() - 150, screen.bottom() - 120);
        f.tree()->setCurrentItem(f.node(QStringLiteral("q")));
        trigger(f, "mnuCMHexView");
        auto* viewer = w.findChild<ViewerWindow*>();
        QVERIFY(viewer && viewer->isVisible());
        QVERIFY2(screen.contains(viewer->frameGeometry()), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                                          .arg(viewer->frameGeometry().x())
                                                                          .arg(viewer->frameGeometry().y())
                                                                          .arg(viewer->width())
                                                                          .arg(viewer->height())));
    }

    void showSettings_longListScrollsInABoxInsideTheScreen()
    {
        WindowFixture f;
        f.writeLibrary(library());
        {
            SettingsStore s = f.settings();
            for (int i = 0; i < 120; ++i) {
                s.save(QStringLiteral("Key%1").arg(i, 3, 10, QLatin1Char('0')), QStringLiteral("value"));
            }
            s.sync();
        }
        MainWindow& w = f.open();
        w.show();
        Prompts::setScripted(false);
        QRect box;
        bool okShown = false;
        QString shownText;
        QTimer::singleShot(0, this, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            QVERIFY(dialog);
            box = dialog->frameGeometry();
            if (auto* text = dialog->findChild<QPlainTextEdit*>()) {
                shownText = text->toPlainText();
            }
            const auto buttons = dialog->findChild<QDialogButtonBox*>();
            QPushButton* ok = buttons ? buttons->button(QDialogButtonBox::Ok) : nullptr;
            okShown = ok && ok->isVisible() && box.contains(QRect(ok->mapToGlobal(QPoint(0, 0)), ok->size()));
            if (ok) {
                ok->click();
            } else {
                dialog->close();
            }
        });
        auto* search = f.find<QComboBox>("cmbSearch");
        search->setEditText(QStringLiteral("..showsettings"));
        f.find<QPushButton>("cmdSearch")->click();
        Prompts::setScripted(true);
        QVERIFY2(available(w).contains(box),
                 qPrintable(QStringLiteral("%1x%2").arg(box.width()).arg(box.height())));
        QVERIFY(okShown);
        QVERIFY(shownText.contains(QStringLiteral("Key119  value")));
    }

    void windowsFontNames_areDrawnWithAnInstalledFamily_andStoredAsNamed()
    {
        WindowFixture f;
        f.writeLibrary(library());
        f.settings().save(QStringLiteral("FontName"), QStringLiteral("Arial"));
        MainWindow& w = f.open();
        f.tree()->setCurrentItem(f.node(QStringLiteral("q")));
        auto* editor = f.find<CodeEditor>("txtCode");
        f.find<CommandToolbar>("Toolbar1")->button(QStringLiteral("Font"))->trigger();
        QCOMPARE(status(f), QStringLiteral("MS Sans Serif  8 pt"));
        const QStringList families = QFontDatabase::families();
        QVERIFY2(families.contains(editor->editorFont().family()), qPrintable(editor->editorFont().family()));
        QVERIFY2(families.contains(editor->lexer()->font(0).family()),
                 qPrintable(editor->lexer()->font(0).family()));
        QCOMPARE(editor->lexer()->font(0).pointSize(), 8);

        const QString mono = InstalledFonts::family(QStringLiteral("Courier New"));
        QVERIFY2(families.contains(mono), qPrintable(mono));
        QVERIFY(QFontDatabase::isFixedPitch(mono));
        QCOMPARE(InstalledFonts::family(mono), mono);

        Prompts::queueAnswer(Prompts::Answer::No);
        QVERIFY(w.close());
        f.closeWindow();
        QCOMPARE(f.settings().get(QStringLiteral("FontName")), QStringLiteral("MS Sans Serif"));
    }
};

QTEST_MAIN(WindowFaultsTest)
#include "tst_window_faults.moc"
