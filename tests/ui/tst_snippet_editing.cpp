#include "gui/CodeEditor.h"
#include "library/ui/SnippetEditing.h"
#include "library/ui/TreeController.h"
#include "store/DateStamp.h"
#include "ui/WindowFixture.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

namespace {

const QString OldStamp = QStringLiteral("2026-01-02 03:04:05");
const QString Stamp = QStringLiteral("2030-05-06 07:08:09");

CodeArray library()
{
    return {
        WindowFixture::record("SQL", "Strings", "Trim", "text", "SELECT TRIM(x);\r\nSELECT 2;"),
        WindowFixture::record("SQL", "Dates", "Today", "", "SELECT CURRENT_DATE;"),
    };
}

} // namespace

class SnippetEditingTest : public QObject
{
    Q_OBJECT

private:
    // The window with the snippet "Trim" shown; returns its record.
    SnippetRecord& openOnTrim(WindowFixture& f)
    {
        f.writeLibrary(library());
        MainWindow& w = f.open();
        w.show();
        f.tree()->setCurrentItem(f.node(QStringLiteral("Trim")));
        return w.workspace().codeArray[size_t(w.treeController().Selection())];
    }

private slots:
    void init() { DateStamp::pin(QDateTime(QDate(2030, 5, 6), QTime(7, 8, 9))); }
    void cleanup() { DateStamp::pin(QDateTime()); }

    void showingASnippet_changesNothing()
    {
        WindowFixture f;
        const SnippetRecord& trim = openOnTrim(f);
        f.tree()->setCurrentItem(f.node(QStringLiteral("Today")));
        f.tree()->setCurrentItem(f.node(QStringLiteral("Trim")));
        QCOMPARE(trim.Date, OldStamp);
        QVERIFY(!f.window().workspace().CodeChanged);
    }

    void typingTheTitle_renamesTheNodeAsYouType()
    {
        WindowFixture f;
        const SnippetRecord& trim = openOnTrim(f);
        QTreeWidgetItem* shown = f.tree()->currentItem();
        auto* title = f.find<QLineEdit>("txtTitle");
        title->end(false);
        QTest::keyClicks(title, QStringLiteral("m"));
        QCOMPARE(shown->text(0), QStringLiteral("Trimm"));
        QTest::keyClicks(title, QStringLiteral("ed"));
        QCOMPARE(shown->text(0), QStringLiteral("Trimmed"));
        QCOMPARE(trim.Title, QStringLiteral("Trimmed"));
        QCOMPARE(trim.Date, Stamp);
        QVERIFY(f.window().workspace().CodeChanged);
    }

    void typingKeywords_bookmarksAtOnceButTheImageWaitsForARebuild()
    {
        WindowFixture f;
        const SnippetRecord& trim = openOnTrim(f);
        f.find<QLineEdit>("txtKeywords")->setText(QStringLiteral("text BookMark"));
        QVERIFY(trim.isBookmarked());
        QCOMPARE(trim.Date, Stamp);
        QCOMPARE(LibraryTree::image(f.tree()->currentItem()), QStringLiteral("form"));
        QVERIFY(f.window().workspace().CodeChanged);
    }

    void editingTheCode_colourGoesFirstThenTheRecordTakesTheText()
    {
        WindowFixture f;
        const SnippetRecord& trim = openOnTrim(f);
        QStringList codeAtSignal;
        connect(f.window().findChild<SnippetEditing*>(), &SnippetEditing::codeEdited, this,
                [&] { codeAtSignal << trim.Code.toString(); });
        auto* code = f.find<CodeEditor>("txtCode");
        code->insertAt(QStringLiteral("-- "), 1, 0);
        QCOMPARE(codeAtSignal, QStringList{QStringLiteral("SELECT TRIM(x);\r\nSELECT 2;")});
        QCOMPARE(trim.Code.toString(), QStringLiteral("SELECT TRIM(x);\r\n-- SELECT 2;"));
        QCOMPARE(trim.Date, Stamp);
        QCOMPARE(f.find<QLineEdit>("txtUpdate")->text(), Stamp);
        QVERIFY(f.window().workspace().CodeChanged);
    }

    void editsOnASummary_reachNoRecord_data()
    {
        QTest::addColumn<QString>("selected");
        QTest::newRow("language") << "SQL";
        QTest::newRow("category") << "Dates";
    }

    void editsOnASummary_reachNoRecord()
    {
        QFETCH(QString, selected);
        WindowFixture f;
        openOnTrim(f);
        const CodeArray before = f.window().workspace().codeArray;
        QTreeWidgetItem* summary = f.node(selected);
        f.tree()->setCurrentItem(summary);
        f.find<QLineEdit>("txtTitle")->setText(QStringLiteral("typed"));
        f.find<QLineEdit>("txtKeywords")->setText(QStringLiteral("typed"));
        f.find<CodeEditor>("txtCode")->setText(QStringLiteral("typed"));
        QVERIFY(f.window().workspace().codeArray == before);
        QCOMPARE(summary->text(0), selected);
        QVERIFY(!f.window().workspace().CodeChanged);
    }

    void copy_takesTheSelectionOrElseTheWholeCode_data()
    {
        QTest::addColumn<bool>("select");
        QTest::addColumn<QString>("expected");
        QTest::newRow("nothing selected") << false << "SELECT TRIM(x);\r\nSELECT 2;";
        QTest::newRow("selection") << true << "TRIM";
    }

    void copy_takesTheSelectionOrElseTheWholeCode()
    {
        QFETCH(bool, select);
        QFETCH(QString, expected);
        WindowFixture f;
        openOnTrim(f);
        auto* code = f.find<CodeEditor>("txtCode");
        if (select) {
            code->setSelection(0, 7, 0, 11);
        }
        f.find<QAction>("mnuCopy")->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), expected);
        QCOMPARE(f.find<QLabel>("StatusBar1")->text(),
                 QStringLiteral("Contents of code textbox copied to clipboard"));
        QVERIFY(!f.window().workspace().CodeChanged);
    }

    void focus_selectsTheWholeBox()
    {
        WindowFixture f;
        openOnTrim(f);
        auto* keywords = f.find<QLineEdit>("txtKeywords");
        keywords->deselect();
        QFocusEvent focus(QEvent::FocusIn, Qt::MouseFocusReason);
        QCoreApplication::sendEvent(keywords, &focus);
        QTRY_COMPARE(keywords->selectedText(), QStringLiteral("text"));
    }

    void codeMenu_appearsOverSnippetsOnly()
    {
        WindowFixture f;
        openOnTrim(f);
        QMenu* menu = f.window().findChild<SnippetEditing*>()->codeContextMenu();
        QCOMPARE(menu->objectName(), QStringLiteral("mnuPopUpCodeMax"));
        menu->addAction(QStringLiteral("an editor command"));
        auto* code = f.find<CodeEditor>("txtCode");

        emit code->customContextMenuRequested(QPoint(5, 5));
        QVERIFY(menu->isVisible());
        menu->hide();
        f.tree()->setCurrentItem(f.node(QStringLiteral("SQL")));
        emit code->customContextMenuRequested(QPoint(5, 5));
        QVERIFY(!menu->isVisible());
    }
};

QTEST_MAIN(SnippetEditingTest)
#include "tst_snippet_editing.moc"
